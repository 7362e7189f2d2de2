"""Starting Velvane with values: which windows appear, where, and their pixels."""
import os
import subprocess
import unittest

from harness import GREEN, ORANGE, Journey, dimmed, windows_path
from package import bag, blob, image_entries, int32, record

# ImageMagick options that turn one RGBA source into each kind of PNG: grey, grey+alpha, RGB, palette, RGBA.
KINDS = [["-colorspace", "Gray", "-threshold", "50%", "-define", "png:color-type=0", "-define", "png:bit-depth=1"]]
KINDS += [["-colorspace", "Gray", "-depth", str(d), "-define", "png:color-type=%d" % t, "-define", "png:bit-depth=%d" % d]
          for t, depths in ((0, (2, 4, 8, 16)), (4, (8, 16))) for d in depths]
KINDS += [["-alpha", "off", "-depth", str(d), "-define", "png:color-type=2", "-define", "png:bit-depth=%d" % d] for d in (8, 16)]
KINDS += [["-alpha", "off", "-colors", "16", "-define", "png:color-type=3"], ["-interlace", "PNG", "-define", "png:color-type=6"],
          ["-channel", "A", "-threshold", "50%", "+channel", "-colors", "16", "-define", "png:color-type=3"],
          ["-depth", "16", "-define", "png:color-type=6", "-define", "png:bit-depth=16"]]


def weight(source, target, i, j):
    """Share of source pixel j in output pixel i: the area average shrinking, the tent between centres enlarging."""
    scale = source / target
    if scale > 1:
        return max(0.0, min((i + 1) * scale, j + 1) - max(i * scale, j)) / scale
    return max(0.0, 1 - abs(min(max((i + 0.5) * scale - 0.5, 0.0), source - 1.0) - j))


def scaled(pixels, factor):
    height, width = len(pixels), len(pixels[0])
    xs = [[weight(width, round(width * factor), i, j) for j in range(width)] for i in range(round(width * factor))]
    ys = [[weight(height, round(height * factor), i, j) for j in range(height)] for i in range(round(height * factor))]
    rows = [[[sum(w * row[j][c] for j, w in enumerate(wx)) for c in range(3)] for wx in xs] for row in pixels]
    return [[[sum(w * rows[j][x][c] for j, w in enumerate(wy)) for c in range(3)] for x in range(len(xs))] for wy in ys]


def decoded(path):
    """The file's pixels as ImageMagick decodes them, premultiplied as X shows a layered window: rows of [r, g, b]."""
    width, height = map(int, subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True).stdout.split())
    raw = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
    return [[[raw[4 * (y * width + x) + c] * raw[4 * (y * width + x) + 3] / 255 for c in range(3)] for x in range(width)]
            for y in range(height)]


class StartupTest(Journey):
    def close_every_window(self, process):
        for w in self.windows():
            self.tool("close", w.hwnd)
        self.assertEqual(self.wait_exit(process, "closing the last window to end the program"), 0)

    def test_values_place_the_windows_and_the_pixels_show_the_image(self):
        p = self.start("")
        (about,) = self.wait_windows(1, p)
        self.assertEqual((about.place, about.topmost), ((306, 302, (412, 163)), True), "no image: the about window, centred")
        pixel = self.screen("about-window")
        self.assertColour(pixel(307, 303), (0, 0, 0), "the about window's rounded corner")
        self.assertColour(pixel(326, 382), (46, 46, 46), "the about window's card", 12)
        self.close_every_window(p)

        half, small = self.image("half.png", 412, 163, "none", ORANGE), self.image("small.png", 100, 50, GREEN)
        p = self.start('"%s" "%s" size0.5 left300 dontontop opacity50 dontloadeffect' % (windows_path(half), windows_path(small)))
        found = self.wait_windows(2, p)
        self.assertEqual(sorted(w.place for w in found), [(20, 343, (206, 82)), (20, 371, (50, 25))], "size 0.5, left 300 twips")
        self.assertFalse(any(w.topmost for w in found), "dontontop")
        pixel = self.screen("opacity-50")
        self.assertColour(pixel(170, 350), dimmed(ORANGE), "an opaque pixel at opacity 50")
        self.assertColour(pixel(100, 345), (0, 0, 0), "a transparent pixel")
        self.close_every_window(p)
        self.assertTrue(os.path.exists(half), "the user's image must stay")

        source, photo = os.path.join(self.scratch, "source.png"), os.path.join(self.scratch, "photo.png")
        subprocess.run(["convert", "-size", "24x16", "gradient:yellow-blue", "-alpha", "set", "-channel", "A", "-fx",
                        "(i%4==0)+(i%4==1)*0.78+(i%4==2)*0.35", "+channel", "PNG32:" + source], check=True)
        subprocess.run(["convert", "-seed", "4", "-size", "30x22", "plasma:fractal", "-alpha", "set", "-channel", "A",
                        "-fx", "(i+j)%9?1:0.16", "+channel", "PNG32:" + photo], check=True)
        files = [(os.path.join(self.scratch, "kind%d.png" % n), 1, (20 + n % 5 * 60, 20 + n // 5 * 40)) for n in range(len(KINDS))]
        for (path, _, _), options in zip(files, KINDS):
            subprocess.run(["convert", source, *options, path], check=True)
        files += [(photo, 0.5, (400, 200)), (photo, 2, (500, 200))]
        entries = [("Ras", int32(6))]
        for k, (path, size, (left, top)) in enumerate(files, 1):
            with open(path, "rb") as f:
                entries += [("Ras%d" % k, blob(f.read() + b"\0"))] + image_entries(k, top * 15, left * 15, size=size)
        p = self.start("dontloadeffect", program=self.copy_with(record(bag(entries))))
        self.wait_windows(len(files), p)
        pixel = self.screen("pixels")
        for path, size, (left, top) in files:
            expected = scaled(decoded(path), size) if size != 1 else decoded(path)
            worst = max(abs(pixel(left + x, top + y)[c] - round(v[c])) for y, row in enumerate(expected) for x, v in enumerate(row) for c in range(3))
            self.assertLessEqual(worst, 1 if size == 1 else 2, "%s at size %s: off by %d levels" % (path, size, worst))


if __name__ == "__main__":
    unittest.main()
