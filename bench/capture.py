#!/usr/bin/env python3
"""Pin from Screen's start and the resident copy at rest, under Wine on a 1920 x 1080 display;
run through scripts/bench.sh (a benchmark, not a test).

  capture -> shown   from the start of "Velvane.exe capture" (a resident copy running) until
                     the selecting window is mapped, against a bare Win32 program that shows
                     one window over the screen, both started by the same launcher and timed
                     by bench/native/xwait
  resident at rest   the resident copy's memory with no pins, and its CPU over 10 s"""
import os
import statistics
import subprocess
import sys
import time

RUNS = int(os.environ.get("BENCH_RUNS", "5"))
WINE = os.environ.get("VELVANE_WINE", "wine")
BUILD, NATIVE = sys.argv[1], sys.argv[2]
LAUNCH = os.path.join(BUILD, "tests", "e2e", "wintool.exe")


def launch_env(arguments, program="Velvane.exe"):
    exe = "Z:" + os.path.abspath(os.path.join(BUILD, program)).replace("/", "\\")
    return dict(os.environ, VELVANE_CMDLINE='"%s" %s' % (exe, arguments))


def mapped(command, env=None):
    out = subprocess.run([os.path.join(NATIVE, "xwait"), "--", *command], env=env, capture_output=True, text=True, timeout=120).stdout
    return float(out.split()[0])


def resident_pid():
    for _ in range(100):
        for pid in subprocess.run(["pgrep", "-f", "Velvane.exe"], capture_output=True, text=True).stdout.split():
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if b"Velvane.exe" in f.read():
                    return pid
        time.sleep(0.2)
    raise RuntimeError("the resident copy did not start")


def cpu_seconds(pid, seconds):
    def ticks():
        with open("/proc/%s/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])
    before = ticks()
    time.sleep(seconds)
    return (ticks() - before) / os.sysconf("SC_CLK_TCK")


def main():
    resident = subprocess.Popen([WINE, LAUNCH, "launch"], env=launch_env("tray"), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    pid = resident_pid()
    time.sleep(3)  # settled
    with open("/proc/%s/status" % pid) as f:
        memory = next(int(line.split()[1]) for line in f if line.startswith("VmRSS")) / 1024
    idle = cpu_seconds(pid, 10)
    capture, bare = [], []
    for _ in range(RUNS):
        capture.append(mapped([WINE, LAUNCH, "launch"], launch_env("capture")))
        time.sleep(0.5)
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        time.sleep(0.5)
        bare.append(mapped([WINE, LAUNCH, "launch"], launch_env("", os.path.join("bench", "barewindow.exe"))))
        time.sleep(1.5)
    print("medians of %d runs on a 1920 x 1080 display" % RUNS)
    print("capture -> selecting window shown %.0f ms; a bare Win32 window's start %.0f ms (%.2fx)" % (
        statistics.median(capture), statistics.median(bare), statistics.median(capture) / statistics.median(bare)))
    taking = subprocess.run([WINE, os.path.join(BUILD, "bench", "capturebench.exe"), str(RUNS)], capture_output=True, text=True).stdout
    print("  of which taking the screen %s ms" % taking.strip())
    print("the resident copy with no pins: %.1f MB resident memory, CPU over 10 s %.2f s" % (memory, idle))
    subprocess.run([WINE, os.path.join(BUILD, "Velvane.exe"), "closeall"], capture_output=True)
    resident.kill()


if __name__ == "__main__":
    main()
