"""What reaches the screen: every kind of PNG at its own size shows its exact pixels, and
a scaled image shows what the area average (shrinking) and the tent between pixel
centres (enlarging) give. Without a compositing manager the screen holds a layered
window's premultiplied colours, so that is what is compared."""
import math
import os
import subprocess

from harness import VelvaneTestCase
from package import bag, blob, image_entries, int32, record

# ImageMagick options that turn one RGBA source into each kind of PNG.
KINDS = {
    "grey 1 bit": ["-colorspace", "Gray", "-threshold", "50%", "-define", "png:color-type=0", "-define", "png:bit-depth=1"],
    "grey 2 bit": ["-colorspace", "Gray", "-depth", "2", "-define", "png:color-type=0", "-define", "png:bit-depth=2"],
    "grey 4 bit": ["-colorspace", "Gray", "-depth", "4", "-define", "png:color-type=0", "-define", "png:bit-depth=4"],
    "grey 8 bit": ["-colorspace", "Gray", "-define", "png:color-type=0", "-define", "png:bit-depth=8"],
    "grey 16 bit": ["-colorspace", "Gray", "-depth", "16", "-define", "png:color-type=0", "-define", "png:bit-depth=16"],
    "grey+alpha": ["-colorspace", "Gray", "-define", "png:color-type=4", "-define", "png:bit-depth=8"],
    "grey+alpha 16 bit": ["-colorspace", "Gray", "-depth", "16", "-define", "png:color-type=4",
                          "-define", "png:bit-depth=16"],
    "RGB": ["-alpha", "off", "-define", "png:color-type=2", "-define", "png:bit-depth=8"],
    "RGB 16 bit": ["-alpha", "off", "-depth", "16", "-define", "png:color-type=2", "-define", "png:bit-depth=16"],
    "palette": ["-alpha", "off", "-colors", "16", "-define", "png:color-type=3"],
    "palette with transparency": ["-channel", "A", "-threshold", "50%", "+channel", "-colors", "16",
                                  "-define", "png:color-type=3"],
    "RGBA 16 bit": ["-depth", "16", "-define", "png:color-type=6", "-define", "png:bit-depth=16"],
    "RGBA interlaced": ["-interlace", "PNG", "-define", "png:color-type=6"],
}


def weight(source, target, i, j):
    """Share of source pixel j in output pixel i along one axis, in floating point."""
    scale = source / target
    if scale > 1:
        return max(0.0, min((i + 1) * scale, j + 1) - max(i * scale, j)) / scale
    x = min(max((i + 0.5) * scale - 0.5, 0.0), source - 1.0)
    return max(0.0, 1 - abs(x - j))


def scaled(pixels, width, height, out_width, out_height):
    """The reference scaler over premultiplied RGB: one axis, then the other."""
    def axis(n, m):
        return [[(j, w) for j in range(n) if (w := weight(n, m, i, j)) > 0] for i in range(m)]
    xs, ys = axis(width, out_width), axis(height, out_height)
    rows = [[tuple(sum(w * pixels[y][j][c] for j, w in xs[i]) for c in range(3)) for i in range(out_width)]
            for y in range(height)]
    return [[tuple(sum(w * rows[j][x][c] for j, w in ys[i]) for c in range(3)) for x in range(out_width)]
            for i in range(out_height)]


class PixelTest(VelvaneTestCase):
    def decoded(self, path, width, height):
        """The file's pixels as a decoder sees them, premultiplied: rows of (r, g, b)."""
        raw = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
        self.assertEqual(len(raw), width * height * 4, path)
        return [[tuple(raw[4 * (y * width + x) + c] * raw[4 * (y * width + x) + 3] / 255 for c in range(3))
                 for x in range(width)] for y in range(height)]

    def assertShows(self, shot, left, top, expected, tolerance, label):
        worst = max(abs(shot.pixel(left + x, top + y)[c] - round(value[c]))
                    for y, row in enumerate(expected) for x, value in enumerate(row) for c in range(3))
        self.assertLessEqual(worst, tolerance, "%s: off by %s levels" % (label, worst))

    def test_every_kind_of_png_and_scaled_images_show_the_right_pixels(self):
        source = self.image("source.png", 24, 16, lambda x, y: (x * 10, y * 15, 128, (255, 200, 90, 0)[x % 4]))
        photo = self.image("photo.png", 30, 22, lambda x, y: (
            int(127 + 120 * math.sin(x / 3.0)), (x * y * 7) % 256, 255 - 11 * y, 255 if (x + y) % 9 else 40))
        files = []
        for n, (kind, options) in enumerate(KINDS.items()):
            path = os.path.join(self.scratch, "kind%d.png" % n)
            subprocess.run(["convert", source, *options, path], check=True)
            files.append((kind, path, 1.0, (20 + (n % 5) * 60, 20 + (n // 5) * 40)))
        files += [("size 0.5", photo, 0.5, (400, 200)), ("size 2", photo, 2.0, (500, 200))]

        entries = [("Ras", int32(6))]
        for k, (_, path, size, (left, top)) in enumerate(files, 1):
            with open(path, "rb") as f:
                entries += [("Ras%d" % k, blob(f.read() + b"\0"))] + image_entries(k, top * 15, left * 15, size=size)
        p = self.start("dontloadeffect", program=self.self_contained_copy(record(bag(entries))))
        self.wait_for_windows(len(files), p.windows_pid)
        shot = self.screenshot("pixels")

        for kind, path, size, (left, top) in files:
            width, height = (24, 16) if path != photo else (30, 22)
            pixels = self.decoded(path, width, height)
            if size == 1.0:
                self.assertShows(shot, left, top, pixels, 1, kind)
            else:
                out = (round(width * size), round(height * size))
                self.assertShows(shot, left, top, scaled(pixels, width, height, *out), 2, kind)


if __name__ == "__main__":
    import unittest
    unittest.main()
