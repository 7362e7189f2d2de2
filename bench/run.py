#!/usr/bin/env python3
"""Speed and memory figures of Velvane under Wine, against native yardsticks on the same
display in the same run; run through scripts/bench.sh (a benchmark, not a test).

  start -> mapped   process start until the first X window of >= 64 x 64 is mapped, Velvane
                    (dontloadeffect) against feh --borderless, both timed by bench/native/xwait
  renderer          one rendering job at factor 1 against a native libpng decode of the file
  size 2 / 1/2      on the 1920 x 1080 image: from the Enter that chooses the item until the
                    window has its new size and answers messages again (Size "2" with nothing,
                    the picture, or the picture and the bitmap kept), beside a bare push of a ready bitmap of the new size and a bare
                    program's push that grows its window so; the resampler alone, native and in
                    the program
  peak memory       of the Velvane process, opening each image at factor 1 (the 4000 x 3000 one
                    as PNG, JPEG and WebP)
  idle CPU          of a process showing 10 windows, over 10 s
  pen stroke        on the 1920 x 1080 image being drawn on: each pointer move handled (the
                    stroke drawn and the window pushed), beside a bare push of a ready bitmap of
                    that size to a window of that size
  animation         a 500 x 500 GIF of 100 frames at 10 frames a second: CPU over 5 s while
                    its frames are first drawn and once they are all kept, and peak memory"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

RUNS = int(os.environ.get("BENCH_RUNS", "5"))
WINE = os.environ.get("VELVANE_WINE", "wine")
BUILD, NATIVE = sys.argv[1], sys.argv[2]
SIZES = {"412x163": (412, 163), "1920x1080": (1920, 1080), "4000x3000": (4000, 3000)}


def windows_path(p):
    return "Z:" + os.path.abspath(p).replace("/", "\\")


def run(cmd, env=None):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, env=env, timeout=120).stdout


def numbers(text):
    return [float(v) for v in text.split()]


def plasma(path, width, height):
    """A plasma-fractal RGBA image: colour from one fractal, alpha from another."""
    run(["convert", "-seed", "7", "-size", "%dx%d" % (width, height), "plasma:fractal",
         "(", "-size", "%dx%d" % (width, height), "plasma:fractal", "-colorspace", "gray", ")",
         "-alpha", "off", "-compose", "CopyOpacity", "-composite", "PNG32:" + path])


def velvane_env(*arguments):
    exe = windows_path(os.path.join(BUILD, "Velvane.exe"))
    return dict(os.environ, VELVANE_CMDLINE='"%s" %s' % (exe, " ".join(arguments)))


def close_all():
    run([WINE, os.path.join(BUILD, "Velvane.exe"), "closeall"])
    time.sleep(0.5)


def start_to_mapped(path):
    launch = os.path.join(BUILD, "tests", "e2e", "wintool.exe")
    velvane, feh = [], []
    for _ in range(RUNS):
        env = velvane_env('"%s"' % windows_path(path), "dontloadeffect")
        velvane += numbers(subprocess.run([os.path.join(NATIVE, "xwait"), "--", WINE, launch, "launch"], env=env,
                                          capture_output=True, text=True, timeout=120).stdout)[:1]
        close_all()
        feh += numbers(subprocess.run([os.path.join(NATIVE, "xwait"), "--", "feh", "--borderless", path],
                                      capture_output=True, text=True, timeout=120).stdout)[:1]
    # A run whose window never showed (-1) is left out rather than counted.
    return statistics.median(v for v in velvane if v >= 0), statistics.median(v for v in feh if v >= 0)


def render_job(path, factor):
    """Medians of the renderer's job: total, decode, draw-and-push, a bare push of the same
    size; and the first job's peak memory right after the decode."""
    jobs = [numbers(line) for line in run([WINE, os.path.join(BUILD, "bench", "render_bench.exe"), str(RUNS),
                                           windows_path(path), str(factor)]).splitlines()]
    return [statistics.median(job[i] for job in jobs) for i in range(4)] + [jobs[0][4]]


def xdotool(*args):
    subprocess.run(["xdotool", *[str(a) for a in args]], check=True)


