#!/usr/bin/env python3
# Takes the README's screenshots (docs/*.png) of the real program under Wine and Xvfb; run
# through scripts/screenshots.sh. Without a compositing manager X shows a layered window's
# premultiplied pixels over nothing, and Wine here draws layered windows into plain X windows
# that a compositor cannot blend; so this script does the compositor's one step itself: each
# window's pixels, as the program drew them, over what lies beneath, by the alpha of its image
# and opacity. Menus are ordinary windows and are taken as they are.
import os
import subprocess
import sys
import tempfile
import time

BUILD, OUT = sys.argv[1], sys.argv[2]
WINE, TOOL, EXE = os.environ["VELVANE_WINE"], os.path.join(BUILD, "tests", "e2e", "wintool.exe"), os.path.join(BUILD, "Velvane.exe")
W, H = 1024, 768
work = tempfile.mkdtemp(prefix="velvane-shots-")


def magick(*args, data=None):
    return subprocess.run(["convert", *map(str, args)], input=data, capture_output=True, check=True).stdout


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def windows(cls="Velvane.FrmLogo"):
    with tempfile.TemporaryFile() as out:  # a file, not a pipe: Wine's services would hold a pipe open
        subprocess.run([WINE, TOOL, "list", cls], stdout=out, stderr=subprocess.DEVNULL)
        out.seek(0)
        return [list(map(int, line.split())) for line in out.read().decode().splitlines() if line.strip()]


def start(arguments, count):
    env = dict(os.environ, VELVANE_CMDLINE='"%s" %s' % (windows_path(EXE), arguments))
    subprocess.Popen([WINE, TOOL, "launch"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        if len([w for w in windows() if w[6]]) >= count:
            return time.sleep(1)
        time.sleep(0.2)
    sys.exit("[screenshots] the program did not show its windows")


def screen():
    return bytearray(magick("xwd:-", "-depth", "8", "rgb:-", data=subprocess.run(["xwd", "-root", "-silent"], capture_output=True).stdout))


def alpha_of(png, opacity_alpha=255):
    return [a * opacity_alpha // 255 for a in magick(png, "-alpha", "extract", "-depth", "8", "gray:-")]


def over(result, shot, left, top, width, height, alpha):
    # What a compositor shows: the window's premultiplied pixel plus what lies beneath it, by 1 - alpha.
    for y in range(height):
        for x in range(width):
            a, i = alpha[y * width + x], 3 * ((top + y) * W + left + x)
            if a:
                result[i:i + 3] = bytes(min(255, shot[i + c] + result[i + c] * (255 - a) // 255) for c in range(3))


def save(pixels, name, crop):
    magick("-size", "%dx%d" % (W, H), "-depth", "8", "rgb:-", "-crop", crop, "+repage", os.path.join(OUT, name), data=bytes(pixels))
    print("[screenshots] docs/%s" % name)


desktop = bytearray(magick("-size", "%dx%d" % (W, H), "gradient:#7d9fc0-#34506e", "-depth", "8", "rgb:-"))
photo, badge = os.path.join(work, "photo.png"), os.path.join(work, "badge.png")
magick("-seed", "7", "-size", "300x200", "plasma:tan-steelblue", "-blur", "0x2", photo)
magick("-size", "220x220", "xc:none", "-fill", "#c8562a", "-draw", "circle 110,110 110,4", "-fill", "white", "-font",
       "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", "-pointsize", "34", "-gravity", "center", "-annotate", "+0+0",
       "Velvane", "PNG32:" + badge)

start("", 1)  # the about window
shot = screen()
result = bytearray(desktop)
over(result, shot, 306, 302, 412, 163, alpha_of(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "resources", "about.png")))
save(result, "about.png", "472x223+276+272")
subprocess.run([WINE, TOOL, "close", str(windows()[0][0])])
time.sleep(1)

start('"%s" left3000 top2400 dontloadeffect' % windows_path(photo), 1)
photo_shot = screen()
start('"%s" left5700 top3600 opacity50 dontloadeffect' % windows_path(badge), 2)
badge_shot = screen()
result = bytearray(desktop)
over(result, photo_shot, 200, 160, 300, 200, alpha_of(photo))
over(result, badge_shot, 380, 240, 220, 220, alpha_of(badge, 127))
save(result, "two-images.png", "460x360+170+130")

subprocess.run(["xdotool", "mousemove", "520", "330", "sleep", "0.3", "click", "3", "sleep", "1", "key", "--delay", "200", "Down", "Down", "Down", "Right"])
time.sleep(1)
menu_shot = screen()
for _, _, left, top, right, bottom, visible, *_ in windows("#32768"):
    for y in range(top, bottom) if visible else []:
        result[3 * (y * W + left):3 * (y * W + right)] = menu_shot[3 * (y * W + left):3 * (y * W + right)]
save(result, "menu.png", "620x445+170+130")
subprocess.run(["xdotool", "key", "Escape", "Escape"])
for w in windows():
    subprocess.run([WINE, TOOL, "close", str(w[0])])
