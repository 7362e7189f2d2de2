# Several pins at once: pins of two copies selected by Ctrl+click move together, copy side by side,
# close together and come back together; a pin dragged out with Ctrl lands as a new pin in another copy.
import os
import subprocess

from harness import GREEN, ORANGE, Journey, windows_path, xdotool

FRAME = "Velvane.SelectionFrame"


class SelectionTest(Journey):
    def places(self):
        return sorted(w.place for w in self.windows())

    def test_select_move_close_reopen_and_drag_out(self):
        a, b, c = self.image("a.png", 200, 100, ORANGE), self.image("b.png", 120, 80, GREEN), self.image("c.png", 60, 40, GREEN)
        first = self.start('"%s" "%s" left1500 top1500 dontloadeffect' % (windows_path(c), windows_path(a)))  # c beneath a, its corner free
        second = self.start('"%s" left6000 top1500 dontloadeffect' % windows_path(b))
        self.wait_windows(3)
        for x, y in ((280, 150), (460, 140)):
            xdotool("mousemove", x, y, "sleep", 0.3, "keydown", "ctrl", "click", 1, "keyup", "ctrl", "sleep", 0.3)
        self.wait_for(lambda: len([w for w in self.windows(FRAME) if w.visible]) == 8, "a frame of four strips around each selected pin")
        self.assertColour(self.screen("selected")(200, 150), ORANGE, "a selected pin's picture shows unchanged inside its frame")
        self.drag(280, 150, 50, 30)
        moved = [(150, 130, (200, 100)), (450, 130, (120, 80)), (100, 100, (60, 40))]
        self.wait_for(lambda: self.places() == sorted(moved), "both selected pins moved by (50, 30), the other one not")

        xdotool("mousemove", 330, 180, "click", 1, "sleep", 0.3, "key", "ctrl+c")
        copied = os.path.join(self.scratch, "both.png")
        with open(copied, "wb") as f:
            f.write(self.wait_for(lambda: self.clipboard("-t", "image/png", "-o"), "Ctrl+C to put the selection on the clipboard"))
        size = subprocess.run(["identify", "-format", "%w %h %[pixel:p{10,10}] %[pixel:p{250,10}]", copied], capture_output=True, text=True).stdout
        self.assertEqual(size, "328 100 srgba(200,120,40,1) srgba(20,200,20,1)", "Ctrl+C: both pictures side by side, 8 pixels apart")
        xdotool("key", "Escape")
        self.wait_for(lambda: self.places() == [(100, 100, (60, 40))], "Esc: the selection closed in both copies")
        self.wait_exit(second, "the copy whose pins all closed to end")
        xdotool("mousemove", 110, 110, "click", 1, "sleep", 0.3, "key", "ctrl+z")
        self.wait_for(lambda: self.places() == sorted(moved), "Ctrl+Z: both back where they were")

        third = self.start('"%s" left9000 top6000 dontloadeffect' % windows_path(b))  # at (600, 400)
        self.wait_windows(4)
        xdotool("mousemove", 110, 110, "keydown", "ctrl", "mousedown", 1, "sleep", 0.3, "mousemove", 130, 130, "sleep", 0.3,
                "mousemove", 400, 300, "sleep", 0.3, "mousemove", 650, 440, "sleep", 0.5, "mouseup", 1, "keyup", "ctrl")
        self.wait_for(lambda: len([w for w in self.windows() if w.pid == third.windows_pid]) == 2, "the dragged picture pinned by the other copy")
        for p in (first, third):
            for w in [w for w in self.windows() if w.pid == p.windows_pid]:
                self.tool("close", w.hwnd)
            self.assertEqual(self.wait_exit(p), 0)
