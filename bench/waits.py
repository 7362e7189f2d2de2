#!/usr/bin/env python3
"""Where a user waits on Velvane, under Wine on a 1920 x 1080 display, against yardsticks of the
same run; run through scripts/bench.sh (a benchmark, not a test).

  capture -> shown     from Ctrl+Alt+P, and from "Velvane.exe capture" (a resident copy running),
                       until the selecting window is mapped, against a bare Win32 program's
                       screen-sized window
  release -> pin       from the button's release that ends a 120 x 80 selection until the pin
                       is mapped: the first capture of a fresh resident copy, then three more
  40 pins              40 different 800 x 600 PNGs opened by one command line (dontloadeffect),
                       against the same 40 brought back by "restore" after a kill: until the
                       first and the last window is mapped, and the copy's peak memory
  animation            a 500 x 500 GIF of 10 frames at 100 ms: CPU over 10 s once its frames
                       are kept; ten still windows: CPU over 10 s
Every time is taken by bench/native/xwait from the X server's side."""
import os
import statistics
import subprocess
import sys
import tempfile
import time

from run import cpu_seconds  # run.py takes the same two arguments

RUNS = int(os.environ.get("BENCH_RUNS", "5"))
WINE = os.environ.get("VELVANE_WINE", "wine")
BUILD, NATIVE = sys.argv[1], sys.argv[2]
LAUNCH = os.path.join(BUILD, "tests", "e2e", "wintool.exe")


def windows_path(p):
    return "Z:" + os.path.abspath(p).replace("/", "\\")


def env_for(arguments, program=None):
    exe = windows_path(program or os.path.join(BUILD, "Velvane.exe"))
    return dict(os.environ, VELVANE_CMDLINE='"%s" %s' % (exe, arguments))


def xwait(*args, env=None):
    out = subprocess.run([os.path.join(NATIVE, "xwait"), *map(str, args)], env=env, capture_output=True, text=True, timeout=180).stdout
    return [float(v) for v in out.split()]


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def velvane(*arguments):
    subprocess.run([WINE, os.path.join(BUILD, "Velvane.exe"), *arguments], capture_output=True, timeout=60)


def pids():
    found = []
    for pid in subprocess.run(["pgrep", "-f", "Velvane.exe"], capture_output=True, text=True).stdout.split():
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if b"Velvane.exe" in f.read():
                    found.append(pid)
        except OSError:
            pass
    return found


def status(pid, field):
    with open("/proc/%s/status" % pid) as f:
        return next(int(line.split()[1]) for line in f if line.startswith(field)) / 1024



