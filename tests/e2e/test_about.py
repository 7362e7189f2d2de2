# The about window, what a user sees on starting Velvane.exe without an image: a line beneath
# its picture, and its own menu, whose "Stay in Notification Area" makes the copy the resident one.
from harness import ABOUT, OTHER, Journey, xdotool

SELECTION = "Velvane.Selection"


class AboutWindow(Journey):

    def test_stay_in_notification_area_keeps_the_copy_with_its_icon_and_keys(self):
        p = self.start("")
        (about,) = self.wait_windows(1, p)
        self.assertEqual(about.place, ABOUT, "the picture with its line beneath, centred")
        self.screen("about-line")
        self.assertEqual(self.tray(), [], "no icon before")
        self.menu(*about.centre, "Down", "Return")  # "Stay in Notification Area", the first item
        self.wait_for(self.tray, "the notification icon")
        xdotool("mousemove", *about.centre, "click", 1, "sleep", 0.3, "key", "Escape")
        self.wait_for(lambda: not self.windows(), "Esc to close the about window")
        self.assertIsNone(p.poll(), "the copy stays without a window")
        other = self.other_program()  # Wine passes a global key on from a window of its own
        xdotool("key", "ctrl+alt+p")
        (selecting,) = self.shown(SELECTION, what="Ctrl+Alt+P's selecting window")
        self.assertEqual(selecting.pid, p.windows_pid, "shown by the copy that stayed")
        xdotool("click", 3)
        self.shown(SELECTION, up=False, what="a right click to cancel it")
        self.tool("close", other.hwnd)  # it lies over Wine's tray
        self.wait_for(lambda: not self.windows(OTHER), "the other program to close")
        self.icon_menu(self.tray()[0], "Up", "Return")  # "Exit", the last item
        self.assertEqual(self.wait_exit(p, "the icon's Exit to end the copy"), 0)
