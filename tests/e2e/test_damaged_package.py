"""Real copies of the program carrying damaged packages: they open what can be opened,
fall back to the about window when nothing can, and never crash or hang."""

from harness import VelvaneTestCase, windows_path
from package import bag, blob, image_entries, int32, record, text


class DamagedPackageTest(VelvaneTestCase):
    def setUp(self):
        super().setUp()
        logo = self.image("logo.png", 60, 40, lambda x, y: (200, 120, 40, 255))
        with open(logo, "rb") as f:
            self.png = f.read()

    def good_entries(self, images=2, top=150):
        entries = [("Ras", int32(6)), ("Ras1", blob(self.png + b"\0"))]
        entries += image_entries(1, top, 300)
        for k in range(2, images + 1):
            entries += [("Ras%d" % k, text("Ras1Ras"))] + image_entries(k, 150, 300 + 1500 * k)
        return entries

    def run_copy(self, tail):
        p = self.start("dontloadeffect", program=self.self_contained_copy(tail))
        return p

    def test_sound_package_opens_its_images_where_stored(self):
        p = self.run_copy(record(bag(self.good_entries())))
        found = self.wait_for_windows(2, p.windows_pid)
        self.assertEqual(sorted((w.left, w.top) for w in found), [(20, 10), (220, 10)])

    def test_command_line_images_are_ignored_but_about_still_applies(self):
        other = self.image("other.png", 30, 30, lambda x, y: (20, 200, 20, 255))
        path = self.self_contained_copy(record(bag(self.good_entries(images=1))))
        p = self.start('"%s" about dontloadeffect left900' % windows_path(other), program=path)
        found = self.wait_for_windows(2, p.windows_pid)
        self.assertEqual(sorted(w.size for w in found), [(60, 40), (412, 163)])
        (image,) = [w for w in found if w.size == (60, 40)]
        self.assertEqual((image.left, image.top), (20, 10), "the stored place, not the command line's")

    def test_damaged_headers_show_the_about_window_instead(self):
        good = record(bag(self.good_entries()))
        truncated = good[:-10]
        length_past_end = good[:4] + b"\xff\xff\xff\x7f" + good[8:]
        wrong_kind = record(bag([("Ras", text("six"))] + self.good_entries()[1:]))
        no_answer = record(bag(self.good_entries()[1:]))
        for label, tail in (("truncated", truncated), ("length past the end", length_past_end),
                            ("wrong kind", wrong_kind), ("no answer", no_answer), ("nothing", b"")):
            p = self.run_copy(tail)
            (about,) = self.wait_for_windows(1, p.windows_pid)
            self.assertEqual(about.size, (412, 163), label)
            self.run_helper(self.inspect, "--close", str(about.hwnd))
            self.assertEqual(self.wait_exit(p), 0, label)

    def test_top_beyond_sixteen_bits_stops_at_that_image(self):
        entries = self.good_entries(images=3)
        entries = [(n, v) if n != "top2" else (n, image_entries(2, 33000, 0)[0][1]) for n, v in entries]
        p = self.run_copy(record(bag(entries)))
        (only,) = self.wait_for_windows(1, p.windows_pid)
        self.assertEqual((only.left, only.top), (20, 10))


if __name__ == "__main__":
    import unittest
    unittest.main()