def launch(arguments):
    return subprocess.Popen([WINE, LAUNCH, "launch"], env=env_for(arguments), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def captures(folder):
    resident = launch("tray")
    time.sleep(4)
    # A pin of another copy has the keyboard: Wine passes a global key on only to a program of its own.
    still = os.path.join(folder, "focus.png")
    plasma(still, 200, 100, 2)
    launch('"%s" dontloadeffect left0 top0' % windows_path(still))
    time.sleep(3)
    shown, key, bare, release = [], [], [], []
    for run in range(RUNS + 3):
        xdotool("mousemove", 100, 50, "click", 1)
        time.sleep(0.5)
        key.append(xwait("-m", 1000, "-k", "Control_L", "Alt_L", "p")[0])
        time.sleep(0.5)
        # A right click cancels: Esc goes to the window that has the X focus, the other copy's pin.
        xdotool("click", 3)
        time.sleep(2.5)
        # The selecting window, started as a user's command line would; then a 120 x 80 drag.
        shown.append(xwait("-m", 1000, "--", WINE, LAUNCH, "launch", env=env_for("capture"))[0])
        time.sleep(0.5)
        xdotool("mousemove", 500, 400, "mousedown", 1, "mousemove", 560, 440, "mousemove", 619, 479)
        time.sleep(0.3)
        release.append(xwait("-s", "120x80", "-r")[0])
        time.sleep(2.5)  # the selecting window gone, whatever it takes
        bare.append(xwait("-m", 1000, "--", WINE, LAUNCH, "launch", env=env_for("", os.path.join(BUILD, "bench", "barewindow.exe")))[0])
        time.sleep(1.5)
    velvane("closeall")
    subprocess.run([WINE, "taskkill", "/f", "/im", "Velvane.exe"], capture_output=True)
    resident.kill()
    return statistics.median(key), statistics.median(shown), statistics.median(bare), release[0], statistics.median(release[1:4]), release[1:4]


def plasma(path, width, height, seed):
    subprocess.run(["convert", "-seed", str(seed), "-size", "%dx%d" % (width, height), "plasma:fractal", "PNG32:" + path], check=True)


def forty(folder):
    files = []
    for k in range(40):
        files.append(os.path.join(folder, "p%02d.png" % k))
        plasma(files[-1], 800, 600, k)
    words = " ".join('"%s"' % windows_path(f) for f in files)
    opened, restored = [], []
    opened_peak, restored_peak = [], []
    for _ in range(max(1, RUNS // 2)):
        opened.append(xwait("-n", 40, "-s", "800x600", "--", WINE, LAUNCH, "launch", env=env_for(words + " dontloadeffect")))
        (pid,) = pids()
        opened_peak.append(status(pid, "VmHWM"))
        time.sleep(2)  # its set written
        subprocess.run(["kill", "-9", pid])
        time.sleep(2)
        restored.append(xwait("-n", 40, "-s", "800x600", "--", WINE, LAUNCH, "launch", env=env_for("restore")))
        (pid,) = pids()
        restored_peak.append(status(pid, "VmHWM"))
        velvane("closeall")
        time.sleep(2)
        # What this round left in Closed\ is not the next round's to restore.
        subprocess.run([WINE, "cmd", "/c", "rmdir", "/s", "/q", "%LOCALAPPDATA%\\Velvane"], capture_output=True)
    first = lambda runs, i: statistics.median(r[i] for r in runs)  # noqa: E731
    return (first(opened, 0), first(opened, 1), statistics.median(opened_peak),
            first(restored, 0), first(restored, 1), statistics.median(restored_peak))


def animation(folder):
    gif = os.path.join(folder, "ten.gif")
    frames = ["xc:hsl(%d,80%%,50%%)" % (i * 36) for i in range(10)]
    subprocess.run(["convert", "-size", "500x500", *frames, "-fill", "white", "-draw", "circle 250,250 250,100", "-delay", "10",
                    "-loop", "0", gif], check=True)
    copy = launch('"%s" dontloadeffect' % windows_path(gif))
    time.sleep(4)  # every frame drawn once, and kept
    playing = cpu_seconds(pids(), 10)
    velvane("closeall")
    copy.wait(timeout=30)
    still = os.path.join(folder, "still.png")
    plasma(still, 412, 163, 1)
    copy = launch(" ".join(['"%s"' % windows_path(still)] * 10) + " dontloadeffect")
    time.sleep(4)
    idle = cpu_seconds(pids(), 10)
    velvane("closeall")
    copy.wait(timeout=30)
    # The yardstick: ten pushes a second of a ready 500 x 500 picture by a bare program.
    out = subprocess.run([WINE, os.path.join(BUILD, "bench", "barepush.exe"), "20", "500", "500", "500", "500"], capture_output=True, text=True).stdout
    floor = statistics.median(float(v) for v in out.split()) * 10 / 1000
    return playing, idle, floor


def main():
    folder = tempfile.mkdtemp(prefix="velvane-waits-")
    # A Wine process that outlives every copy: when the last one ends, Wine takes its desktop and
    # services down, and the next start waits ~10 s for them to come back, a cost of no program.
    keeper = subprocess.Popen([WINE, "cmd", "/c", "pause"], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    key, shown, bare, first, later, each = captures(folder)
    print("medians of %d runs on a 1920 x 1080 display, milliseconds" % RUNS, flush=True)
    print("Ctrl+Alt+P -> selecting window shown %.0f, \"capture\" -> shown %.0f; a bare Win32 screen-sized window's start %.0f "
          "(+%.0f, +%.0f)" % (key, shown, bare, key - bare, shown - bare))
    print("release -> pin shown: first capture %.0f, the next three %s (median %.0f)" % (first, " ".join("%.0f" % v for v in each), later),
          flush=True)
    o_first, o_last, o_peak, r_first, r_last, r_peak = forty(folder)
    print("40 pins of 800 x 600: opened by one command line, first %.0f, all %.0f, peak %.0f MB; restored, first %.0f, all %.0f "
          "(%.2fx), peak %.0f MB (+%.0f MB)" % (o_first, o_last, o_peak, r_first, r_last, r_last / o_last, r_peak, r_peak - o_peak),
          flush=True)
    playing, idle, floor = animation(folder)
    print("500 x 500 GIF, 10 frames at 100 ms, kept: CPU over 10 s %.2f s (%.1f %% of a core); a bare program's ten pushes a "
          "second of 500 x 500 %.1f %% of a core; ten still windows %.2f s" % (playing, playing * 10, floor * 100, idle))
    keeper.communicate(b"\r\n", timeout=30)
    subprocess.run(["rm", "-rf", folder])


if __name__ == "__main__":
    main()
