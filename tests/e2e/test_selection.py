# Several pins at once: pins of two copies selected by Ctrl+click move together, close together
# and come back together; a pin dragged out with Ctrl lands as a new pin in another copy.
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
        self.wait_for(lambda: len([w for w in self.windows(FRAME) if w.visible]) == 2, "a frame around each selected pin")
        self.drag(280, 150, 50, 30)
        moved = [(150, 130, (200, 100)), (450, 130, (120, 80)), (100, 100, (60, 40))]
        self.wait_for(lambda: self.places() == sorted(moved), "both selected pins moved by (50, 30), the other one not")

        xdotool("mousemove", 330, 180, "click", 1, "sleep", 0.3, "key", "Escape")
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
