# Drives the real Velvane.exe under Wine and Xvfb from outside, as a user would.
# Runs inside scripts/with-wine-display.sh; ctest passes the program and the wintool helper.
import faulthandler
import os
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

WINE, EXE, TOOL = os.environ.get("VELVANE_WINE", "wine"), os.environ.get("VELVANE_EXE", ""), os.environ.get("VELVANE_TOOL", "")
LOGO, MENU, BOX, OTHER = "Velvane.FrmLogo", "#32768", "#32770", "Notepad"
ORANGE, GREEN = (200, 120, 40), (20, 200, 20)
ABOUT = (306, 290, (412, 187))  # the about window's place, centred: its picture and the line beneath
OPACITY_50 = ("Down",) * 3 + ("Right",) + ("Down",) * 4 + ("Return",)  # menu keys
SIZE_2 = ("Down",) * 4 + ("Right",) + ("Down",) * 4 + ("Return",)


def xdotool(*args):
    subprocess.run(["xdotool", *[str(a) for a in args]], check=True)


def windows_path(unix_path):
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")  # Wine maps / to Z:


def dimmed(colour):  # at opacity 50 (alpha 127), as X shows a layered window's premultiplied pixels
    return tuple(c * 127 // 255 for c in colour)


class Window:
    def __init__(self, line):
        fields = line.split()
        self.hwnd, self.pid, self.left, self.top, right, bottom, visible, topmost, style, self.z, front = map(int, fields[:11])
        self.cls = " ".join(fields[11:])
        self.visible, self.topmost, self.foreground, self.click_through = visible, topmost, front, style & 0x20  # WS_EX_TRANSPARENT
        self.size, self.centre = (right - self.left, bottom - self.top), ((self.left + right) // 2, (self.top + bottom) // 2)
        self.place = (self.left, self.top, self.size)


class Journey(unittest.TestCase):
    # A scratch folder per journey; every process it started is ended afterwards.

    def setUp(self):
        faulthandler.dump_traceback_later(300, exit=True)  # a hang prints where, then ends the run
        self.assertTrue(os.environ.get("DISPLAY") and os.environ.get("WINEPREFIX"), "run through scripts/with-wine-display.sh")
        self.assertTrue(os.path.exists(EXE) and os.path.exists(TOOL), "the program or wintool is not built")
        self.scratch, self.processes = tempfile.mkdtemp(prefix="velvane-e2e-"), []
        # A journey's tests, and their tries, share a Wine prefix: each starts with no pins, settings or
        # list of open windows that one before left.
        self.tool("/c", "rmdir /s /q %LOCALAPPDATA%\\Velvane & reg delete HKCU\\Software\\Velvane /f", program="cmd")

    def tearDown(self):
        for w in self.windows("ExplorerWClass"):
            self.tool("close", w.hwnd)
        for p in self.processes:
            if p.poll() is None:  # the launcher waits for the program; another program is itself
                subprocess.run([WINE, "taskkill", "/f", "/pid", str(p.windows_pid)], capture_output=True, timeout=60)
            p.wait(timeout=30)
        self.assertEqual(self.windows(), [], "windows of the program were left open")
        shutil.rmtree(self.scratch, ignore_errors=True)
        faulthandler.cancel_dump_traceback_later()

    def image(self, name, width, height, *colours):
        # A PNG of equal vertical bands in these colours ("none": transparent), orange by default.
        colours, path = colours or [ORANGE], os.path.join(self.scratch, name)
        bands = [a for c in colours for a in ("-size", "%dx%d" % (width // len(colours), height),
                                              "xc:" + (c if isinstance(c, str) else "rgb(%d,%d,%d)" % c))]
        subprocess.run(["convert", *bands, "+append", "PNG32:" + path], check=True)
        return path

    def start(self, arguments, program=EXE):
        # Starts the program with exactly this argument text; the handle ends with its exit code.
        env = dict(os.environ, VELVANE_CMDLINE='"%s" %s' % (windows_path(program), arguments))
        out = tempfile.TemporaryFile(mode="w+")  # a file, not a pipe: Wine's services would hold a pipe open
        self.addCleanup(out.close)
        p = subprocess.Popen([WINE, TOOL, "launch"], env=env, stdout=out, stderr=subprocess.DEVNULL)
        self.processes.append(p)
        p.windows_pid = int(self.wait_for(lambda: out.seek(0) == 0 and out.readline().strip(), "the program to start"))
        return p

    def clipboard(self, *args):
        # xclip on the X clipboard, which Wine shares; an owner left serving ends with the test.
        p = subprocess.Popen(["xclip", "-selection", "clipboard", *args], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: p.poll() is None and p.kill())
        if "-o" in args:
            return p.communicate(timeout=10)[0]
        time.sleep(1)  # Wine takes the new owner's formats in a moment

    def other_program(self):
        # Another program's window, Wine's Notepad: it lies at (0, 0) and is 729 x 546 pixels.
        p = subprocess.Popen([WINE, "notepad"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        p.windows_pid = None
        self.processes.append(p)
        (other,) = self.wait_for(lambda: self.windows(OTHER), "the other program's window")
        p.windows_pid = other.pid
        return other

    def tool(self, *args, program=None):
        with tempfile.TemporaryFile(mode="w+") as out:
            subprocess.run([WINE, program or TOOL, *map(str, args)], stdout=out, stderr=subprocess.DEVNULL, timeout=60)
            return out.seek(0) or out.read()

    def temp_files(self):
        # The program's temporary images in the Windows temporary folder.
        return {n for n in self.tool("/c", "dir", "/b", "%TEMP%\\~*.tmp", program="cmd").split() if n.lower().endswith(".tmp")}

    def windows(self, cls=LOGO):
        return [Window(line) for line in self.tool("list", cls).splitlines() if line.strip()]

    def poll(self, condition, timeout):
        # The condition's value once it holds; None after timeout seconds (seconds, not polls: a poll
        # that starts a Wine process takes its own time).
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = condition() or time.sleep(0.2)
            if value:
                return value

    def wait_for(self, condition, what, timeout=15):
        return self.poll(condition, timeout) or self.fail("timed out waiting for " + what)

    def wait_place(self, place, what):
        # The one window of the program once it is at this place and size.
        return self.wait_for(lambda: (lambda found: len(found) == 1 and found[0].place == place and found[0])(self.windows()), what)

    def wait_colour(self, name, x, y, colour, what, tolerance=3, timeout=15):
        # A screenshot once the pixel shows the colour; the last one is kept and checked.
        self.wait_for(lambda: max(abs(a - e) for a, e in zip(self.screen(name)(x, y), colour)) <= tolerance, what, timeout)

    def wait_windows(self, count, process=None, timeout=40):
        # The program's windows (of that process) once count of them are visible and any fade has ended.
        ready = lambda: (lambda found: len(found) == count and found)(  # noqa: E731
            [w for w in self.windows() if w.visible and (process is None or w.pid == process.windows_pid)])
        if not self.poll(ready, timeout):  # what each copy started shows (a message box too), and how those that ended did
            ours = {p.windows_pid: p.poll() for p in self.processes}
            shown = [(w.pid, w.cls, w.place) for w in self.windows("*") if w.pid in ours and w.visible]
            self.fail("timed out waiting for %d visible windows; the copies (process: exit code) %s show %s" % (count, ours, shown))
        return time.sleep(0.6) or ready()

    def wait_exit(self, process, what="the program to end", timeout=20):
        return self.wait_for(lambda: process.poll() is not None and [process.returncode], what, timeout)[0]

    def close_all(self, process, what="closing the last window to end the program"):
        for w in self.windows():
            self.tool("close", w.hwnd)
        self.assertEqual(self.wait_exit(process, what), 0)

    def shown(self, cls=MENU, up=True, what="the popup menu"):
        # Waits for windows of the class (popup menus, message boxes) to be up (the visible ones are returned) or gone.
        return self.wait_for(lambda: (lambda found: found if up else not found)([w for w in self.windows(cls) if w.visible]), what)

    def menu(self, x, y, *keys):
        # Right-clicks the point and walks the popup menu with the keyboard.
        xdotool("mousemove", x, y, "sleep", 0.3, "click", 3)
        self.shown()
        xdotool("sleep", 0.4, "key", "--delay", 150, *keys, "sleep", 0.4)  # the menu takes the keyboard once it is up
        self.shown(up=False, what="the menu to close")

    def tray(self):
        # Wine's window of notification icons (its explorer's, which holds the hidden taskbar), while it shows any;
        # told from a balloon by its class, in the same listing (a balloon may come any moment).
        explorer = {w.pid for w in self.windows("Shell_TrayWnd")}
        return [w for w in self.windows("*") if w.visible and w.pid in explorer and w.cls != "tooltips_class32"]

    def balloons(self, x, y):
        # The notification balloons that lie over a point of the screen.
        return [b for b in self.windows("tooltips_class32") if b.visible and b.left <= x < b.left + b.size[0] and b.top <= y < b.top + b.size[1]]

    def icon_menu(self, tray, *keys):
        # Right-clicks the first icon of Wine's tray window until its menu is up (the tray can show
        # before its icon takes clicks; seen rarely on a busy machine), then presses the keys. A
        # balloon over the icon (shown 10 to 30 s) would take the click: it is waited out first.
        x, y = tray.left + 13, tray.top + tray.size[1] - 13
        for _ in range(3):
            self.wait_for(lambda: not self.balloons(x, y), "the balloon over the icon to go", timeout=40)
            xdotool("mousemove", x, y, "sleep", 0.3, "click", 3)
            if self.poll(lambda: [w for w in self.windows(MENU) if w.visible], 5):
                return xdotool("sleep", 0.4, "key", *keys)
        self.screen("icon-menu-missing")
        self.fail("the icon's menu did not show; visible: %s" % [(w.cls, w.pid, w.place) for w in self.windows("*") if w.visible])

    def drag(self, x, y, dx, dy):
        xdotool("mousemove", x, y, "sleep", 0.3, "mousedown", 1, "sleep", 0.4, "mousemove", x + 2, y + 2, "sleep", 0.5,
                "mousemove", x + 2 + dx, y + 2 + dy, "sleep", 0.5, "mouseup", 1, "sleep", 0.5)

    def screen(self, name):
        # A screenshot, kept for people to look at; returns pixel(x, y) -> (r, g, b).
        path = os.path.join(os.environ.get("VELVANE_SHOTS") or self.scratch, name + ".png")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        # X refuses a root image now and then while windows change: up to three tries.
        subprocess.run("for try in 1 2 3; do xwd -root -silent | convert xwd:- '%s' && break; sleep 0.3; done" % path,
                       shell=True, stderr=subprocess.DEVNULL)
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
        return lambda x, y: tuple(raw[(y * 1024 + x) * 3:(y * 1024 + x) * 3 + 3])

    def pixel_now(self, x, y):
        # One pixel of the screen as (r, g, b), quickly: xwd's own format (blue first) read here.
        raw = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True).stdout
        header = struct.unpack(">25I", raw[:100])  # the rows end the file
        at = len(raw) - (header[5] - y) * header[12] + header[11] // 8 * x
        return tuple(raw[at + 2 - c] for c in range(3))

    def assertColour(self, actual, expected, msg, tolerance=3):
        self.assertLessEqual(max(abs(a - e) for a, e in zip(actual, expected)), tolerance, "%s: %s, not %s" % (msg, actual, expected))
