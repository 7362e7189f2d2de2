# Settings: a global key chosen in the Settings window works at once in place of the old one, a
# red line around new pins that Ctrl+C leaves out, text pinned as a card at the pointer, and all of
# it back after a kill and restore.
import os
import subprocess
import time

from harness import BOX, GREEN, ORANGE, WINE, Journey, windows_path, xdotool

SELECTION, EDGE = "Velvane.Selection", "Velvane.PinEdge"
SETTINGS_KEY = r"HKCU\Software\Velvane\Velvane.2"
RED = (255, 0, 0)


class SettingsTest(Journey):
    def settings(self, x, y):
        self.menu(x, y, "Up", "Up", "Up", "Return")  # "Settings...", above "About" and "Exit"
        return self.shown(BOX, what="the Settings window")[0]

    def key_works(self, key, works):
        xdotool("mousemove", 100, 300, "click", 1, "sleep", 0.5, "key", key)  # the other program has the keyboard
        if works:
            self.shown(SELECTION, what=key + ": the selecting window")
            xdotool("sleep", 0.5, "mousemove", 300, 300, "click", 3)
            self.shown(SELECTION, up=False, what="a right-click to cancel it")
        else:
            self.assertIsNone(self.poll(lambda: [w for w in self.windows(SELECTION) if w.visible], 3), key + " no longer pins from the screen")

    def test_keys_edges_and_text_cards(self):
        self.other_program()
        first = self.start('"%s" dontloadeffect' % windows_path(self.image("a.png", 200, 100, ORANGE)))
        self.wait_windows(1)
        self.settings(512, 384)
        self.screen("settings")
        xdotool("key", "alt+s", "sleep", 0.3, "key", "ctrl+alt+s", "sleep", 0.3, "key", "Return")  # "Pin from Screen": Ctrl+Alt+S, OK
        self.shown(BOX, up=False, what="OK to close the Settings window")
        self.key_works("ctrl+alt+s", True)
        self.key_works("ctrl+alt+p", False)

        # A red line around new pins (the colour as the colour dialog would store it).
        subprocess.run([WINE, "reg", "add", SETTINGS_KEY, "/v", "NewPinEdgeColour", "/d", "#FF0000", "/f"], capture_output=True, timeout=60)
        self.settings(512, 384)
        xdotool("key", "alt+e", "sleep", 0.3, "key", "Down", "sleep", 0.3, "key", "Return")  # "Edge": "Line", OK
        self.shown(BOX, up=False, what="OK to close the Settings window again")
        second = self.start('"%s" left1500 top1500 dontloadeffect' % windows_path(self.image("b.png", 120, 80, GREEN)))
        self.wait_windows(2)
        self.wait_for(lambda: len([w for w in self.windows(EDGE) if w.visible]) == 4, "the new pin's edge")
        shot = self.screen("edge-line")
        for x, y in ((99, 140), (220, 140), (160, 99), (160, 180)):
            self.assertColour(shot(x, y), RED, "the line just outside the new pin at %d, %d" % (x, y))
        self.assertColour(shot(101, 140), GREEN, "the picture inside it")
        xdotool("mousemove", 160, 140, "click", 1, "sleep", 0.3, "key", "ctrl+c")
        copied = os.path.join(self.scratch, "copied.png")
        with open(copied, "wb") as f:
            f.write(self.wait_for(lambda: self.clipboard("-t", "image/png", "-o"), "Ctrl+C to copy the pin"))
        colours = subprocess.run(["convert", copied, "-format", "%w %h %k", "info:"], capture_output=True, text=True).stdout
        self.assertEqual(colours, "120 80 1", "Ctrl+C: the picture alone, no red line")

        # Text on the clipboard: a card at the pointer.
        text = os.path.join(self.scratch, "note.txt")
        with open(text, "w") as f:
            f.write("Call Ada back about the mock-ups")
        self.clipboard("-i", text)
        xdotool("mousemove", 700, 600, "sleep", 0.3, "key", "ctrl+alt+v")
        card = self.wait_for(lambda: [w for w in self.windows() if w.visible and abs(w.centre[0] - 700) <= 1 and abs(w.centre[1] - 600) <= 1],
                             "a card pin centred on the pointer")[0]
        self.assertGreater(card.size[0], card.size[1], "one line of text: wider than tall")
        self.screen("card")
        time.sleep(2)  # each copy writes its set within a second of a change

        for p in (first, second):
            subprocess.run([WINE, "taskkill", "/f", "/pid", str(p.windows_pid)], capture_output=True, timeout=60)
        self.wait_for(lambda: not self.windows(), "the killed copies' windows to go")
        restored = self.start("restore")
        expected = sorted([(412, 334, (200, 100)), (100, 100, (120, 80)), card.place])
        back = self.poll(lambda: sorted(w.place for w in self.windows() if w.visible) == expected, 15)
        self.assertTrue(back, "every pin back, the card too: %s, not %s" % ([w.place for w in self.windows()], expected))
        self.wait_for(lambda: len([w for w in self.windows(EDGE) if w.visible]) == 8, "the edges back with their pins (the card is a new pin too)")
        self.key_works("ctrl+alt+s", True)  # the chosen key survives the copies that held it
        self.close_all(restored)
