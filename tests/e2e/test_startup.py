# Starting Velvane: with values (which windows appear, where, and their pixels), and with
# unreadable images and odd values (what can be opened opens, else the about window; never a
# crash or a hang). What packages open is tested in-process; a damaged copy in the copies journey.
import os
import subprocess
import time

from harness import ABOUT, GREEN, ORANGE, Journey, dimmed, windows_path


class StartupTest(Journey):
    def opens(self, arguments, places, label):
        # Starts the program and checks where its windows are. Opening nothing, it must end by
        # itself (a window would keep it running).
        p = self.start(arguments)
        if not places:
            self.assertEqual(self.wait_exit(p, label + ": the program to end by itself"), 0, label)
            return p, []
        found = self.wait_windows(len(places), p)
        self.assertEqual(sorted(w.place for w in found), sorted(places), label)
        return p, found

    def test_values_place_the_windows_and_the_pixels_show_the_image(self):
        # No image: the about window (the about journey; its pixels: the behaviour journey).
        half, small = self.image("half.png", 412, 163, "none", ORANGE), self.image("small.png", 100, 50, GREEN)
        p, found = self.opens('"%s" "%s" size0.5 left300 dontontop opacity50 dontloadeffect' % (windows_path(half), windows_path(small)),
                              [(20, 343, (206, 82)), (20, 371, (50, 25))], "size 0.5, left 300 twips")
        self.assertFalse(any(w.topmost for w in found), "dontontop")
        self.assertColour(self.screen("opacity-50")(170, 350), dimmed(ORANGE), "an opaque pixel at opacity 50")
        # Each kind of PNG's pixels: the decoder's own tests; levels of alpha (clear too) on the screen: the formats journey.
        self.close_all(p)

        # An animated GIF plays at its size, each frame for its own time (red 1 s, blue 2 s), three
        # times (the file's loop count is 2: ImageMagick stores -loop 3 so), then stays on blue.
        gif = os.path.join(self.scratch, "blink.gif")
        subprocess.run(["convert", "-size", "20x20", "-delay", "100", "xc:red", "-delay", "200", "xc:blue", "-loop", "3", gif], check=True)
        # Sampled from before it shows, so that every play is seen however slow the start.
        p, runs, start = self.start('"%s" left300 top300 size2 dontloadeffect' % windows_path(gif)), [], time.monotonic()
        while time.monotonic() - start < 30 and not (runs and runs[-1][0] == "blue" and runs[-1][2] - runs[-1][1] > 3):
            r, _, b = self.pixel_now(50, 50)
            colour, now = "red" if r > 128 else "blue" if b > 128 else None, time.monotonic()
            if colour:
                runs = runs + [[colour, now, now]] if not runs or runs[-1][0] != colour else runs[:-1] + [runs[-1][:2] + [now]]
        self.assertEqual([w.place for w in self.windows()], [(20, 20, (40, 40))], "a GIF")
        # A run lasted between the time it was seen and the time between its neighbours: taken midway, as a
        # busy machine samples seldom. The last lasts as long as it is watched.
        whole = [(c, (b - a + (runs[i + 1][1] - runs[i - 1][2] if i else b - a)) / 2) for i, (c, a, b) in enumerate(runs[:-1])]
        self.assertTrue(all(1.6 < t < 2.5 if colour == "blue" else t < 1.4 for colour, t in whole), runs)
        self.assertEqual(([c for c, _, _ in runs].count("red"), runs[-1][0]), (3, "blue"), "three plays, then blue stays: %s" % runs)
        self.close_all(p)

    def test_bad_images_and_values_end_cleanly(self):
        unreadable, logo = os.path.join(self.scratch, "notes.png"), self.image("logo.png", 60, 40)
        with open(unreadable, "w") as f:
            f.write("not an image")
        formats = [logo.replace(".png", "." + kind) for kind in ("jpg", "gif", "bmp", "tiff", "ico")]
        for path in formats:
            subprocess.run(["convert", logo, path], check=True)
        for label, arguments, places in (
                ("JPEG, GIF, BMP, TIFF and ICO open as PNG does", " ".join('"%s"' % windows_path(f) for f in formats) + " left300 top300",
                 [(20, 20, (60, 40))] * 5),
                ("an unreadable image opens nothing", '"%s"' % windows_path(unreadable), []),
                ("a value out of range opens nothing", '"%s" left40000' % windows_path(logo), []),
                # Words for every copy inside a missing path are none: the command line's own tests.
                ("a missing file: the about window whatever its words say", '"%s"' % windows_path(self.scratch + "/left150 x.png"), [ABOUT])):
            p, found = self.opens(arguments + " dontloadeffect", places, label)
            if found:
                self.close_all(p, label + ": the program to end")
