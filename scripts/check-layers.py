#!/usr/bin/env python3
"""The folders of src/ are layers: each file includes only its own folder's and those beneath it.

    common  owners and small helpers
    core    the rules that need no Windows (what builds natively): no Windows header, even through another file
    system  thin owners of Windows services, knowing nothing of pins
    image   from a file or bytes to pixels at a size and turn, pushed to a window
    pin     one pin window and what acts on one pin
    app     the running copy as a whole

Prints each include that runs upward (file and line) and exits 1; prints a summary and exits 0 otherwise.
    scripts/check-layers.py [SRC]
"""
import os
import re
import sys

LAYERS = ["common", "core", "system", "image", "pin", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# Windows' own headers, by name: whatever declares the Windows API or its COM and shell parts.
WINDOWS_HEADER = re.compile(r"^(windows|windowsx|win[a-z0-9]*|ole[a-z0-9]*|obj[a-z]*|unknwn|combaseapi|shl[a-z]*|shell[a-z]*|"
                            r"shobjidl[a-z_]*|comm[a-z]*|gdiplus[a-z]*|knownfolders|mmsystem|dwmapi|psapi|uxtheme|tchar|"
                            r"propidl|rpc[a-z]*|sdkddkver|ntdef|minwindef)\.h$", re.IGNORECASE)


def includes(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1) == "<", m.group(2)


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    src = os.path.normpath(src)
    faults, files, reported = [], 0, set()
    for root, _, names in os.walk(src):
        for name in sorted(names):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            layer = os.path.relpath(path, src).split(os.sep)[0]
            if layer not in LAYERS:
                faults.append("%s: a folder that is no layer (%s)" % (path, ", ".join(LAYERS)))
                continue
            files += 1
            for number, system_header, target in includes(path):
                if system_header:
                    continue
                top = target.split("/")[0]
                if top in LAYERS and LAYERS.index(top) > LAYERS.index(layer):
                    faults.append('%s:%d: includes "%s": %s may include only %s' %
                                  (path, number, target, layer, ", ".join(LAYERS[:LAYERS.index(layer) + 1])))
            if layer == "core":
                # Through every file it includes: a core file must build where Windows is not.
                seen, stack = set(), [(path, [])]
                while stack:
                    current, via = stack.pop()
                    if current in seen:
                        continue
                    seen.add(current)
                    for number, system_header, target in includes(current):
                        if system_header and WINDOWS_HEADER.match(os.path.basename(target)) and (current, number) not in reported:
                            reported.add((current, number))
                            reached = " (reached from %s)" % " <- ".join(via[::-1]) if via else ""
                            faults.append("%s:%d: includes <%s>%s: core builds without Windows" % (current, number, target, reached))
                        elif not system_header and os.path.exists(os.path.join(src, target)):
                            stack.append((os.path.join(src, target), via + [current]))
    faults = list(dict.fromkeys(faults))
    for fault in faults:
        print(fault)
    if faults:
        print("check-layers: %d include(s) against the layers" % len(faults))
        return 1
    print("check-layers: %d files, every include within its layer or beneath (%s)" % (files, " < ".join(LAYERS)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
