# Self-contained copies: built through the real menu and message boxes, then started.
import os
import shutil
import unittest

from harness import BOX, EXE, GREEN, Journey, dimmed, windows_path, xdotool


class SingleExeTest(Journey):
    def answer(self, key, what):
        self.wait_for(lambda: [w for w in self.windows(BOX) if w.visible], what)
        xdotool("sleep", 0.5, "key", key)
        self.wait_for(lambda: not [w for w in self.windows(BOX) if w.visible], "the box to close")

    def reopen(self, program, count):
        p = self.start("dontloadeffect", program=os.path.join(self.scratch, program))
        return p, sorted(w.place for w in self.wait_windows(count, p))

    def test_copies_built_from_the_menu_bring_the_images_back(self):
        program = os.path.join(self.scratch, "Velvane.exe")  # the copies are written beside it
        shutil.copy(EXE, program)
        logo = self.image("Logo.png", 200, 100)
        a, b = windows_path(logo), windows_path(self.image("other.png", 120, 60, GREEN))
        p = self.start('"%s" "%s" "%s" size1.5 dontloadeffect' % (a, a.replace("Logo.png", "LOGO.PNG"), b), program=program)
        self.wait_windows(3, p)
        # The green image lies on top in the middle: opacity 50, then drag it aside.
        self.menu(512, 384, "Down", "Down", "Down", "Right", "Down", "Down", "Down", "Down", "Return")
        xdotool("mousemove", 512, 384, "mousedown", 1, "sleep", 0.4, "mousemove", 514, 386, "sleep", 0.5,
                "mousemove", 764, 586, "sleep", 0.5, "mouseup", 1, "sleep", 0.5)
        # The second orange window (same file, other letter case) back to size 1.
        self.menu(512, 384, "Down", "Down", "Down", "Down", "Right", "Down", "Down", "Down", "Return")
        before = sorted(w.place for w in self.windows())
        self.assertIn((672, 539, (180, 90)), before, "the green image dragged aside")
        for all_images in (True, False):  # "Make single Exe! All Images" with Yes, then "Make single Exe!"
            self.menu(762, 584, *(["Down"] * (6 if all_images else 5)), "Return")
            self.answer("Return", "the question whether to save the settings")
            self.answer("Return", "the success message")
        self.wait_for(lambda: self.windows("ExplorerWClass"), "the Explorer showing the folder")
        self.close_all(p)
        with open(os.path.join(self.scratch, "Velvane1.exe"), "rb") as f, open(logo, "rb") as image:
            self.assertEqual(f.read().count(image.read()), 1, "the repeated image is stored once")

        temp_before = self.temp_files()
        r, after = self.reopen("Velvane1.exe", 3)
        self.assertEqual(after, before, "every window where it was, at its size")
        self.assertColour(self.screen("copy-restored")(842, 619), dimmed(GREEN), "opacity 50 kept", 2)
        self.assertEqual(len(self.temp_files() - temp_before), 3, "one temporary image per window")
        self.close_all(r)
        self.assertEqual(self.temp_files() - temp_before, set(), "closing the windows deletes their files")
        r, after = self.reopen("Velvane2.exe", 1)
        self.assertEqual(after, [(672, 539, (180, 90))], "Make single Exe!: the one image clicked")
        self.menu(700, 560, *["Down"] * 8, "Return")  # no package items: "About"
        self.wait_for(lambda: len(self.windows()) == 2, "the about window")
        self.assertFalse(os.path.exists(os.path.join(self.scratch, "Velvane3.exe")))


if __name__ == "__main__":
    unittest.main()
