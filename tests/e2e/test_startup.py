# Starting Velvane: with values (which windows appear, where, and their pixels), and with
# unreadable images, odd values and damaged packages (what can be opened opens, else the
# about window; never a crash or a hang).
import os
import subprocess
import unittest

from harness import EXE, GREEN, ORANGE, ROOT, Journey, dimmed, windows_path
from package import bag, blob, double, image_entries, int16, int32, record, self_contained, single, text

ABOUT = (306, 302, (412, 163))


class StartupTest(Journey):
    def opens(self, arguments, places, label, program=EXE, close=True):
        # Starts the program and checks where its windows are; closes them and sees it end by itself.
        p = self.start(arguments, program=program)
        found = self.wait_windows(len(places), p) if places else []
        self.assertEqual(sorted(w.place for w in found), sorted(places), label)
        if close:
            self.close_all(p, label + ": the program to end")
        return p, found

    def copy_with(self, tail, name="Copy.exe"):
        # A copy of the program carrying tail (a package record) as a built one would.
        path = os.path.join(self.scratch, name)
        with open(EXE, "rb") as f, open(os.path.join(ROOT, "src", "resources", "slot.bin"), "rb") as slot, open(path, "wb") as out:
            out.write(self_contained(f.read(), slot.read(), tail))
        return path

    def test_values_place_the_windows_and_the_pixels_show_the_image(self):
        p, (about,) = self.opens("", [ABOUT], "no image: the about window, centred", close=False)
        pixel = self.screen("about-window")
        self.assertColour(pixel(307, 303), (0, 0, 0), "the about window's rounded corner")
        self.assertColour(pixel(326, 382), (46, 46, 46), "the about window's card", 12)
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
        self.assertTrue(os.path.exists(half), "the user's image must stay")

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

    def test_bad_images_values_and_packages_end_cleanly(self):
        unreadable, logo = os.path.join(self.scratch, "notes.png"), self.image("logo.png", 60, 40)
        with open(unreadable, "w") as f, open(logo, "rb") as image:
            png = f.write("not an image") and image.read() + b"\0"

        def package(*images, answer=int32(6), reference=text("Ras1.5Ras"), **kinds):
            entries = ([("Ras", answer)] if answer else []) + [("Ras1", blob(png))]
            for k, (top, left) in enumerate(images, 1):
                entries += ([("Ras%d" % k, reference)] if k > 1 else []) + image_entries(k, top, left)
            return record(bag([(n, kinds.get(n, v)) for n, v in entries]))

        temp_before, good = self.temp_files(), package((150, 300), (150, 3300))
        for n, (label, arguments, tail, places) in enumerate((
                ("an unreadable image opens nothing", '"%s"' % windows_path(unreadable), None, []),
                ("a value out of range opens nothing", '"%s" left40000' % windows_path(logo), None, []),
                ("a missing file: the about window whatever its words say", '"%s"' % windows_path(self.scratch + "/left150 x.png"), None, [ABOUT]),
                ("a sound package", "", good, [(20, 10, (60, 40)), (220, 10, (60, 40))]),
                ("values of other kinds, read by value", "", package((0, 300), Ras=text(" 6 "), top1=double(150), opacity1=int32(100),
                                                                 dontontop1=int16(-1), size1=single(2.0)), [(20, 10, (120, 80))]),
                ("No to the settings: centred, at size 1", "", package((150, 300), (150, 3300), answer=int32(7)), [(482, 364, (60, 40))] * 2),
                ("command-line images ignored, about applies", '"%s" about left900' % windows_path(logo), package((150, 300)),
                 [(20, 10, (60, 40)), ABOUT]),
                ("a top beyond 16 bits ends the list there", "", package((150, 300), (33000, 0), (150, 600)), [(20, 10, (60, 40))]),
                ("a reference to no image ends the list there", "", package((150, 300), (150, 3300), reference=text("Ras9Ras")),
                 [(20, 10, (60, 40))]),
                ("truncated", "", good[:-10], [ABOUT]), ("length past the end", "", good[:4] + b"\xff\xff\xff\x7f" + good[8:], [ABOUT]),
                ("the answer as a word", "", package((150, 300), answer=text("six")), [ABOUT]),
                ("no answer", "", package((150, 300), answer=None), [ABOUT]), ("nothing", "", b"", [ABOUT]))):
            self.opens(arguments + " dontloadeffect", places, label, EXE if tail is None else self.copy_with(tail, "copy%d.exe" % n))
        self.assertEqual(self.temp_files() - temp_before, set(), "temporary images left behind")


if __name__ == "__main__":
    unittest.main()
