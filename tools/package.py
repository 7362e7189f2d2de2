# Writes packages in the program's own format (see src/package/PackageBag.h), for the fuzz
# seeds and for tests that hand the real program built or damaged ones.
import struct


def _fixed(kind, layout):
    return lambda v: struct.pack("<B" + layout, kind, v)


int32, int16, single, double, boolean = (_fixed(k, f) for k, f in ((1, "i"), (2, "h"), (3, "f"), (4, "d"), (5, "?")))


def text(t):
    return struct.pack("<BI", 6, len(t)) + t.encode("utf-16-le")


def blob(b):
    return struct.pack("<BI", 7, len(b)) + b


def bag(entries):
    return b"VVB1" + struct.pack("<I", len(entries)) + b"".join(
        struct.pack("<H", len(n)) + n.encode("utf-16-le") + v for n, v in entries)


def record(bag_bytes):
    return b"VVR1" + struct.pack("<I", len(bag_bytes)) + bag_bytes


def image_entries(k, top, left, opacity=100, size=1.0):
    return [("top%d" % k, single(top)), ("left%d" % k, single(left)), ("dontontop%d" % k, boolean(False)),
            ("dontmoveable%d" % k, boolean(False)), ("opacity%d" % k, int16(opacity)), ("size%d" % k, double(size))]


def self_contained(program, pristine_slot, tail):
    # The program with every even-offset copy of its slot pointing past itself, then tail.
    patched = pristine_slot[:11] + b"%09d" % len(program) + pristine_slot[20:]
    out, at = bytearray(program), program.find(pristine_slot)
    while at != -1:
        out[at:at + len(patched)] = patched if at % 2 == 0 else out[at:at + len(patched)]
        at = program.find(pristine_slot, at + 1)
    return bytes(out) + tail
