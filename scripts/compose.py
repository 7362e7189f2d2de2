#!/usr/bin/env python3
# Pictures of the real program under Wine and Xvfb as Windows shows it. Without a compositing
# manager X shows a layered window's premultiplied pixels over nothing, and Wine here draws
# layered windows into plain X windows that a compositor cannot blend; so this does the
# compositor's one step itself: each window's pixels, as the program drew them, over what
# lies beneath, by the alpha of its image and opacity. Used by screenshots.py, and by run.sh:
#   compose.py BUILD OUT.png [--opacity N] [IMAGE...]
# waits for the program's windows, then writes the desktop with them, each blended by the
# alpha of the image it shows (the about image, or the given image of its proportions).
import os
import re
import subprocess
import sys
import tempfile
import time

W, H = 1024, 768
HERE = os.path.dirname(os.path.abspath(__file__))
ABOUT_PNG = os.path.join(HERE, "..", "src", "resources", "about.png")
DESKTOP = "gradient:#7d9fc0-#34506e"  # what run.sh and the README's pictures lie on
ABOUT = (306, 290, 412, 187)  # the about window's left, top, width and height: its picture and the line beneath


def magick(*args, data=None):
    return subprocess.run(["convert", *map(str, args)], input=data, capture_output=True, check=True).stdout


def windows(tool, cls="Velvane.FrmLogo"):
    # hwnd pid left top right bottom visible ..., front first
    with tempfile.TemporaryFile() as out:  # a file, not a pipe: Wine's services would hold a pipe open
        subprocess.run([os.environ["VELVANE_WINE"], tool, "list", cls], stdout=out, stderr=subprocess.DEVNULL)
        out.seek(0)
        # Eleven numbers, then the class.
        return [list(map(int, line.split()[:11])) for line in out.read().decode().splitlines() if line.strip()]


def screen():
    return bytearray(magick("xwd:-", "-depth", "8", "rgb:-", data=subprocess.run(["xwd", "-root", "-silent"], capture_output=True).stdout))


def desktop():
    return bytearray(magick("-size", "%dx%d" % (W, H), DESKTOP, "-depth", "8", "rgb:-"))


def alpha_of(png, opacity_alpha=255, size=None):
    resize = ["-resize", "%dx%d!" % size] if size else []
    return [a * opacity_alpha // 255 for a in magick(png, "-alpha", "extract", *resize, "-depth", "8", "gray:-")]


def about_alpha(shot):
    # The picture's own alpha, then the line's band (drawn at alpha 230) wherever X shows anything of it.
    left, top, width, height = ABOUT
    picture = alpha_of(ABOUT_PNG)
    return picture + [230 if any(shot[3 * ((top + y) * W + left + x) + c] for c in range(3)) else 0
                      for y in range(len(picture) // width, height) for x in range(width)]


def over(result, shot, left, top, width, height, alpha):
    # What a compositor shows: the window's premultiplied pixel plus what lies beneath it, by 1 - alpha.
    for y in range(max(0, -top), min(height, H - top)):
        for x in range(max(0, -left), min(width, W - left)):
            a, i = alpha[y * width + x], 3 * ((top + y) * W + left + x)
            if a:
                result[i:i + 3] = bytes(min(255, shot[i + c] + result[i + c] * (255 - a) // 255) for c in range(3))


def save(pixels, path, crop=None):
    magick("-size", "%dx%d" % (W, H), "-depth", "8", "rgb:-", *(["-crop", crop, "+repage"] if crop else []), path, data=bytes(pixels))


def compose_shown(tool, out, images, opacity=100):
    # The visible windows, back to front, each over what lies beneath.
    for _ in range(100):
        shown = [w for w in windows(tool) if w[6]]
        if shown:
            break
        time.sleep(0.2)
    time.sleep(1.5)  # any fade-in ends
    shot, result = screen(), desktop()
    sizes = {p: tuple(map(int, magick(p, "-format", "%w %h", "info:").split())) for p in images}
    for _, _, left, top, right, bottom, visible, *_ in reversed(windows(tool)):
        width, height = right - left, bottom - top
        if not visible or width <= 0 or height <= 0:
            continue
        if (left, top, width, height) == ABOUT:
            alpha = about_alpha(shot)
        elif images:
            png = min(images, key=lambda p: abs(sizes[p][0] / sizes[p][1] - width / height))
            alpha = alpha_of(png, opacity * 255 // 100, (width, height))
        else:  # an image known only to the program: its pixels as X shows them
            alpha = [255] * (width * height)
        over(result, shot, left, top, width, height, alpha)
    save(result, out)


if __name__ == "__main__":
    build, out, rest = sys.argv[1], sys.argv[2], sys.argv[3:]
    opacity = 100
    if rest[:1] == ["--opacity"]:
        opacity, rest = min(100, int(rest[1])), rest[2:]
    compose_shown(os.path.join(build, "tests", "e2e", "wintool.exe"), out, rest, opacity)
