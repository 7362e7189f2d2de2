#!/usr/bin/env python3
"""Start-up and rendering figures of Velvane under Wine; run through scripts/bench.sh.

Reports medians over several runs in one invocation: time from process start to the
window being visible (with dontloadeffect), the renderer's time, and the peak memory."""
import os
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))
import png  # noqa: E402

RUNS = int(os.environ.get("BENCH_RUNS", "7"))
WINE = os.environ.get("VELVANE_WINE", "wine")
BUILD = sys.argv[1]


def windows_path(p):
    return "Z:" + os.path.abspath(p).replace("/", "\\")


def make_image(path, width, height):
    """A photo-like RGBA image: smooth gradients with noise in the low bits, so it
    compresses about as a photograph does."""
    import random
    rng = random.Random(1)
    base = bytearray()
    for x in range(width):
        base += bytes(((x * 7) & 255, (x * 3 + 40) & 255, (x * 11) & 255, 255))
    n = len(base)
    keep = int.from_bytes(bytes((0xF8, 0xF8, 0xF8, 0xFF)) * width, "big")
    noise_bits = int.from_bytes(bytes((0x07, 0x07, 0x07, 0x00)) * width, "big")
    rows = []
    for y in range(height):
        shift = (y * 4 * 13) % n
        row = int.from_bytes(bytes(base[shift:] + base[:shift]), "big") & keep
        row |= int.from_bytes(rng.randbytes(n), "big") & noise_bits
        rows.append(row.to_bytes(n, "big"))
    png.write_png(path, width, height, rows, colour_type=6)


def run(cmd, env=None):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, env=env).stdout


def main():
    folder = tempfile.mkdtemp(prefix="velvane-bench-")
    images = {"412x163": (412, 163), "4000x3000": (4000, 3000)}
    paths = {}
    for name, (w, h) in images.items():
        paths[name] = os.path.join(folder, name + ".png")
        make_image(paths[name], w, h)
        print("image %s: %.1f MB" % (name, os.path.getsize(paths[name]) / 1e6))

    exe = windows_path(os.path.join(BUILD, "Velvane.exe"))
    print("\nmedians of %d runs" % RUNS)
    print("%-10s %18s %14s %16s" % ("image", "start->visible ms", "renderer ms", "peak memory MB"))
    for name, path in paths.items():
        env = dict(os.environ, VELVANE_CMDLINE='"%s" "%s" dontloadeffect' % (exe, windows_path(path)))
        lines = run([WINE, os.path.join(BUILD, "bench", "startbench.exe"), str(RUNS)], env).split()
        visible = [float(v) for v in lines[0::2]]
        memory = [float(v) for v in lines[1::2]]
        render = [float(line.split()[-1]) for line in
                  run([WINE, os.path.join(BUILD, "bench", "render_bench.exe"), str(RUNS), windows_path(path)])
                  .splitlines() if line.strip()]
        print("%-10s %18.0f %14.0f %16.1f" % (name, statistics.median(visible), statistics.median(render),
                                               statistics.median(memory)))

    # A self-contained copy carrying a 20 MB image, against the plain program opening it.
    big = os.path.join(folder, "20mb.png")
    make_image(big, 2800, 2100)
    print("\nimage 20mb: %.1f MB" % (os.path.getsize(big) / 1e6))
    copy = os.path.join(folder, "Velvane1.exe")
    lines = run([WINE, os.path.join(BUILD, "bench", "package_bench.exe"), str(RUNS),
                 windows_path(os.path.join(BUILD, "Velvane.exe")), windows_path(big), windows_path(copy)]).split()
    builds = [float(v) for v in lines[1::2]]
    print("build of the copy: median %.0f ms (copy %.1f MB)" % (statistics.median(builds), os.path.getsize(copy) / 1e6))
    for label, cmdline in (("plain program, image on the command line",
                            '"%s" "%s" dontloadeffect' % (exe, windows_path(big))),
                           ("self-contained copy", '"%s" dontloadeffect' % windows_path(copy))):
        env = dict(os.environ, VELVANE_CMDLINE=cmdline)
        lines = run([WINE, os.path.join(BUILD, "bench", "startbench.exe"), str(RUNS)], env).split()
        print("%-42s start->visible median %.0f ms, peak %.1f MB" % (
            label, statistics.median(float(v) for v in lines[0::2]), statistics.median(float(v) for v in lines[1::2])))
    subprocess.run(["rm", "-rf", folder])


if __name__ == "__main__":
    main()