def size_choice(down, width, height):
    """Opens the menu of the window under the screen's centre, walks to Size item `down`,
    then times the Enter."""
    xdotool("mousemove", 100, 100, "click", 3)  # inside the window at every size
    time.sleep(0.6)
    xdotool("key", "--delay", 100, "Down", "Down", "Down", "Down", "Right", *["Down"] * down)
    # Output through a file: Wine services started meanwhile would hold a pipe open.
    with tempfile.TemporaryFile(mode="w+") as out:
        timer = subprocess.Popen([WINE, os.path.join(BUILD, "bench", "resizebench.exe"), str(width), str(height)],
                                 stdout=out)
        time.sleep(0.8)
        xdotool("key", "Return")
        timer.wait(timeout=60)
        out.seek(0)
        return numbers(out.read())


def start_velvane(*arguments):
    """Starts the program and waits until it shows as many windows as it was given images."""
    process = subprocess.Popen([WINE, os.path.join(BUILD, "tests", "e2e", "wintool.exe"), "launch"],
                               env=velvane_env(*arguments, "dontloadeffect"), stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    for _ in range(100):
        # Asked of the X server, so a busy Wine cannot stall the wait.
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", "velvane.exe"],
                               capture_output=True, text=True, timeout=30).stdout.split()
        if len(found) == len(arguments):
            return process
        time.sleep(0.2)
    raise RuntimeError("the program did not show its windows")


def resize_times(path):
    """Size "2" with nothing kept (more than the window's 30 s since its last drawing), with
    the decoded picture kept but a new bitmap (more than 3 s), and again within 3 s (the
    bitmap kept too); and "1/2"."""
    process = start_velvane('"%s"' % windows_path(path))
    cold, picture, again, half = [], [], [], []
    for _ in range(RUNS):
        time.sleep(2.5)  # with the menu's own 2 s
        picture += size_choice(4, 3840, 2160)
        size_choice(3, 1920, 1080)
        again += size_choice(4, 3840, 2160)
        size_choice(3, 1920, 1080)
        half += size_choice(2, 960, 540)
        size_choice(3, 1920, 1080)
        time.sleep(29)
        cold += size_choice(4, 3840, 2160)
        size_choice(3, 1920, 1080)
    close_all()
    process.wait(timeout=30)
    return [statistics.median(v) for v in (cold, picture, again, half)]


def stroke_times(path):
    process = start_velvane('"%s"' % windows_path(path))
    time.sleep(1)
    moves = numbers(run([WINE, os.path.join(BUILD, "bench", "strokebench.exe"), "200"]))
    close_all()
    process.wait(timeout=30)
    return statistics.median(moves), max(moves)


def cpu_seconds(pids, seconds):
    def ticks():
        total = 0
        for pid in pids:
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        return total
    before = ticks()
    time.sleep(seconds)
    return (ticks() - before) / os.sysconf("SC_CLK_TCK")


def idle_cpu(path):
    process = start_velvane(*['"%s"' % windows_path(path)] * 10)
    time.sleep(1)
    used = cpu_seconds(run(["pgrep", "-f", "Velvane.exe"]).split(), 10)
    close_all()
    process.wait(timeout=30)
    return used


def animation(folder):
    gif = os.path.join(folder, "animation.gif")
    frames = ["xc:hsl(%d,80%%,50%%)" % (i * 3.6) for i in range(100)]
    run(["convert", "-size", "500x500", *frames, "-fill", "white", "-draw", "circle 250,250 250,100", "-delay", "10", "-loop", "0", gif])
    process = start_velvane('"%s"' % windows_path(gif))
    pids = run(["pgrep", "-f", "Velvane.exe"]).split()
    first = cpu_seconds(pids, 5)
    time.sleep(6)  # every frame drawn once by now
    kept = cpu_seconds(pids, 5)
    with open("/proc/%s/status" % pids[-1]) as f:
        peak = next(int(line.split()[1]) for line in f if line.startswith("VmHWM")) / 1024
    close_all()
    process.wait(timeout=30)
    return first, kept, peak


