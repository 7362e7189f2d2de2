"""Starting Velvane from a command line: which windows appear, where, and how they look."""
import os
import subprocess
import time
import unittest

from harness import VelvaneTestCase, windows_path

BACKGROUND = (0, 0, 0)  # the bare virtual screen
COLOUR = (200, 120, 40)


def half_transparent(x, y, width=412):
    """Left half fully transparent, right half opaque orange."""
    return (*COLOUR, 0 if x < width // 2 else 255)


class StartupTest(VelvaneTestCase):
    def test_no_image_shows_the_about_window_centred(self):
        p = self.start("")
        (about,) = self.wait_for_windows(1, p.windows_pid)
        self.assertEqual(about.size, (412, 163))
        self.assertEqual((about.left, about.top), (306, 302))
        self.assertTrue(about.topmost)
        self.assertTrue(about.layered)
        shot = self.screenshot("about-window")
        # The rounded corner is transparent; the middle of the card is the image.
        self.assertColour(shot.pixel(about.left + 1, about.top + 1), BACKGROUND)
        self.assertColour(shot.pixel(about.left + 20, about.top + 80), (46, 46, 46), 12)  # the slate card

    def test_opacity_blends_opaque_pixels_and_transparent_pixels_show_the_desktop(self):
        path = self.image("half.png", 412, 163, half_transparent)
        p = self.start('"%s" opacity50 dontloadeffect' % windows_path(path))
        (w,) = self.wait_for_windows(1, p.windows_pid)
        self.assertEqual((w.left, w.top, w.size), (306, 302, (412, 163)))
        shot = self.screenshot("opacity-50")
        expected = tuple(c * 127 // 255 for c in COLOUR)
        self.assertColour(shot.pixel(w.left + 300, w.top + 80), expected, 2)
        self.assertColour(shot.pixel(w.left + 50, w.top + 80), BACKGROUND)
        self.assertColour(shot.pixel(w.left - 5, w.top + 80), BACKGROUND)

    def test_two_images_with_values_open_in_order_where_asked(self):
        a = self.image("a.png", 412, 163, lambda x, y: (*COLOUR, 255))
        b = self.image("b.png", 100, 50, lambda x, y: (20, 200, 20, 255))
        p = self.start('"%s" "%s" size0.5 left300 dontontop dontloadeffect' % (windows_path(a), windows_path(b)))
        found = self.wait_for_windows(2, p.windows_pid)
        sizes = sorted(w.size for w in found)
        self.assertEqual(sizes, [(50, 25), (206, 82)])
        for w in found:
            self.assertEqual(w.left, 20)  # 300 twips
            self.assertFalse(w.topmost)
        big = next(w for w in found if w.size == (206, 82))
        self.assertEqual(big.top, 343)  # centred vertically only

    def test_top_most_window_stays_above_another_program(self):
        path = self.image("a.png", 200, 100, lambda x, y: (*COLOUR, 255))
        self.start_plain_window()
        p = self.start('"%s" dontloadeffect' % windows_path(path))
        (w,) = self.wait_for_windows(1, p.windows_pid)
        # The other program's window takes the focus; the top-most image stays in front.
        subprocess.run(["xdotool", "mousemove", "650", "480", "click", "1"], check=True)
        time.sleep(0.5)
        (other,) = self.windows("VelvaneTestPlainWindow")
        (w,) = self.windows()
        self.assertTrue(w.topmost)
        self.assertLess(w.z_index, other.z_index)
        shot = self.screenshot("top-most-over-another-window")
        self.assertColour(shot.pixel(w.left + 100, w.top + 50), COLOUR)

    def test_dontontop_window_lies_below_another_program(self):
        path = self.image("a.png", 200, 100, lambda x, y: (*COLOUR, 255))
        self.start_plain_window()
        p = self.start('"%s" dontontop dontloadeffect' % windows_path(path))
        (w,) = self.wait_for_windows(1, p.windows_pid)
        (other,) = self.windows("VelvaneTestPlainWindow")
        self.assertFalse(w.topmost)
        self.assertGreater(w.z_index, other.z_index)
        # No pixel check here: without a window manager, Wine leaves the X stacking of a
        # newly shown window on top whatever the Windows order says.

    def test_missing_file_opens_the_about_window_and_its_keywords_count(self):
        missing = os.path.join(self.scratch, "left150 missing.png")
        p = self.start('"%s"' % windows_path(missing))
        (about,) = self.wait_for_windows(1, p.windows_pid)
        # The about window is always centred, whatever "left" the leftover text holds.
        self.assertEqual((about.left, about.top), (306, 302))

    def test_unreadable_image_opens_nothing_and_the_program_ends(self):
        bad = os.path.join(self.scratch, "notes.png")
        with open(bad, "w") as f:
            f.write("not an image")
        p = self.start('"%s"' % windows_path(bad))
        self.assertEqual(self.wait_exit(p), 0)
        self.assertEqual(self.windows(), [])

    def test_value_out_of_range_skips_the_images(self):
        path = self.image("a.png", 50, 50, lambda x, y: (*COLOUR, 255))
        p = self.start('"%s" left40000' % windows_path(path))
        self.assertEqual(self.wait_exit(p), 0)
        self.assertEqual(self.windows(), [])

    def test_closing_the_only_window_ends_the_program(self):
        path = self.image("a.png", 50, 50, lambda x, y: (*COLOUR, 255))
        p = self.start('"%s" dontloadeffect' % windows_path(path))
        (w,) = self.wait_for_windows(1, p.windows_pid)
        self.run_helper(os.environ["VELVANE_INSPECT"], "--close", str(w.hwnd))
        self.assertEqual(self.wait_exit(p), 0)
        self.assertTrue(os.path.exists(path), "the user's image must stay")


if __name__ == "__main__":
    unittest.main()
