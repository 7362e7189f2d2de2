# Pins that are never lost: a copy killed from outside comes back with "restore", and "Save
# Pins..." writes a file that opens the same windows. (Esc undone by Ctrl+Z, where and as it was:
# the in-process reopening tests; Esc and the Ctrl keys from the keyboard: the journeys here and
# the behaviour and habits journeys.)
import os
import subprocess
import time

from harness import BOX, GREEN, ORANGE, OPACITY_50, SIZE_2, WINE, Journey, windows_path, xdotool

BLUE = (40, 40, 200)


class PinsTest(Journey):
    def looks(self, name):
        # Every window's place, and the colour a little inside its top left corner.
        shot = self.screen(name)
        return sorted((w.place, shot(w.left + 5, w.top + 5)) for w in self.windows())

    def test_kill_restore_and_save(self):
        a, b = self.image("a.png", 200, 100), self.image("b.png", 60, 40, GREEN)
        p = self.start('"%s" "%s" dontloadeffect' % (windows_path(a), windows_path(b)))
        self.wait_windows(2, p)
        self.menu(420, 340, *OPACITY_50)
        self.menu(420, 340, *SIZE_2)
        self.wait_for(lambda: (412, 334, (400, 200)) in [w.place for w in self.windows()], "Size 2")
        self.drag(420, 340, -300, -250)
        self.wait_for(lambda: (412, 334, (400, 200)) not in [w.place for w in self.windows()], "the drag")
        self.clipboard("-t", "image/png", "-i", self.image("c.png", 80, 60, BLUE))
        xdotool("mousemove", 512, 384, "click", 1, "sleep", 0.3, "mousemove", 800, 600, "key", "ctrl+v")
        self.wait_windows(3, p)
        before = self.looks("pins-before")  # pasted at the pointer: the habits journey
        time.sleep(2)  # the copy writes its pins within a second of a change
        left = self.temp_files()  # the pasted image's file, among them
        subprocess.run([WINE, "taskkill", "/f", "/pid", str(p.windows_pid)], capture_output=True, timeout=60)
        self.wait_for(lambda: not self.windows(), "the killed copy's windows to go")

        r = self.start("restore")
        self.wait_windows(3, r)
        self.wait_for(lambda: not left & self.temp_files(), "the next copy to remove what the killed one left in %TEMP%")
        self.assertEqual(self.looks("pins-restored"), before, "restore: every window where and as it was")

        saved = os.path.join(self.scratch, "mine.velvane")
        self.menu(512, 384, *["Down"] * 14, "Return")  # "Save Pins..."
        (d,) = self.shown(BOX, what="the Save dialog")
        xdotool("mousemove", d.left + 430, d.top + d.size[1] - 47, "click", 1, "sleep", 0.3, "key", "End", "shift+Home")
        xdotool("type", "--delay", 30, windows_path(saved))
        xdotool("key", "Return")
        self.wait_for(lambda: os.path.exists(saved) and not self.windows(BOX), "the pins file")
        self.close_all(r)
        s = self.start('"%s"' % windows_path(saved))
        self.wait_windows(3, s)
        self.assertEqual(self.looks("pins-opened"), before, "the saved pins file: the same windows")
        self.close_all(s)

    def test_every_ending_keeps_every_pin(self):
        # Three pins from three files, one over the other at the centre (the smallest on top).
        files = [self.image(n, w, h, c) for n, w, h, c in (("a.png", 300, 200, ORANGE), ("b.png", 200, 120, GREEN), ("c.png", 100, 60, BLUE))]
        images = " ".join('"%s"' % windows_path(f) for f in files) + " dontloadeffect"

        def escape_each(p):
            for left in (2, 1, 0):
                xdotool("mousemove", 512, 384, "click", 1, "sleep", 0.3, "key", "Escape")
                self.wait_for(lambda: len(self.windows()) == left, "Esc to close the window on top")

        def session_end(p):
            time.sleep(1.5)  # then Windows ends the session and the copy with it
            for saver in self.windows("Velvane.PinSetSaver"):
                self.tool("endsession", saver.hwnd)
            subprocess.run([WINE, "taskkill", "/f", "/pid", str(p.windows_pid)], capture_output=True, timeout=60)

        # Ended by a kill: the journey above; by Exit (Ctrl+End's too) and by closeall over copies: the screen pins journey.
        doors = (("a window-closing tool's close to every window", lambda p: [self.tool("close", w.hwnd) for w in self.windows()], 3),
                 ("Esc on every window: the last one closed", escape_each, 1),
                 ("the session's end", session_end, 3))
        for door, end, count in doors:
            p = self.start(images)
            places = [w.place for w in self.wait_windows(3, p)]  # front first: the last one closed by Esc is last
            end(p)
            self.wait_for(lambda: p.poll() is not None and not self.windows(), door + ": the copy to end")
            r = self.start("restore")
            self.assertEqual(sorted(w.place for w in self.wait_windows(count, r)), sorted(places[3 - count:]), door + ", then restore")
            self.close_all(r)
