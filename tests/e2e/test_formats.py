# Pictures as people get them: a phone's photo stored sideways, WebP pictures still and
# animated, and images dropped from a browser or an image editor rather than from Explorer.
import os
import struct
import subprocess
from pathlib import Path

from harness import GREEN, ORANGE, Journey, windows_path

BLUE = (30, 60, 200)


def chunk(tag, data):
    return tag + struct.pack("<I", len(data)) + data + b"\0" * (len(data) % 2)


class FormatsTest(Journey):
    def test_photo_upright_webp_and_dropped_data(self):
        # 200 x 100 as stored: orange over blue on the left, green on the right. EXIF 6: a viewer turns it a
        # quarter clockwise, 100 x 200, blue top left, orange top right, green below.
        photo = os.path.join(self.scratch, "photo.jpg")
        subprocess.run(["convert", "-size", "200x100", "xc:rgb%s" % (GREEN,), "-fill", "rgb%s" % (ORANGE,), "-draw", "rectangle 0,0 99,49",
                        "-fill", "rgb%s" % (BLUE,), "-draw", "rectangle 0,50 99,99", "-quality", "100", "-sampling-factor", "1x1", photo], check=True)
        exif = b"Exif\0\0MM\0*" + struct.pack(">IHHHIHHI", 8, 1, 274, 3, 1, 6, 0, 0)
        jpeg = Path(photo).read_bytes()
        Path(photo).write_bytes(jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(exif) + 2) + exif + jpeg[2:])
        # A WebP with levels of alpha, lossless; an animation that plays once, red 5 s, then blue.
        still = os.path.join(self.scratch, "still.webp")
        subprocess.run(["convert", "-size", "24x16", "gradient:yellow-blue", "-alpha", "set", "-channel", "A", "-fx", "(i%4==0)+(i%4==1)*0.6",
                        "+channel", "-define", "webp:lossless=true", "-define", "webp:exact=true", still], check=True)
        frames = b""
        for colour, ms in (("red", 5000), ("blue", 1000)):
            subprocess.run(["convert", "-size", "20x20", "xc:" + colour, "-define", "webp:lossless=true", "WEBP:" + still + ".frame"], check=True)
            vp8l = Path(still + ".frame").read_bytes()[12:]  # its VP8L chunk, after the RIFF header
            frames += chunk(b"ANMF", bytes(6) + b"\x13\0\0\x13\0\0" + ms.to_bytes(3, "little") + b"\0" + vp8l)
        body = b"WEBP" + chunk(b"VP8X", b"\x02\0\0\0\x13\0\0\x13\0\0") + chunk(b"ANIM", bytes(4) + b"\x01\0") + frames
        Path(self.scratch, "blink.webp").write_bytes(b"RIFF" + struct.pack("<I", len(body)) + body)

        copies = [self.start('"%s" left%d top300 dontloadeffect' % (windows_path(os.path.join(self.scratch, name)), left))
                  for name, left in (("photo.jpg", 300), ("still.webp", 3000), ("blink.webp", 6000))]
        self.assertEqual(sorted(w.place for w in self.wait_windows(3)), [(20, 20, (100, 200)), (200, 20, (24, 16)), (400, 20, (20, 20))])
        self.assertColour(self.pixel_now(410, 30), (255, 0, 0), "the animation's first frame")
        pixel = self.screen("formats")
        for x, y, colour in ((45, 70, BLUE), (95, 70, ORANGE), (70, 170, GREEN)):
            self.assertColour(pixel(x, y), colour, "the photo upright at %d, %d" % (x, y), 8)
        raw = subprocess.run(["convert", still, "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
        worst = max(abs(pixel(200 + i // 4 % 24, 20 + i // 96)[i % 4] - round(raw[i] * raw[i | 3] / 255)) for i in range(len(raw)) if i % 4 < 3)
        self.assertLessEqual(worst, 1, "the WebP's pixels off by %d levels" % worst)
        self.wait_colour("animated", 410, 30, (0, 0, 255), "the animation's last frame")

        # Dropped on the photo: a browser's virtual file, then an editor's PNG data, each pinned where it fell,
        # in a file of ours (the descriptor's name, a path out of the folder, is never used).
        before = self.temp_files()
        for kind, name, size in (("virtual", "v.png", (30, 20)), ("png", "d.png", (50, 30))):
            self.assertEqual(self.tool("offer", 70, 120, kind, windows_path(self.image(name, *size, BLUE))).strip(), "copy", kind)
            (dropped,) = self.wait_for(lambda: [w for w in self.windows() if w.size == size], kind + ": one pin")
            self.assertEqual(dropped.centre, (70, 120), kind + ": centred where it was dropped")
        self.assertEqual(len(self.temp_files() - before), 2, "each dropped image in a file of ours")
        for p in copies:
            self.close_all(p)
