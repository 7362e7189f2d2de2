#!/usr/bin/env python3
"""Regenerates the program's built-in resources: the about image (412 x 163, 8-bit grey
with alpha), the icon (16, 32 and 48 px, 32-bit) and the pristine settings slot."""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
import png  # noqa: E402

# 5 x 7 glyphs: '#' is ink.
FONT = {
    "V": ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "c": [".....", ".....", ".###.", "#....", "#....", "#....", ".###."],
    "d": ["....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "g": [".....", ".####", "#...#", "#...#", ".####", "....#", ".###."],
    "h": ["#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#"],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "k": ["#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."],
    "l": [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "n": [".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "p": [".....", "####.", "#...#", "#...#", "####.", "#....", "#...."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "s": [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    "t": [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "w": [".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    ".": [".....", ".....", ".....", ".....", ".....", ".##..", ".##.."],
    "-": [".....", ".....", ".....", ".###.", ".....", ".....", "....."],
    ",": [".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."],
    " ": ["....."] * 7,
}


def text_width(text, cell):
    return len(text) * 6 * cell - cell


def draw_text(canvas, width, text, top, cell, value):
    """Ink drawn as cell x cell blocks, centred horizontally."""
    left = (width - text_width(text, cell)) // 2
    for n, ch in enumerate(text):
        glyph = FONT[ch]
        for gy, line in enumerate(glyph):
            for gx, mark in enumerate(line):
                if mark != "#":
                    continue
                x0, y0 = left + (n * 6 + gx) * cell, top + gy * cell
                for y in range(y0, y0 + cell):
                    for x in range(x0, x0 + cell):
                        canvas[y][x] = value


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
    w, h = 412, 163
    ink = [[None] * w for _ in range(h)]
    draw_text(ink, w, "Velvane", 26, 8, 255)
    draw_text(ink, w, "version 2.0", 98, 2, 225)
    draw_text(ink, w, "right-click an image, esc closes", 124, 2, 190)
    rows = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            cover = rounded_coverage(x, y, w, h, 26)
            shade = int(34 + 36 * (1 - y / h))  # a soft top-lit slate
            edge = rounded_coverage(x - 2, y - 2, w - 4, h - 4, 24)
            grey = shade if edge > 0.999 else 96  # a faint rim
            if ink[y][x] is not None:
                grey = ink[y][x]
            row += bytes((grey, int(round(238 * cover))))
        rows.append(bytes(row))
    return w, h, rows


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
