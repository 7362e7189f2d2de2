"""Close-all: one start closes every window of every running copy, through the shared list."""
import random
import subprocess
import time
import unittest

from harness import VelvaneTestCase, windows_path

COLOUR = (200, 120, 40, 255)


class CloseAllTest(VelvaneTestCase):
    def setUp(self):
        super().setUp()
        self.clear_window_list()
        self.a = self.image("a.png", 80, 60, lambda x, y: COLOUR)
        self.b = self.image("b.png", 40, 30, lambda x, y: (20, 200, 20, 255))

    def tearDown(self):
        super().tearDown()
        self.clear_window_list()

    def start_copy(self):
        return self.start('"%s" "%s" dontloadeffect' % (windows_path(self.a), windows_path(self.b)))

    def wait_for_count(self, count):
        return self.wait_for(lambda: (lambda w: w if len(w) == count and all(x.visible for x in w) else None)(
            self.windows()), what="%d windows" % count)

    def test_closeall_ends_every_copy_and_empties_the_list(self):
        copies = [self.start_copy() for _ in range(3)]
        found = self.wait_for_count(6)
        count, handles = self.window_list()
        self.assertEqual(count, "6")
        self.assertEqual(sorted(int(h) for h in handles), sorted(w.hwnd for w in found))

        closer = self.start("closeall")
        self.assertEqual(self.wait_exit(closer), 0)
        for copy in copies:
            self.assertEqual(self.wait_exit(copy), 0)
        self.assertEqual(self.windows(), [])
        self.assertEqual(self.window_list(), ("0", []))

    def test_switch_number_and_any_letter_case_close_all_too(self):
        for word in ("CLOSEALL", "1", "7 dontontop"):
            copy = self.start_copy()
            self.wait_for_count(2)
            closer = self.start('%s "%s"' % (word, windows_path(self.a)))  # images named are not opened
            self.assertEqual(self.wait_exit(closer), 0, word)
            self.assertEqual(self.wait_exit(copy), 0, word)
            self.assertEqual(self.windows(), [], word)

    def test_stale_entry_naming_another_programs_window_is_dropped_not_closed(self):
        plain = self.start_plain_window(10, 10, 100, 100)
        (other,) = self.windows("VelvaneTestPlainWindow")
        self.run_helper("reg", "add", self.LIST_KEY, "/v", "Count", "/d", "1", "/f")
        self.run_helper("reg", "add", self.LIST_KEY, "/v", "1", "/d", str(other.hwnd), "/f")
        closer = self.start("closeall")
        self.assertEqual(self.wait_exit(closer), 0)
        time.sleep(0.5)
        self.assertEqual(len(self.windows("VelvaneTestPlainWindow")), 1)
        self.assertIsNone(plain.poll())
        self.assertEqual(self.window_list(), ("0", []))

    def test_copies_opening_and_closing_at_once_keep_the_list_exact(self):
        """Stress: 8 copies start together, then half of all windows close together, for
        several rounds; the list must name exactly the windows still open."""
        rng = random.Random(4)
        rounds, per_round = 3, 8
        open_count = 0
        for _ in range(rounds):
            for _ in range(per_round):
                self.start_copy()
            open_count += 2 * per_round
            found = self.wait_for_count(open_count)
            doomed = rng.sample(found, len(found) // 2)
            closers = [subprocess.Popen([self.wine, self.inspect, "--close", str(w.hwnd)],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) for w in doomed]
            for c in closers:
                c.wait(timeout=60)
            open_count -= len(doomed)
            self.wait_for_count(open_count)
            time.sleep(0.5)
            count, handles = self.window_list()
            self.assertEqual(sorted(int(h) for h in handles), sorted(w.hwnd for w in self.windows()))
            self.assertEqual(count, str(open_count))
        print("stress: %d rounds of %d copies, %d windows open at the end" % (rounds, per_round, open_count))
        closer = self.start("closeall")
        self.assertEqual(self.wait_exit(closer, timeout=60), 0)
        self.wait_for(lambda: self.windows() == [], timeout=60, what="every window to close")
        self.assertEqual(self.window_list(), ("0", []))


if __name__ == "__main__":
    unittest.main()
