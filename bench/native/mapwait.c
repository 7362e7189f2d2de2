/* Benchmark helper: starts a command and prints the milliseconds from the fork until the
 * first X window of at least 64 x 64 pixels is mapped on the display, then ends the
 * command. Both programs under comparison are timed this same way from outside.
 *   mapwait COMMAND [ARGS...] */
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
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
    if (argc < 2) return 2;
    Display* display = XOpenDisplay(NULL);
    if (!display) return 2;
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const double start = now_ms();
    const pid_t child = fork();
    if (child == 0) {
        /* The command's processes must not hold our output open after we have ended. */
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double mapped = -1;
    while (mapped < 0 && now_ms() - start < 60000) {
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
        if (XGetWindowAttributes(display, event.xmap.window, &a) && a.width >= 64 && a.height >= 64)
            mapped = now_ms() - start;
    }
    printf("%.1f\n", mapped);
    fflush(stdout);
    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
    return mapped < 0;
}
