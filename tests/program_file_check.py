#!/usr/bin/env python3
"""Checks the built program file itself: it needs no DLL beside Windows' own, it carries
the pristine settings slot exactly once at an even offset (where a self-contained copy
patches it), and it carries its about image and manifest."""
import re
import subprocess
import sys
import unittest

EXE, SLOT, ABOUT, OBJDUMP = sys.argv[1:5]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "gdiplus.dll", "comctl32.dll", "ole32.dll",
               "oleaut32.dll", "shell32.dll", "advapi32.dll", "msvcrt.dll"}


class ProgramFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(EXE, "rb") as f:
            cls.data = f.read()

    def test_imports_only_windows_system_dlls(self):
        dump = subprocess.run([OBJDUMP, "-p", EXE], check=True, capture_output=True, text=True).stdout
        dlls = {m.lower() for m in re.findall(r"DLL Name: (\S+)", dump)}
        self.assertTrue(dlls, "no import table found")
        self.assertLessEqual(dlls, SYSTEM_DLLS, "imports beyond Windows: %s" % (dlls - SYSTEM_DLLS))

    def test_pristine_slot_once_at_an_even_offset(self):
        with open(SLOT, "rb") as f:
            slot = f.read()
        self.assertEqual(len(slot), 29)
        self.assertEqual(slot[11:20], b"\x07" * 9)
        offsets = [m.start() for m in re.finditer(re.escape(slot), self.data)]
        self.assertEqual(len(offsets), 1, "slot found at %s" % offsets)
        self.assertEqual(offsets[0] % 2, 0)

    def test_carries_the_about_image_and_the_common_controls_manifest(self):
        with open(ABOUT, "rb") as f:
            about = f.read()
        self.assertEqual(about[1:4], b"PNG")
        self.assertEqual(self.data.count(about), 1)
        self.assertIn(b"Microsoft.Windows.Common-Controls", self.data)
        self.assertIn(b'version="6.0.0.0"', self.data)
        self.assertIn("2.0.0.0".encode("utf-16-le"), self.data)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
