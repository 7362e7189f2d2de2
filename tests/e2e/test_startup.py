# Starting Velvane: with values (which windows appear, where, and their pixels), and with
# unreadable images and odd values (what can be opened opens, else the about window; never a
# crash or a hang). What packages open is tested in-process; a damaged copy in the copies journey.
import os
import subprocess
import time

from harness import ABOUT, GREEN, ORANGE, Journey, dimmed, windows_path


class StartupTest(Journey):
    def opens(self, arguments, places, label, close=True):
        # Starts the program and checks where its windows are; closes them and sees it end by itself.
        # Opening nothing, it must end by itself (a window would keep it running).
        p = self.start(arguments)
        if not places:
            self.assertEqual(self.wait_exit(p, label + ": the program to end by itself"), 0, label)
            return p, []
        found = self.wait_windows(len(places), p)
        self.assertEqual(sorted(w.place for w in found), sorted(places), label)
        if close:
            self.close_all(p, label + ": the program to end")
        return p, found

    def test_values_place_the_windows_and_the_pixels_show_the_image(self):
        p, (about,) = self.opens("", [ABOUT], "no image: the about window, centred", close=False)
        pixel = self.screen("about-window")
        self.assertColour(pixel(ABOUT[0] + 1, ABOUT[1] + 1), (0, 0, 0), "the about window's rounded corner")
        self.assertColour(pixel(ABOUT[0] + 20, ABOUT[1] + 80), (46, 46, 46), "the about window's card", 12)
        self.assertTrue(about.topmost)
        self.close_all(p)
        half, small = self.image("half.png", 412, 163, "none", ORANGE), self.image("small.png", 100, 50, GREEN)
        p, found = self.opens('"%s" "%s" size0.5 left300 dontontop opacity50 dontloadeffect' % (windows_path(half), windows_path(small)),
                              [(20, 343, (206, 82)), (20, 371, (50, 25))], "size 0.5, left 300 twips", close=False)
        self.assertFalse(any(w.topmost for w in found), "dontontop")
        pixel = self.screen("opacity-50")
        self.assertColour(pixel(170, 350), dimmed(ORANGE), "an opaque pixel at opacity 50")
        self.assertColour(pixel(100, 345), (0, 0, 0), "a transparent pixel")
        self.close_all(p)

        # Every kind of PNG reaches this program through the one decoder call: colours and alpha levels here.
        source = os.path.join(self.scratch, "source.png")
        subprocess.run(["convert", "-size", "24x16", "gradient:yellow-blue", "-alpha", "set", "-channel", "A", "-fx",
                        "(i%4==0)+(i%4==1)*0.78+(i%4==2)*0.35", "+channel", "PNG32:" + source], check=True)
        self.opens('"%s" left300 top300 dontloadeffect' % windows_path(source), [(20, 20, (24, 16))], "the pixels", close=False)
        pixel = self.screen("pixels")  # scaled pixels: the resampler's own tests, and the Ctrl+C copy in another journey
        raw = subprocess.run(["convert", source, "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
        # ImageMagick's decode, premultiplied as X shows a layered window
        worst = max(abs(pixel(20 + i // 4 % 24, 20 + i // 96)[i % 4] - round(raw[i] * raw[i | 3] / 255)) for i in range(len(raw)) if i % 4 < 3)
        self.assertLessEqual(worst, 1, "the image's pixels off by %d levels" % worst)
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
                ("the same image in range opens", '"%s" left300' % windows_path(logo), [(20, 364, (60, 40))]),
                ("a missing file: the about window whatever its words say", '"%s"' % windows_path(self.scratch + "/left150 x.png"), [ABOUT]),
                ("missing files whose paths hold the words for every copy: the about window",
                 " ".join('"%s"' % windows_path(self.scratch + p) for p in ("/slideshow/x.png", "/hideout/y.png", "/restored/z.png")), [ABOUT])):
            self.opens(arguments + " dontloadeffect", places, label)
