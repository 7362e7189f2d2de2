# Drawing on a pin: a rectangle drawn by keys and a drag stays on the picture through Ctrl+C, a
# kill and "restore", and a crop shrinks the window to what it keeps, where it was on the screen.
import os
import subprocess
import time

from harness import WINE, Journey, windows_path, xdotool

RED, WHITE = (232, 17, 35), (255, 255, 255)
TOOLBAR = "Velvane.EditToolbar"


class DrawTest(Journey):
    def draw(self, tool, points):
        # Space starts drawing on the pin under the first point; the tool's key, then a drag along the points.
        xdotool("mousemove", 600, 320, "click", 1, "sleep", 0.3, "key", "space")
        self.shown(TOOLBAR, what="the drawing toolbar")
        xdotool("key", tool, "mousemove", *points[0], "sleep", 0.3, "mousedown", 1)
        for x, y in points[1:]:
            xdotool("sleep", 0.3, "mousemove", x, y)
        xdotool("sleep", 0.3, "mouseup", 1, "sleep", 0.3)

    def test_rectangle_kept_and_crop(self):
        white = self.image("white.png", 300, 200, "white")
        p = self.start('"%s" dontloadeffect' % windows_path(white))
        (pin,) = self.wait_windows(1, p)
        self.assertEqual(pin.place, (362, 284, (300, 200)))
        self.draw("r", [(400, 320), (450, 360), (500, 400)])
        xdotool("key", "Return")
        self.shown(TOOLBAR, up=False, what="Enter to end the drawing")
        shot = self.screen("draw-rectangle")
        for x, y, colour, what in ((400, 360, RED, "the rectangle's left side"), (500, 330, RED, "its right side"),
                                   (450, 360, WHITE, "inside it"), (600, 360, WHITE, "outside it")):
            self.assertColour(shot(x, y), colour, what, 12)

        xdotool("key", "ctrl+c")
        copied = os.path.join(self.scratch, "copied.png")
        with open(copied, "wb") as f:
            f.write(self.wait_for(lambda: self.clipboard("-t", "image/png", "-o"), "Ctrl+C to put the picture on the clipboard"))
        raw = subprocess.run(["convert", copied, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
        at = lambda x, y: tuple(raw[(y * 300 + x) * 3:(y * 300 + x) * 3 + 3])  # noqa: E731
        self.assertColour(at(38, 76), RED, "Ctrl+C: the rectangle on the copied picture", 12)
        self.assertColour(at(88, 76), WHITE, "Ctrl+C: inside it", 12)

        time.sleep(2)  # the copy writes its pins within a second of a change
        subprocess.run([WINE, "taskkill", "/f", "/pid", str(p.windows_pid)], capture_output=True, timeout=60)
        self.wait_for(lambda: not self.windows(), "the killed copy's windows to go")
        r = self.start("restore")
        (pin,) = self.wait_windows(1, r)
        self.assertEqual(pin.place, (362, 284, (300, 200)), "restored where it was")
        self.assertColour(self.screen("draw-restored")(400, 360), RED, "restore: the rectangle drawn before the kill", 12)

        # A crop from (18, 16) to (119, 97) of the picture, applied by Enter; Esc ends the drawing and keeps it.
        self.draw("c", [(380, 300), (430, 340), (480, 380)])
        xdotool("key", "Return")
        self.wait_for(lambda: [w for w in self.windows() if w.place == (380, 300, (101, 81))], "the window to shrink to the crop")
        xdotool("sleep", 0.3, "key", "Escape")
        self.shown(TOOLBAR, up=False, what="Esc to end the drawing")
        shot = self.screen("draw-cropped")
        self.assertColour(shot(400, 360), RED, "the cropped pin: the rectangle where it was on the screen", 12)
        self.assertColour(shot(450, 360), WHITE, "the cropped pin: white inside it", 12)
        self.close_all(r)
