#!/usr/bin/env python3
"""Regenerates the program's built-in resources: the about image (412 x 163, 8-bit grey
with alpha), the icon (16, 32 and 48 px, 32-bit) and the pristine settings slot."""
import math
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
import png  # noqa: E402

# The about card's texts, set in DejaVu Sans (Debian's fonts-dejavu-core) by ImageMagick:
# (text, bold, point size, top edge, grey of the ink).
FONTS = "/usr/share/fonts/truetype/dejavu/"
TEXTS = [("Velvane", True, 50, 14, 255), ("version 2.0", False, 15, 94, 225),
         ("right-click an image, esc closes", False, 13, 120, 190)]


def set_texts(grey, w, h):
    """The card's grey rows with the texts drawn on them, anti-aliased, centred across."""
    command = ["convert", "-size", "%dx%d" % (w, h), "-depth", "8", "gray:-", "-gravity", "north"]
    for text, bold, points, top, ink in TEXTS:
        font = FONTS + ("DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf")
        command += ["-font", font, "-pointsize", str(points), "-fill", "rgb(%d,%d,%d)" % (ink, ink, ink),
                    "-annotate", "+0+%d" % top, text]
    out = subprocess.run(command + ["-depth", "8", "gray:-"], input=bytes(grey), capture_output=True, check=True).stdout
    assert len(out) == w * h, "ImageMagick gave no %d x %d grey image" % (w, h)
    return out


def rounded_coverage(x, y, w, h, r):
    """Fraction of pixel (x, y) inside a w x h rectangle with corner radius r (4x4 samples)."""
    inside = 0
    for sy in range(4):
        for sx in range(4):
            px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
            cx = min(max(px, r), w - r)
            cy = min(max(py, r), h - r)
            if (px - cx) ** 2 + (py - cy) ** 2 <= r * r:
                inside += 1
    return inside / 16


def about_image():
    """A top-lit slate card with a faint rim; its edge fades out over a few pixels of alpha."""
    w, h, r, soft = 412, 163, 26, 2.5
    grey, alpha = bytearray(), bytearray()
    for y in range(h):
        for x in range(w):
            px, py = x + 0.5, y + 0.5
            inside = r - math.hypot(px - min(max(px, r), w - r), py - min(max(py, r), h - r))
            grey.append(96 if inside < 3 else int(34 + 36 * (1 - y / h)))
            alpha.append(int(round(238 * min(1.0, max(0.0, inside / soft)))))
    grey = set_texts(grey, w, h)
    return w, h, [bytes(b for x in range(w) for b in (grey[y * w + x], alpha[y * w + x])) for y in range(h)]


def icon(size):
    """A teal rounded square with a white V."""
    rows = []
    r = size * 0.22
    for y in range(size):
        row = bytearray()
        for x in range(size):
            cover = rounded_coverage(x, y, size, size, r)
            u, v = (x + 0.5) / size, (y + 0.5) / size
            # distance to the two strokes of the V
            stroke = size * 0.11
            ax, ay, bx, by, cx, cy = 0.24, 0.24, 0.5, 0.78, 0.76, 0.24
            def seg(px, py, x0, y0, x1, y1):
                dx, dy = x1 - x0, y1 - y0
                t = max(0, min(1, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy)))
                return math.hypot(px - x0 - t * dx, py - y0 - t * dy) * size
            dist = min(seg(u, v, ax, ay, bx, by), seg(u, v, cx, cy, bx, by))
            white = max(0.0, min(1.0, stroke / 2 + 0.5 - dist))
            base = (18, 128, 130)
            rgb = [int(round(c * (1 - white) + 255 * white)) for c in base]
            row += bytes((*rgb, int(round(255 * cover))))
        rows.append(bytes(row))
    return rows


def main(out_dir):
    w, h, rows = about_image()
    png.write_png(os.path.join(out_dir, "about.png"), w, h, rows, colour_type=4)
    with open(os.path.join(out_dir, "velvane.ico"), "wb") as f:
        f.write(png.ico_bytes([(s, icon(s)) for s in (16, 32, 48)]))
    # The settings slot as built: nothing recorded in the nine bytes at offset 11.
    slot = b"\x07" * 8 + b"QZ" + b"\x07" + b"\x07" * 9 + b"\x07" * 7 + b"QZ"
    assert len(slot) == 29
    with open(os.path.join(out_dir, "slot.bin"), "wb") as f:
        f.write(slot)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else HERE)
