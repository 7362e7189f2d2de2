"""Writes packages in the program's own format (see src/package/PackageBag.h), for the
fuzz seeds and for tests that hand the real program damaged ones."""
import struct

SLOT_FIELD = slice(11, 20)


def name(text):
    return struct.pack("<H", len(text)) + text.encode("utf-16-le")


def int32(v):
    return struct.pack("<Bi", 1, v)


def int16(v):
    return struct.pack("<Bh", 2, v)


def single(v):
    return struct.pack("<Bf", 3, v)


def double(v):
    return struct.pack("<Bd", 4, v)


def boolean(v):
    return struct.pack("<BB", 5, 1 if v else 0)


def text(t):
    return struct.pack("<BI", 6, len(t)) + t.encode("utf-16-le")


def blob(b):
    return struct.pack("<BI", 7, len(b)) + b


def bag(entries):
    return b"VVB1" + struct.pack("<I", len(entries)) + b"".join(name(n) + v for n, v in entries)


def record(bag_bytes):
    return b"VVR1" + struct.pack("<I", len(bag_bytes)) + bag_bytes


def image_entries(k, top, left, opacity=100, size=1.0, dontontop=False, dontmoveable=False):
    n = str(k)
    return [("top" + n, single(top)), ("left" + n, single(left)), ("dontontop" + n, boolean(dontontop)),
            ("dontmoveable" + n, boolean(dontmoveable)), ("opacity" + n, int16(opacity)), ("size" + n, double(size))]


def self_contained(program_bytes, pristine_slot, tail):
    """The program with every even-offset copy of its slot pointing past itself, then tail."""
    patched = bytearray(pristine_slot)
    patched[SLOT_FIELD] = b"%09d" % len(program_bytes)
    out = bytearray(program_bytes)
    at = out.find(pristine_slot)
    while at != -1:
        if at % 2 == 0:
            out[at:at + len(patched)] = patched
        at = out.find(pristine_slot, at + 1)
    return bytes(out) + tail
