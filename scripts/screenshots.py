#!/usr/bin/env python3
# Takes the README's screenshots (docs/*.png) of the real program under Wine and Xvfb; run
# through scripts/screenshots.sh. Each window is laid over the desktop as Windows would
# (compose.py); menus are ordinary windows and are taken as they are.
import os
import subprocess
import sys
import tempfile
import time

from compose import ABOUT, W, about_alpha, alpha_of, desktop, magick, over, save, screen, windows

BUILD, OUT = sys.argv[1], sys.argv[2]
WINE, TOOL, EXE = os.environ["VELVANE_WINE"], os.path.join(BUILD, "tests", "e2e", "wintool.exe"), os.path.join(BUILD, "Velvane.exe")
work = tempfile.mkdtemp(prefix="velvane-shots-")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def start(arguments, count):
    env = dict(os.environ, VELVANE_CMDLINE='"%s" %s' % (windows_path(EXE), arguments))
    subprocess.Popen([WINE, TOOL, "launch"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        if len([w for w in windows(TOOL) if w[6]]) >= count:
            return time.sleep(1)
        time.sleep(0.2)
    sys.exit("[screenshots] the program did not show its windows")


photo, badge = os.path.join(work, "photo.png"), os.path.join(work, "badge.png")
magick("-seed", "7", "-size", "300x200", "plasma:tan-steelblue", "-blur", "0x2", photo)
magick("-size", "220x220", "xc:none", "-fill", "#c8562a", "-draw", "circle 110,110 110,4", "-fill", "white", "-font",
       "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", "-pointsize", "34", "-gravity", "center", "-annotate", "+0+0",
       "Velvane", "PNG32:" + badge)

start("", 1)  # the about window
shot = screen()
result = desktop()
over(result, shot, *ABOUT, about_alpha(shot))
save(result, os.path.join(OUT, "about.png"), "%dx%d+%d+%d" % (ABOUT[2] + 60, ABOUT[3] + 60, ABOUT[0] - 30, ABOUT[1] - 30))
subprocess.run([WINE, TOOL, "close", str(windows(TOOL)[0][0])])
time.sleep(1)

start('"%s" left3000 top2400 dontloadeffect' % windows_path(photo), 1)
photo_shot = screen()
start('"%s" left5700 top3600 opacity50 dontloadeffect' % windows_path(badge), 2)
badge_shot = screen()
result = desktop()
over(result, photo_shot, 200, 160, 300, 200, alpha_of(photo))
over(result, badge_shot, 380, 240, 220, 220, alpha_of(badge, 127))
save(result, os.path.join(OUT, "two-images.png"), "460x360+170+130")

subprocess.run(["xdotool", "mousemove", "520", "330", "sleep", "0.3", "click", "3", "sleep", "1", "key", "--delay", "200", "Down", "Down", "Down", "Right"])
time.sleep(1)
menu_shot, lowest = screen(), 575
for _, _, left, top, right, bottom, visible, *_ in windows(TOOL, "#32768"):
    for y in range(top, bottom) if visible else []:
        result[3 * (y * W + left):3 * (y * W + right)] = menu_shot[3 * (y * W + left):3 * (y * W + right)]
    lowest = max(lowest, bottom + 15 if visible else 0)
save(result, os.path.join(OUT, "menu.png"), "620x%d+170+130" % (lowest - 130))
subprocess.run(["xdotool", "key", "Escape", "Escape"])
for w in windows(TOOL):
    subprocess.run([WINE, TOOL, "close", str(w[0])])

# Pin from Screen: a selection in progress over a picture another program (feh) shows on the desktop.
background = os.path.join(work, "desktop.png")
save(desktop(), background)
subprocess.run(["feh", "--bg-center", background])
feh = subprocess.Popen(["feh", "--borderless", "--geometry", "300x200+260+220", photo], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(1.5)
start("tray", 0)
start("capture", 0)
subprocess.run(["xdotool", "mousemove", "330", "260", "sleep", "0.3", "mousedown", "1", "mousemove", "400", "300", "sleep", "0.3",
                "mousemove", "489", "369", "sleep", "1"])
save(screen(), os.path.join(OUT, "pin-from-screen.png"), "460x300+170+150")
subprocess.run(["xdotool", "key", "Escape", "sleep", "0.5", "mouseup", "1"])
feh.kill()

