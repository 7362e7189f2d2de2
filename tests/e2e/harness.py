"""Drives the real Velvane.exe under Wine and Xvfb from outside, as a user would.

Runs inside scripts/with-wine-display.sh (DISPLAY, WINEPREFIX, VELVANE_WINE) and takes
the program and its helpers from the environment that ctest sets."""
import faulthandler
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.environ.get("VELVANE_TOOLS", os.path.join(os.path.dirname(__file__), "..", "..", "tools")))
import png  # noqa: E402
from package import self_contained  # noqa: E402

SLOT_PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "resources", "slot.bin")

WINE = os.environ.get("VELVANE_WINE", "wine")
EXE = os.environ.get("VELVANE_EXE", "")
LOGO_CLASS = "Velvane.FrmLogo"


def xdotool(*args):
    subprocess.run(["xdotool", *[str(a) for a in args]], check=True)


def windows_path(unix_path):
    """Wine maps the Unix root to drive Z:."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


class Window:
    def __init__(self, line):
        f = line.split()
        self.hwnd, self.pid = int(f[0]), int(f[1])
        self.left, self.top, self.right, self.bottom = (int(v) for v in f[2:6])
        self.visible, self.topmost, self.layered = (f[6] == "1", f[7] == "1", f[8] == "1")
        self.z_index = int(f[9])
        self.foreground = len(f) > 10 and f[10] == "1"

    @property
    def size(self):
        return (self.right - self.left, self.bottom - self.top)

    def centre(self):
        return ((self.left + self.right) // 2, (self.top + self.bottom) // 2)

    def __repr__(self):
        return "Window(%d at %d,%d size %s vis=%s top=%s z=%d fg=%s)" % (
            self.hwnd, self.left, self.top, self.size, self.visible, self.topmost, self.z_index, self.foreground)


class Screenshot:
    def __init__(self, path):
        self.path = path
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
        self.width, self.height = 1024, 768
        assert len(raw) == self.width * self.height * 3, "unexpected screenshot size"
        self.raw = raw

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.raw[i:i + 3])


class VelvaneTestCase(unittest.TestCase):
    """Each test gets a scratch folder; every process it started is ended afterwards."""

    def setUp(self):
        # A hung test prints where it hangs and ends the run, rather than waiting forever.
        faulthandler.dump_traceback_later(120, exit=True)
        for name in ("DISPLAY", "WINEPREFIX"):
            if not os.environ.get(name):
                self.fail("%s is not set: run through scripts/with-wine-display.sh" % name)
        self.assertTrue(os.path.exists(EXE), "the program is not built: %s" % EXE)
        self.scratch = tempfile.mkdtemp(prefix="velvane-e2e-")
        self.processes = []
        self.wine = WINE
        self.inspect = os.environ["VELVANE_INSPECT"]

    def tearDown(self):
        # Ends what this test started; the Wine server and its services stay warm.
        for p in self.processes:
            pid = getattr(p, "windows_pid", None)
            if pid and p.poll() is None:
                subprocess.run([WINE, "taskkill", "/f", "/pid", str(pid)], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, check=False, timeout=60)
        for p in self.processes:
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
        self.assertEqual(self.windows(), [], "a test left windows of the program open")
        shutil.rmtree(self.scratch, ignore_errors=True)
        faulthandler.cancel_dump_traceback_later()

    # --- files -------------------------------------------------------------------
    def image(self, name, width, height, colour):
        """A PNG whose pixel (x, y) has the RGBA that colour(x, y) gives."""
        rows = []
        for y in range(height):
            row = bytearray()
            for x in range(width):
                row += bytes(colour(x, y))
            rows.append(bytes(row))
        path = os.path.join(self.scratch, name)
        png.write_png(path, width, height, rows, colour_type=6)
        return path

    def self_contained_copy(self, tail, name="Copy.exe"):
        """A copy of the program that carries tail (a package record) as a built one would."""
        with open(EXE, "rb") as f, open(SLOT_PATH, "rb") as slot:
            program = self_contained(f.read(), slot.read(), tail)
        path = os.path.join(self.scratch, name)
        with open(path, "wb") as f:
            f.write(program)
        return path

    # --- processes ---------------------------------------------------------------
    def start(self, arguments, program=None):
        """Starts the program with exactly this argument text; returns its Popen handle
        (the launcher, which ends with the program's exit code)."""
        program = program or EXE
        env = dict(os.environ, VELVANE_CMDLINE='"%s" %s' % (windows_path(program), arguments))
        out = tempfile.TemporaryFile(mode="w+")
        self.addCleanup(out.close)
        p = subprocess.Popen([WINE, os.environ["VELVANE_LAUNCH"], "--wait"], env=env,
                             stdout=out, stderr=subprocess.DEVNULL, text=True)
        self.processes.append(p)

        def pid():
            out.seek(0)
            line = out.readline().strip()
            return int(line) if line else None
        p.windows_pid = self.wait_for(pid, what="the program to start")
        return p

    def run_helper(self, *args):
        # Output through a file, not a pipe: Wine's background services, when this call
        # starts them, inherit the pipe and would keep it open for ever.
        with tempfile.TemporaryFile(mode="w+") as out:
            subprocess.run([WINE, *args], check=True, stdout=out, stderr=subprocess.DEVNULL, timeout=60)
            out.seek(0)
            return out.read()

    def start_plain_window(self, left=380, top=300, width=300, height=200):
        """A white window of another program, once it is up."""
        p = subprocess.Popen([WINE, os.environ["VELVANE_PLAIN"], str(left), str(top), str(width), str(height)],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(p)
        self.wait_for(lambda: self.windows("VelvaneTestPlainWindow"), what="the other program's window")
        return p

    def menu_at(self, x, y, *keys):
        """Right-clicks the point and walks the popup menu with the keyboard."""
        xdotool("mousemove", x, y)
        time.sleep(0.3)
        xdotool("click", 3)
        self.wait_for(lambda: [m for m in self.windows("#32768") if m.visible], what="the popup menu")
        time.sleep(0.4)  # the menu takes the keyboard once it is up
        xdotool("key", "--delay", 150, *keys)
        self.wait_for(lambda: not [m for m in self.windows("#32768") if m.visible], what="the menu to close")
        time.sleep(0.4)

    LIST_KEY = r"HKCU\Software\Velvane\Velvane.2"

    def window_list(self):
        """The shared list of open windows: (count text, [handles as text in order])."""
        out = self.run_helper("reg", "query", self.LIST_KEY)
        values = {}
        for line in out.splitlines():
            parts = line.split()
            if len(parts) >= 3 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2]
        count = values.pop("Count", None)
        numbered = sorted((int(k), v) for k, v in values.items() if k.isdigit())
        self.assertEqual([k for k, _ in numbered], list(range(1, len(numbered) + 1)), "gaps in the list")
        return count, [v for _, v in numbered]

    def clear_window_list(self):
        subprocess.run([WINE, "reg", "delete", self.LIST_KEY, "/f"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)

    def windows(self, cls=LOGO_CLASS):
        out = self.run_helper(os.environ["VELVANE_INSPECT"], cls)
        return [Window(line) for line in out.splitlines() if line.strip()]

    def wait_for(self, condition, timeout=15, what="condition"):
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(0.2)
        self.fail("timed out waiting for " + what)

    def wait_for_windows(self, count, pid=None, timeout=15):
        def ready():
            found = [w for w in self.windows() if w.visible and (pid is None or w.pid == pid)]
            return found if len(found) == count else None
        found = self.wait_for(ready, timeout, "%d visible windows" % count)
        time.sleep(0.6)  # let any fade finish before pixels are read
        return [w for w in self.windows() if pid is None or w.pid == pid]

    def wait_exit(self, process, timeout=15):
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.fail("the program did not end")

    # --- the screen --------------------------------------------------------------
    def screenshot(self, name):
        folder = os.environ.get("VELVANE_SHOTS") or self.scratch
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name + ".png")
        xwd = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
        subprocess.run(["convert", "xwd:-", path], input=xwd, check=True)
        return Screenshot(path)

    def assertColour(self, actual, expected, tolerance=3, msg=None):
        diff = max(abs(a - e) for a, e in zip(actual, expected))
        self.assertLessEqual(diff, tolerance, msg or "colour %s, expected %s" % (actual, expected))
