"""Self-contained copies: built through the real menu and message boxes, then started."""
import os
import shutil
import subprocess
import time
import unittest

from harness import VelvaneTestCase, windows_path, xdotool, EXE

ORANGE = (200, 120, 40, 255)
GREEN = (20, 200, 20, 255)


class SingleExeTest(VelvaneTestCase):
    def setUp(self):
        super().setUp()
        # A private copy of the program, so the copies it writes land in the scratch folder.
        self.program = os.path.join(self.scratch, "Velvane.exe")
        shutil.copy(EXE, self.program)
        self.a = self.image("Logo.png", 200, 100, lambda x, y: ORANGE)
        self.b = self.image("other.png", 120, 60, lambda x, y: GREEN)

    def tearDown(self):
        for w in self.windows("ExplorerWClass"):
            self.run_helper(self.inspect, "--close", str(w.hwnd))
        super().tearDown()

    def temp_files(self):
        # "dir" fails when nothing matches: that is an empty set here.
        out = subprocess.run([self.wine, "cmd", "/c", "dir", "/b", "%TEMP%\\~*.tmp"], capture_output=True,
                             text=True, check=False).stdout
        return {line.strip() for line in out.splitlines() if line.strip().lower().endswith(".tmp")}

    def answer(self, key):
        """Answers the message box that is up: Return takes its default button, n says No."""
        self.wait_for(lambda: [w for w in self.windows("#32770") if w.visible], what="a message box")
        time.sleep(0.5)
        xdotool("key", key)
        self.wait_for(lambda: not [w for w in self.windows("#32770") if w.visible], what="the box to close")

    def build_from(self, x, y, all_images, settings_key):
        self.menu_at(x, y, *(["Down"] * (6 if all_images else 5)), "Return")
        self.answer(settings_key)  # "Do you want to Save Current Settings in new exe File?"
        self.answer("Return")      # "Make Single exe file Success, in Path:"
        # The Explorer shows the folder.
        self.wait_for(lambda: self.windows("ExplorerWClass"), what="the Explorer window")

    def end(self, process):
        subprocess.run([self.wine, "taskkill", "/f", "/pid", str(process.windows_pid)], capture_output=True)
        process.wait(timeout=30)

    def test_all_images_with_yes_come_back_with_their_settings(self):
        a_other_case = windows_path(self.a).replace("Logo.png", "LOGO.PNG")
        p = self.start('"%s" "%s" "%s" size1.5 dontloadeffect' % (windows_path(self.a), a_other_case,
                                                                  windows_path(self.b)), program=self.program)
        self.wait_for_windows(3, p.windows_pid)
        # The green image is on top in the middle: opacity 50, then drag it aside.
        self.menu_at(512, 384, "Down", "Down", "Down", "Right", "Down", "Down", "Down", "Down", "Return")
        xdotool("mousemove", 512, 384, "mousedown", 1)
        time.sleep(0.4)
        xdotool("mousemove", 514, 386)
        time.sleep(0.5)
        xdotool("mousemove", 764, 586)
        time.sleep(0.5)
        xdotool("mouseup", 1)
        time.sleep(0.5)
        # The second orange window (same file, other letter case) back to size 1.
        self.menu_at(512, 384, "Down", "Down", "Down", "Down", "Right", "Down", "Down", "Down", "Return")
        before = sorted((w.left, w.top, w.size) for w in self.windows())
        (green,) = [w for w in self.windows() if w.size == (180, 90)]
        self.assertEqual((green.left, green.top), (422 + 250, 339 + 200))

        self.build_from(green.left + 90, green.top + 45, True, "Return")
        built = os.path.join(self.scratch, "Velvane1.exe")
        with open(built, "rb") as f:
            data = f.read()
        with open(self.a, "rb") as f:
            self.assertEqual(data.count(f.read()), 1, "the repeated image is stored once")
        self.assertEqual(data[:os.path.getsize(self.program)].count(b"%09d" % os.path.getsize(self.program)), 1)
        self.end(p)

        temp_before = self.temp_files()
        r = self.start("dontloadeffect", program=built)
        after = self.wait_for_windows(3, r.windows_pid)
        self.assertEqual(sorted((w.left, w.top, w.size) for w in after), before)
        shot = self.screenshot("single-exe-restored")
        self.assertColour(shot.pixel(green.left + 170, green.top + 80), tuple(c * 127 // 255 for c in GREEN[:3]), 2)
        self.assertEqual(len(self.temp_files() - temp_before), 3, "one temporary image per window")
        for w in after:
            self.run_helper(self.inspect, "--close", str(w.hwnd))
        self.assertEqual(self.wait_exit(r), 0)
        self.assertEqual(self.temp_files() - temp_before, set(), "closing the windows deletes their files")

    def test_no_gives_centred_windows_at_full_opacity_and_size_one(self):
        p = self.start('"%s" "%s" left300 top300 opacity50 size1.5 dontloadeffect'
                       % (windows_path(self.a), windows_path(self.b)), program=self.program)
        self.wait_for_windows(2, p.windows_pid)
        self.build_from(30, 30, True, "n")
        self.end(p)
        r = self.start("dontloadeffect", program=os.path.join(self.scratch, "Velvane1.exe"))
        after = self.wait_for_windows(2, r.windows_pid)
        self.assertEqual(sorted((w.left, w.top, w.size) for w in after),
                         [(412, 334, (200, 100)), (452, 354, (120, 60))])
        shot = self.screenshot("single-exe-no-settings")
        self.assertColour(shot.pixel(415, 337), ORANGE[:3])

    def test_single_image_only_and_no_package_commands_in_the_copy(self):
        p = self.start('"%s" "%s" left300 top300 dontloadeffect' % (windows_path(self.a), windows_path(self.b)),
                       program=self.program)
        self.wait_for_windows(2, p.windows_pid)
        self.build_from(25, 25, False, "Return")  # the green one lies on top
        self.end(p)
        r = self.start("dontloadeffect", program=os.path.join(self.scratch, "Velvane1.exe"))
        (w,) = self.wait_for_windows(1, r.windows_pid)
        self.assertEqual((w.left, w.top, w.size), (20, 20, (120, 60)))
        # In the copy the menu has no package commands: Down x5 now reaches "About".
        self.menu_at(30, 30, "Down", "Down", "Down", "Down", "Down", "Return")
        self.wait_for(lambda: len(self.windows()) == 2, what="the about window")
        self.assertFalse(os.path.exists(os.path.join(self.scratch, "Velvane2.exe")))


if __name__ == "__main__":
    unittest.main()
