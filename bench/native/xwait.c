/* Benchmark helper: does one thing on the X display (starts a command, presses keys, or
 * releases the pointer's left button), then prints the milliseconds from that moment until
 * the first, and until the COUNT-th, X window of the wanted size is mapped.
 *   xwait [-n COUNT] [-s WIDTHxHEIGHT | -m MINSIDE] (-k KEYSYM... | -r | -- COMMAND...)
 * -k presses the keys together (as "Control_L Alt_L p"), -r releases button 1 (a drag ends).
 * A command is ended when the wait is over. Prints "-1" for a window that never came. */
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
    int count = 1, width = 0, height = 0, min = 64, release = 0, keys = 0, i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (!strcmp(argv[i], "-n") && i + 1 < argc) count = atoi(argv[++i]);
        else if (!strcmp(argv[i], "-s") && i + 1 < argc) sscanf(argv[++i], "%dx%d", &width, &height);
        else if (!strcmp(argv[i], "-m") && i + 1 < argc) min = atoi(argv[++i]);
        else if (!strcmp(argv[i], "-r")) release = 1;
        else if (!strcmp(argv[i], "-k")) { keys = ++i; break; }
        else if (!strcmp(argv[i], "--")) { ++i; break; }
    }
    Display* display = XOpenDisplay(NULL);
    if (!display || (!release && !keys && i >= argc)) return 2;
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const double start = now_ms();
    pid_t child = -1;
    if (release) {
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
    } else if (keys) {
        for (int k = keys; k < argc; ++k) XTestFakeKeyEvent(display, XKeysymToKeycode(display, XStringToKeysym(argv[k])), True, CurrentTime);
        for (int k = argc - 1; k >= keys; --k) XTestFakeKeyEvent(display, XKeysymToKeycode(display, XStringToKeysym(argv[k])), False, CurrentTime);
    } else if ((child = fork()) == 0) {
        /* The command's processes must not hold our output open after we have ended. */
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execvp(argv[i], argv + i);
        _exit(127);
    }
    XFlush(display);
    double first = -1, last = -1;
    int seen = 0;
    while (seen < count && now_ms() - start < 120000) {
        if (!XPending(display)) {
            /* Wait for the display's next event, but never past the deadline. */
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(ConnectionNumber(display), &ready);
            struct timeval tick = {0, 100000};
            select(ConnectionNumber(display) + 1, &ready, NULL, NULL, &tick);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify) continue;
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, event.xmap.window, &a)) continue;
        if (width ? (a.width != width || a.height != height) : (a.width < min || a.height < min)) continue;
        last = now_ms() - start;
        if (++seen == 1) first = last;
    }
    printf("%.1f %.1f\n", first, seen == count ? last : -1.0);
    fflush(stdout);
    if (child > 0) {
        kill(child, SIGTERM);
        waitpid(child, NULL, 0);
    }
    return seen < count;
}
