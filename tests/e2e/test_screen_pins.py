# Pins from the screen and the clipboard through the resident copy ("tray").
import os
import subprocess

from harness import GREEN, ORANGE, OTHER, Journey, windows_path, xdotool

SELECTION, ICON_OWNER = "Velvane.Selection", "Velvane.NotificationIcon"
BLUE, RED = (30, 60, 220), (220, 30, 30)


class ScreenPins(Journey):

    def resident(self):
        p = self.start("tray")
        self.wait_for(lambda: [w for w in self.windows(ICON_OWNER) if w.pid == p.windows_pid], "the resident copy")
        return p

    def test_capture_pins_the_selection_where_it_was(self):
        resident = self.resident()
        known = self.image("known.png", 200, 100, ORANGE, GREEN, BLUE, RED)  # feh shows it, not through Wine, at a known place
        feh = subprocess.Popen(["feh", "--borderless", "--geometry", "200x100+300+200", known],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: feh.poll() is None and feh.kill())
        self.wait_colour("known", 475, 250, RED, "the other program's picture", timeout=40)
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
        self.wait_for(lambda: not self.windows(SELECTION), "the selecting window to go")
        feh.kill()
        after = self.screen("capture-pinned")
        for x, y in [(360, 230), (399, 250), (400, 250), (459, 269), (430, 240)]:
            self.assertColour(after(x, y), before(x, y), "the pin shows what was there at %d, %d" % (x, y))
        self.assertColour(after(461, 250), (0, 0, 0), "nothing of the picture beyond the selection")

    def test_a_click_picks_the_window_under_it_and_a_cancel_leaves_nothing(self):
        resident = self.resident()
        other = self.other_program()
        temp_before = self.temp_files()
        for cancel in (("key", "Escape"), ("click", 3)):
            self.start("capture")
            self.shown(SELECTION, what="the selecting window")
            xdotool("mousemove", 200, 200, "sleep", 0.3, "mousedown", 1, "mousemove", 300, 300, "sleep", 0.3, *cancel, "sleep", 0.5)
            self.shown(SELECTION, up=False, what="%s to cancel" % (cancel,))
            xdotool("mouseup", 1)
            self.assertEqual((self.windows(), self.temp_files()), ([], temp_before), "%s leaves no window and no file" % (cancel,))
        self.assertEqual(self.wait_exit(self.start("tray"), "a second resident start to end at once"), 0)
        xdotool("mousemove", other.left + 100, other.top + 300, "click", 1, "sleep", 0.5, "key", "ctrl+alt+p")  # from the other program
        self.shown(SELECTION, what="Ctrl+Alt+P's selecting window")
        xdotool("mousemove", 200, 200, "sleep", 0.3, "click", 1)
        (pin,) = self.wait_windows(1, resident)
        self.assertEqual(pin.place, other.place, "a click pins the window under the pointer, whole")
        # Two pins from the clipboard beside it; a close-all ends the other copy and closes the resident
        # copy's pins, which stays; all come back.
        self.clipboard("-t", "image/png", "-i", self.image("blue.png", 40, 30, BLUE))
        for count, x in ((2, 750), (3, 850)):
            xdotool("mousemove", x, 650)
            self.wait_exit(self.start("pinclipboard"))
            self.wait_windows(count, resident)
        other_copy = self.start('"%s"' % windows_path(self.image("green.png", 60, 40, GREEN)))
        self.wait_windows(4)
        self.start("closeall")
        self.assertEqual(self.wait_exit(other_copy, "the close-all to end the other copy"), 0)
        self.wait_for(lambda: not self.windows(), "the resident copy's pins to close")
        self.assertIsNone(resident.poll(), "the resident copy outlives its pins")
        self.start("restore")
        self.assertEqual(sorted(w.place for w in self.wait_windows(4)),
                         sorted([other.place, (482, 364, (60, 40)), (730, 635, (40, 30)), (830, 635, (40, 30))]))
        # Its Hide All / Show All is every copy's, though it has no pin: all hidden, it offers Show All.
        self.wait_exit(self.start("hide"))
        self.wait_for(lambda: not [w for w in self.windows() if w.visible], "every window to hide")
        self.tool("close", other.hwnd)  # it lies over Wine's tray
        self.wait_for(lambda: not self.windows(OTHER), "the other program to close")
        tray = self.tray()[0]  # a left click on the icon: Pin from Screen (while the pins, which cover it, are hidden)
        xdotool("mousemove", tray.left + 13, tray.top + tray.size[1] - 13, "sleep", 0.3, "click", 1)
        self.shown(SELECTION, what="the left-clicked icon's selecting window")
        xdotool("key", "Escape")
        self.shown(SELECTION, up=False, what="Esc to cancel it")
        self.icon_menu(self.tray()[0], *["Down"] * 5, "Return")
        self.wait_for(lambda: len([w for w in self.windows() if w.visible]) == 4, "the resident icon's Show All")

    def test_the_clipboard_pinned_at_the_pointer_and_kept_past_the_icons_exit(self):
        resident = self.resident()
        self.clipboard("-t", "image/png", "-i", self.image("green.png", 60, 40, GREEN))
        xdotool("mousemove", 500, 400)
        self.assertEqual(self.wait_exit(self.start("pinclipboard")), 0, "pinclipboard hands over and ends")
        (first,) = self.wait_windows(1, resident)
        self.assertEqual(first.place, (470, 380, (60, 40)), "centred on the pointer")
        # Its last pin closed, the resident copy keeps the pins it opens next in a set of their own.
        self.tool("close", first.hwnd)
        self.wait_for(lambda: not self.windows(), "the pin to close")
        xdotool("mousemove", 300, 300)
        self.start("pinclipboard")
        (pin,) = self.wait_windows(1, resident)
        self.clipboard("-t", "text/plain", "-i", os.devnull)
        self.wait_exit(self.start("pinclipboard"))
        self.assertEqual(len(self.wait_windows(1, resident)), 1, "no image on the clipboard: nothing more")
        tray = self.wait_for(self.tray, "the notification icon")[0]
        self.wait_for(lambda: self.balloons(tray.left + 13, tray.top + tray.size[1] - 13), "the icon's balloon to say so")

        self.icon_menu(tray, "Up", "Return")  # "Exit", the last item
        self.assertEqual(self.wait_exit(resident, "the icon's Exit to end the resident copy"), 0)
        self.start("restore")
        (back,) = self.wait_windows(1)
        self.assertEqual(back.place, (270, 280, (60, 40)), "restore brings back the pin open at the Exit")
        self.wait_colour("clipboard-restored", 300, 300, GREEN, "the pin's own picture")
