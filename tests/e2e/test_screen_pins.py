# Pins from the screen and the clipboard through the resident copy ("tray").
import os
import subprocess

from harness import GREEN, ORANGE, Journey, xdotool

SELECTION, ICON_OWNER = "Velvane.Selection", "Velvane.NotificationIcon"
BLUE, RED = (30, 60, 220), (220, 30, 30)


class ScreenPins(Journey):

    def resident(self):
        p = self.start("tray")
        self.wait_for(lambda: [w for w in self.windows(ICON_OWNER) if w.pid == p.windows_pid], "the resident copy")
        return p

    def shown_by_another_program(self, x, y):
        # feh shows a picture of four bands, not through Wine, at a known place.
        picture = self.image("known.png", 200, 100, ORANGE, GREEN, BLUE, RED)
        feh = subprocess.Popen(["feh", "--borderless", "--geometry", "200x100+%d+%d" % (x, y), picture],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: feh.poll() is None and feh.kill())
        self.wait_colour("known", x + 175, y + 50, RED, "the other program's picture")
        return feh

    def test_capture_pins_the_selection_where_it_was(self):
        resident = self.resident()
        feh = self.shown_by_another_program(300, 200)
        before = self.screen("capture-before")
        self.assertEqual(self.wait_exit(self.start("capture")), 0, "capture hands over to the resident copy and ends")
        self.shown(SELECTION, what="the selecting window")
        # From the green band to the blue: the selection is both corners' pixels and all between.
        xdotool("mousemove", 360, 230, "sleep", 0.3, "mousedown", 1, "sleep", 0.3, "mousemove", 400, 250, "sleep", 0.3,
                "mousemove", 459, 269, "sleep", 0.5)
        self.screen("capture-selecting")
        xdotool("mouseup", 1, "sleep", 0.5)
        (pin,) = self.wait_windows(1, resident)
        self.assertEqual(pin.place, (360, 230, (100, 40)), "the pin lies exactly where the selection was")
        self.assertEqual(self.windows(SELECTION), [], "the selecting window is gone")
        feh.kill()
        after = self.screen("capture-pinned")
        for x, y in [(360, 230), (399, 250), (400, 250), (459, 269), (430, 240)]:
            self.assertColour(after(x, y), before(x, y), "the pin shows what was there at %d, %d" % (x, y))
        self.assertColour(after(461, 250), (0, 0, 0), "nothing of the picture beyond the selection")
