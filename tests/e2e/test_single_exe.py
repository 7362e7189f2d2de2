# Self-contained copies: built through the real menu and message boxes, then started.
import os
import shutil

from harness import ABOUT, BOX, EXE, GREEN, ORANGE, Journey, dimmed, windows_path, xdotool


class SingleExeTest(Journey):
    def answer(self, key, what, meanwhile=lambda: None):
        self.shown(BOX, what=what)
        meanwhile()
        xdotool("sleep", 0.5, "key", key)
        self.shown(BOX, up=False, what="the box to close")

    def reopen(self, program, count, arguments=""):
        p = self.start(arguments + " dontloadeffect", program=os.path.join(self.scratch, program))
        return p, sorted(w.place for w in self.wait_windows(count, p))

    def test_copies_built_from_the_menu_bring_the_images_back(self):
        program = os.path.join(self.scratch, "Velvane.exe")  # the copies are written beside it
        shutil.copy(EXE, program)
        shutil.copy(EXE, os.path.join(self.scratch, "Explorer.exe"))  # a planted one, never to run in place of the system's
        logo, other = self.image("Logo.png", 200, 100), self.image("other.png", 120, 60, GREEN, ORANGE)
        a = windows_path(logo)
        p = self.start('"%s" "%s" "%s" "%s" size1.5 dontloadeffect' % (a, a, a.replace("Logo.png", "LOGO.PNG"), windows_path(other)),
                       program=program)
        self.wait_windows(4, p)
        # The green image lies on top in the middle: opacity 50, then drag it aside.
        self.menu(512, 384, "Down", "Down", "Down", "Right", "Down", "Down", "Down", "Down", "Return")
        self.drag(512, 384, 250, 200)
        self.menu(762, 584, *["Down"] * 5, "Right", "Return")  # "Turn", "Left 90": about its centre, the orange half on top
        # The orange window now on top (same file, other letter case) to size 1/3.
        self.menu(512, 384, "Down", "Down", "Down", "Down", "Right", "Down", "Return")
        big, third, green = (362, 309, (300, 150)), (362, 309, (67, 33)), (717, 494, (90, 180))
        self.wait_for(lambda: sorted(w.place for w in self.windows()) == [third, big, big, green], "1/3 from the corner, green dragged aside")
        away = other + ".away"
        close_one = lambda: self.tool("closeone", next(w.hwnd for w in self.windows() if w.place == big))  # noqa: E731
        # "Make single Exe!" on the green window while its image file is away: it fails and leaves no file.
        # Then "Make single Exe! All Images" with Yes while a window closes during the question, and
        # "Make single Exe!" on the green window again.
        for items, meanwhile, outcome in ((12, lambda: os.rename(other, away), "failure"),
                                          (13, lambda: os.rename(away, other) or close_one(), "success"), (12, lambda: None, "success")):
            self.menu(762, 584, *["Down"] * items, "Return")
            self.answer("Return", "the question whether to save the settings", meanwhile)
            self.answer("Return", "the %s message" % outcome)
            if outcome == "success":
                # The Explorer shows the folder after the message; its window takes the keyboard when it
                # appears (late on a cold machine), so it is awaited and closed before the next menu.
                for w in self.wait_for(lambda: self.windows("ExplorerWClass"), "the Explorer showing the folder"):
                    self.tool("close", w.hwnd)
                self.wait_for(lambda: not self.windows("ExplorerWClass"), "the Explorer to close")
        self.close_all(p)
        with open(os.path.join(self.scratch, "Velvane1.exe"), "rb") as f, open(logo, "rb") as image:
            self.assertEqual(f.read().count(image.read()), 1, "the repeated image is stored once")

        r, after = self.reopen("Velvane1.exe", 4, '"%s" about left900' % a)  # the images named are not opened
        self.assertEqual(after, [ABOUT, third, big, green], "every window left after the question where it was, and about")
        # Of the green and orange halves, orange on top: turned left as it was (the place says turned), opacity 50 kept.
        self.assertColour(self.screen("copy-restored")(720, 497), dimmed(ORANGE), "turned left as it was, opacity 50 kept", 2)
        self.close_all(r)  # its temporary images: the in-process package tests
        r, after = self.reopen("Velvane2.exe", 1)
        self.assertEqual(after, [green], "Make single Exe!: the one image clicked")
        self.menu(762, 584, *["Down"] * 19, "Return")  # no package items: "About"
        self.wait_for(lambda: len(self.windows()) == 2, "the about window")
        self.assertFalse(os.path.exists(os.path.join(self.scratch, "Velvane3.exe")), "a failed build left its file")
        self.close_all(r)
        with open(os.path.join(self.scratch, "Velvane1.exe"), "r+b") as f:
            f.truncate(os.path.getsize(f.name) - 10)
        self.assertEqual(self.reopen("Velvane1.exe", 1)[1], [ABOUT], "a damaged copy: the about window")
