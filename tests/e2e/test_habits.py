# What people who pin images expect: the wheel zooms about the pointer, Ctrl+wheel fades,
# the clipboard takes and gives images, and a window can let clicks through.
import subprocess
from pathlib import Path

from harness import EXE, GREEN, ORANGE, OTHER, Journey, windows_path, xdotool


class HabitsTest(Journey):
    def one(self):
        (w,) = self.windows()
        return w

    def test_wheel_clipboard_and_click_through(self):
        self.other_program()
        p = self.start('"%s" dontloadeffect' % windows_path(self.image("a.png", 200, 100, ORANGE, ORANGE, "rgba(200,120,40,0.5)", "none")))
        self.wait_windows(1, p)
        xdotool("mousemove", 452, 354, "sleep", 0.3, "click", 4)
        self.wait_place((372, 314, (400, 200)), "a wheel notch up: size 2 about the pointer")
        xdotool("click", 5, "sleep", 0.5, "click", 5)
        self.wait_place((432, 344, (100, 50)), "two notches down: size 1/2 about the pointer")
        xdotool("click", 1, "sleep", 0.3, "key", "ctrl+c")
        copied = Path(self.scratch, "copied.png")
        copied.write_bytes(self.wait_for(lambda: self.clipboard("-t", "image/png", "-o"), "Ctrl+C to put the image on the clipboard"))
        out = subprocess.run(["convert", copied, "-format", "%w %h %[pixel:p{10,10}] %[fx:p{90,10}.a] %[fx:round(255*p{62,10}.r)]"
                              " %[fx:round(255*p{62,10}.a)]", "info:"], capture_output=True, text=True).stdout.split()
        self.assertEqual(out[:4], ["100", "50", "srgba(200,120,40,1)", "0"], "Ctrl+C: the image at its size, its colours and alpha")
        self.assertTrue(198 <= int(out[4]) <= 201 and 126 <= int(out[5]) <= 129, "half-transparent pixels copied unpremultiplied: %s" % out)
        xdotool("click", 4, "sleep", 0.5, "keydown", "ctrl", "click", 5, "keyup", "ctrl")
        self.wait_place((412, 334, (200, 100)), "back to size 1 where it was")
        self.wait_colour("opacity-90", 452, 354, tuple(c * 229 // 255 for c in ORANGE), "Ctrl+wheel: 90 %", 2)
        xdotool("keydown", "ctrl", "click", 4, "sleep", 0.3, "click", 4, "keyup", "ctrl")
        self.wait_colour("opacity-100", 452, 354, ORANGE, "Ctrl+wheel up stops at 100 %")
        xdotool("keydown", "ctrl", "click", "--repeat", 10, "--delay", 200, 5, "keyup", "ctrl")
        self.wait_colour("opacity-10", 452, 354, tuple(c * 25 // 255 for c in ORANGE), "Ctrl+wheel down stops at 10 %")

        temp_before, green = self.temp_files(), self.image("green.png", 60, 40, GREEN)
        Path(green + ".uri").write_text("file://%s\r\n" % green)
        subprocess.run(["convert", green, "BMP3:" + green + ".bmp"], check=True)
        for kind, source in (("image/png", green), ("image/bmp", green + ".bmp"), ("text/uri-list", green + ".uri")):
            self.clipboard("-t", kind, "-i", source)
            xdotool("mousemove", 452, 354, "click", 1, "sleep", 0.3, "key", "ctrl+v")
            (pasted,) = [w for w in self.wait_windows(2) if w.size == (60, 40)]
            self.assertEqual(pasted.place, (422, 334, (60, 40)), kind + " pasted centred on the pointer")
            self.assertColour(self.screen("pasted")(452, 354), GREEN, kind + " pasted")
            own = kind != "text/uri-list"  # image data goes to a file of our own; a copied file is shown as it is
            self.assertEqual(len(self.temp_files() - temp_before), own, kind + ": the pasted image's own file")
            self.tool("closeone", pasted.hwnd)
            self.wait_for(lambda: len(self.windows()) == 1 and self.temp_files() == temp_before, kind + ": closing deletes its own file")
        # A user's file shown stays when its window closes: the in-process temporary-file tests.
        self.clipboard("-t", "text/plain", "-i", green + ".uri")
        xdotool("click", 1, "sleep", 0.3, "key", "ctrl+v")
        (card,) = [w for w in self.wait_windows(2) if w.place != (412, 334, (200, 100))]
        self.assertTrue(card.size != (60, 40) and card.size[0] > card.size[1], "text that names an image is pinned as its text, a card")
        self.tool("closeone", card.hwnd)
        self.wait_for(lambda: len(self.windows()) == 1, "the card to close")

        icon_menu = lambda *keys: self.icon_menu(self.wait_for(self.tray, "the notification icon")[0], *keys)  # noqa: E731
        self.menu(452, 354, *["Down"] * 14, "Return")  # "Click Through"
        self.assertTrue(self.one().click_through)
        xdotool("click", 1)
        self.wait_for(lambda: any(w.foreground for w in self.windows(OTHER)), "the click to reach the other program's window beneath")
        icon_menu("Down", "Return")  # "Clickable Again"
        self.wait_for(lambda: not self.one().click_through and not self.tray(), "Clickable Again, and the icon to go")
        run = lambda: self.tool("query", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run", "/v", "Velvane", program="reg")  # noqa: E731
        for marked in (True, False):  # "Open at Sign-in", fourth from the end of the menu: set, then cleared
            self.menu(452, 354, "Up", "Up", "Up", "Up", "Return")
            self.wait_for(lambda: ("tray restore signin" in run()) == marked, "Open at Sign-in %s" % ("set" if marked else "cleared"))
        self.menu(452, 354, *["Down"] * 14, "Return")
        self.assertEqual(self.wait_exit(self.start("clickable", program=EXE)), 0, "the clickable keyword ends by itself")
        self.wait_for(lambda: not self.one().click_through, "the clickable keyword to reach the window")
        self.assertEqual(len(self.windows()), 1, "the clickable keyword opens nothing")
        self.menu(452, 354, *["Down"] * 14, "Return")
        icon_menu("Down", "Down", "Return")  # "Exit"
        self.assertEqual(self.wait_exit(p, "the icon's Exit to end the program"), 0)
