# Many pins: groups shown across copies by word, key and menu and kept through a kill and
# restore; a pin collapsed to a tile and back; a pin saved as an image file.
import os
import subprocess

from harness import BOX, GREEN, ORANGE, WINE, Journey, windows_path, xdotool

A, B, C = (412, 334, (200, 100)), (100, 100, (120, 80)), (100, 100, (60, 40))  # places: a centred, b and c at left/top 1500 twips


class GroupsTest(Journey):
    def showing(self, *places, what):
        self.wait_for(lambda: sorted(w.place for w in self.windows() if w.visible) == sorted(places), what)

    def word(self, word):
        self.wait_exit(self.start(word), word + " to end")

    def test_groups_tiles_and_save(self):
        self.other_program()  # Wine passes the global keys on only while one of its windows has the keyboard
        a = self.image("a.png", 200, 100, ORANGE, GREEN)
        first = self.start('"%s" dontloadeffect' % windows_path(a))
        second = self.start('"%s" "%s" left1500 top1500 dontloadeffect' % (windows_path(self.image("b.png", 120, 80)), windows_path(self.image("c.png", 60, 40))))
        self.wait_windows(3)
        self.menu(512, 384, *["Down"] * 9, "Right", "Down", "Return")  # "Group", "2"
        self.word("group2")
        self.showing(A, what="group2: the pin moved to group 2 alone")
        self.word("groupall")
        self.showing(A, B, C, what="groupall: every pin")
        for places, what in (((B, C), "the first group"), ((A,), "the second"), ((A, B, C), "all")):
            xdotool("key", "ctrl+alt+g")
            self.showing(*places, what="Ctrl+Alt+G: " + what)

        self.word("group2")
        self.showing(A, what="group2 again")
        for p in (first, second):
            subprocess.run([WINE, "taskkill", "/f", "/pid", str(p.windows_pid)], capture_output=True, timeout=60)
        self.wait_for(lambda: not self.windows(), "the killed copies' windows to go")
        r = self.start("restore")
        self.wait_for(lambda: len(self.windows()) == 3, "three pins restored")
        self.showing(A, what="restored with group 2 shown: its pin alone")
        self.word("groupall")
        self.showing(A, B, C, what="every pin restored")

        # Shift+double-click: a tile at the same corner with the whole picture, then the pin again.
        xdotool("mousemove", 512, 384, "keydown", "shift", "click", "--repeat", 2, "--delay", 80, 1, "keyup", "shift")
        self.showing((412, 334, (96, 96)), B, C, what="the tile")
        shot = self.screen("tile")
        self.assertColour(shot(417, 339), (243, 243, 243), "the tile's background")
        self.assertColour(shot(440, 382), ORANGE, "the picture's left half in the tile")
        self.assertColour(shot(484, 382), GREEN, "its right half")
        xdotool("mousemove", 460, 382, "keydown", "shift", "click", "--repeat", 2, "--delay", 80, 1, "keyup", "shift")
        self.showing(A, B, C, what="expanded where it was")

        saved = os.path.join(self.scratch, "saved.png")
        xdotool("click", 1, "sleep", 0.3, "key", "ctrl+s")
        (d,) = self.wait_for(lambda: [w for w in self.windows(BOX) if w.visible], "the Save dialog")
        xdotool("mousemove", d.left + 430, d.top + d.size[1] - 47, "click", 1, "sleep", 0.3, "key", "End", "shift+Home")
        xdotool("type", "--delay", 30, windows_path(saved))
        xdotool("key", "Return")
        self.wait_for(lambda: os.path.exists(saved) and not self.windows(BOX), "Ctrl+S to write the file")
        same = subprocess.run(["compare", "-metric", "AE", a, saved, "null:"], capture_output=True, text=True).stderr.strip()
        self.assertEqual(same, "0", "the saved picture, pixel for pixel")
        self.close_all(r)