def main():
    folder = tempfile.mkdtemp(prefix="velvane-bench-")
    paths = {}
    for name, (w, h) in SIZES.items():
        paths[name] = os.path.join(folder, name + ".png")
        plasma(paths[name], w, h)
        print("image %s: %.1f MB" % (name, os.path.getsize(paths[name]) / 1e6), flush=True)
    # The same photo as a JPEG: GDI+ reads it, as every format but PNG.
    paths["4000x3000 JPEG"] = os.path.join(folder, "4000x3000.jpg")
    run(["convert", paths["4000x3000"], "-background", "white", "-flatten", "-quality", "90", paths["4000x3000 JPEG"]])
    SIZES["4000x3000 JPEG"] = SIZES["4000x3000"]
    # And as a lossless WebP, beside the PNG: libwebp holds the whole file while it decodes.
    paths["4000x3000 WebP"] = os.path.join(folder, "4000x3000.webp")
    run(["convert", paths["4000x3000"], "-define", "webp:lossless=true", paths["4000x3000 WebP"]])
    SIZES["4000x3000 WebP"] = SIZES["4000x3000"]

    print("\nmedians of %d runs, milliseconds unless said otherwise" % RUNS)
    print("%-14s %9s %6s %6s %9s %7s %6s %9s" % ("image", "velvane", "feh", "ratio", "renderer", "libpng", "ratio",
                                                "peak MB"))
    parts = []
    for name, path in paths.items():
        velvane, feh = start_to_mapped(path)
        render, decode, draw, push, decoder_peak = render_job(path, 1)
        parts.append("%-10s decode %.0f, convert and push %.0f, of which a bare push %.0f ms; peak %.1f MB after "
                     "the decode alone" % (name, decode, draw, push, decoder_peak))
        png = path.endswith(".png")
        libpng = statistics.median(numbers(run([os.path.join(NATIVE, "pngdecode"), str(RUNS), path]))) if png else float("nan")
        memory = statistics.median(numbers(run([WINE, os.path.join(BUILD, "bench", "startbench.exe"), str(RUNS)],
                                               velvane_env('"%s"' % windows_path(path), "dontloadeffect")))[1::2])
        w, h = SIZES[name]
        print("%-14s %9.0f %6.0f %6.2f %9.0f %7.0f %6.2f %9.1f  (the bitmap + 40 MB: %.0f MB)" % (
            name, velvane, feh, velvane / feh, render, libpng, render / libpng, memory, w * h * 4 / 2**20 + 40),
            flush=True)

    print("\nthe renderer's job at factor 1, split:\n  " + "\n  ".join(parts))
    cold, picture, again, half = resize_times(paths["1920x1080"])
    _, decode, draw, push, _ = render_job(paths["1920x1080"], 2)
    grow = statistics.median(numbers(run([WINE, os.path.join(BUILD, "bench", "barepush.exe"), str(RUNS), "1920", "1080",
                                          "3840", "2160"])))
    print("\n1920x1080: Size \"2\" %.0f ms with nothing kept (30 s on), %.0f ms with the picture kept (3 s on), %.0f ms "
          "again within 3 s; Size \"1/2\" %.0f ms" % (cold, picture, again, half))
    print("  beside a bare push of a ready 3840x2160 bitmap %.0f ms (1.1x + 60: %.0f), and a bare program's one push "
          "growing its shown window from 1920x1080 to 3840x2160 %.0f ms (1.1x + 60: %.0f)"
          % (push, 1.1 * push + 60, grow, 1.1 * grow + 60))
    print("  the renderer's job at 2: decode %.0f, convert, scale and push %.0f ms" % (decode, draw))
    native = numbers(run([os.path.join(NATIVE, "resamplebench"), str(RUNS)]))
    program = numbers(run([WINE, os.path.join(BUILD, "bench", "resamplebench.exe"), str(RUNS)]))
    print("  the resampler alone, 1920x1080 to 3840x2160 and back: native %.0f and %.0f ms, in the program %.0f and %.0f ms"
          % (native[0], native[1], program[0], program[1]))
    per_move, slowest = stroke_times(paths["1920x1080"])
    same = statistics.median(numbers(run([WINE, os.path.join(BUILD, "bench", "barepush.exe"), str(RUNS), "1920", "1080",
                                          "1920", "1080"])))
    print("pen stroke over the 1920x1080 pin: %.1f ms a pointer move (median of 200, slowest %.1f), beside a bare push "
          "of that window %.1f ms" % (per_move, slowest, same))
    print("idle CPU with 10 windows over 10 s: %.2f s" % idle_cpu(paths["412x163"]))
    print("500x500 GIF, 100 frames at 10 a second: CPU over 5 s %.2f s while drawn first, %.2f s once kept; peak %.0f MB"
          % animation(folder))
    subprocess.run(["rm", "-rf", folder])


if __name__ == "__main__":
    main()
