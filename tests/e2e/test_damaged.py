"""Unreadable images, odd values and damaged packages in real copies of the program: they
open what can be opened, fall back to the about window when nothing can, never crash or hang."""
import os
import unittest

from harness import Journey, windows_path
from package import bag, blob, double, image_entries, int16, int32, record, single, text

ABOUT = (306, 302, (412, 163))


class DamagedTest(Journey):
    def opens(self, arguments, places, label, program=None):
        p = self.start(arguments, program=program or os.environ["VELVANE_EXE"])
        if places:
            found = sorted(w.place for w in self.wait_windows(len(places), p))
            self.assertEqual(found, sorted(places), label)
            for w in self.windows():
                self.tool("close", w.hwnd)
        self.assertEqual(self.wait_exit(p, label + ": the program to end"), 0, label)

    def test_bad_images_values_and_packages_end_cleanly(self):
        unreadable = os.path.join(self.scratch, "notes.png")
        with open(unreadable, "w") as f:
            f.write("not an image")
        logo = self.image("logo.png", 60, 40)
        self.opens('"%s"' % windows_path(unreadable), [], "an unreadable image opens nothing")
        self.opens('"%s" left40000' % windows_path(logo), [], "a value out of range opens nothing")
        self.opens('"%s"' % windows_path(os.path.join(self.scratch, "left150 missing.png")), [ABOUT],
                   "a missing file: the about window, centred whatever its keywords say")

        with open(logo, "rb") as f:
            png = f.read() + b"\0"

        def package(*images, answer=int32(6)):
            entries = [("Ras", answer), ("Ras1", blob(png))] if answer else [("Ras1", blob(png))]
            for k, (top, left) in enumerate(images, 1):
                entries += ([("Ras%d" % k, text("Ras1.5Ras"))] if k > 1 else []) + image_entries(k, top, left)
            return entries

        def copy(entries):
            return self.copy_with(record(bag(entries)), "copy%d.exe" % len(os.listdir(self.scratch)))

        temp_before = self.temp_files()
        self.opens("dontloadeffect", [(20, 10, (60, 40)), (220, 10, (60, 40))], "a sound package", copy(package((150, 300), (150, 3300))))
        by_value = [(n, {"Ras": text(" 6 "), "top1": double(150), "opacity1": int32(100), "dontontop1": int16(-1),
                         "size1": single(2.0)}.get(n, v)) for n, v in package((0, 300))]
        self.opens("dontloadeffect", [(20, 10, (120, 80))], "stored values of other kinds, read by value", copy(by_value))
        path = copy(package((150, 300)))
        self.opens('"%s" about dontloadeffect left900' % windows_path(logo), [(20, 10, (60, 40)), ABOUT],
                   "command-line images are ignored, about still applies", path)

        good = record(bag(package((150, 300), (150, 3300))))
        for label, tail in (("truncated", good[:-10]), ("length past the end", good[:4] + b"\xff\xff\xff\x7f" + good[8:]),
                            ("the answer as a word", record(bag(package((150, 300), answer=text("six"))))),
                            ("no answer", record(bag(package((150, 300), answer=None)))), ("nothing", b"")):
            self.opens("dontloadeffect", [ABOUT], label + ": the about window", self.copy_with(tail, label + ".exe"))
        self.opens("dontloadeffect", [(20, 10, (60, 40))], "a top beyond 16 bits ends the list there",
                   copy(package((150, 300), (33000, 0), (150, 600))))
        dangling = [(n, text("Ras9Ras") if n == "Ras2" else v) for n, v in package((150, 300), (150, 3300))]
        self.opens("dontloadeffect", [(20, 10, (60, 40))], "a reference to no image ends the list there", copy(dangling))
        self.assertEqual(self.temp_files() - temp_before, set(), "temporary images left behind")



if __name__ == "__main__":
    unittest.main()
