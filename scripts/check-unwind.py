#!/usr/bin/env python3
"""Checks the DWARF unwind tables of 32-bit Windows programs, which their runtime searches
to find each frame a C++ exception passes through.

    scripts/check-unwind.py PROGRAM.exe...

The runtime walks the frame entries from the start of the table to its end marker, sorts
them by start address and binary-searches them: an entry of zero length, or two that
overlap, can send the search past the right one, and a throw through that function then
ends the program instead of reaching its catch. Either fails the check, on any machine,
whether or not it can run the program. The table is read from the program file itself,
stripped or not (stripping shortens the section's name to ".eh_fram")."""
import struct
import sys


def sections(image):
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE program")
    count, optional_size = struct.unpack_from("<H", image, pe + 6)[0], struct.unpack_from("<H", image, pe + 20)[0]
    symbols, symbol_count = struct.unpack_from("<II", image, pe + 12)
    strings = symbols + 18 * symbol_count  # long section names live there until stripped
    optional = pe + 24
    if struct.unpack_from("<H", image, optional)[0] != 0x10B:
        raise ValueError("not a 32-bit program")
    image_base = struct.unpack_from("<I", image, optional + 28)[0]
    table = optional + optional_size
    for i in range(count):
        at = table + 40 * i
        name = image[at:at + 8].rstrip(b"\0")
        if name.startswith(b"/") and symbols:
            start = strings + int(name[1:])
            name = image[start:image.index(b"\0", start)]
        virtual_size, address, raw_size, raw_at = struct.unpack_from("<IIII", image, at + 8)
        yield name, image_base + address, image[raw_at:raw_at + min(virtual_size, raw_size)]


def uleb(data, at):
    value = shift = 0
    while True:
        byte = data[at]
        at += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, at


def pointer(data, at, encoding, address):
    """A pointer in the table's encoding: absolute or relative to its own place, 4 bytes."""
    form, relative = encoding & 0x0F, encoding & 0x70
    if form not in (0x00, 0x03, 0x0B):
        raise ValueError(f"pointer encoding {encoding:#x} not understood")
    value = struct.unpack_from("<i" if form == 0x0B else "<I", data, at)[0]
    if relative == 0x10:
        value += address + at
    elif relative != 0:
        raise ValueError(f"pointer encoding {encoding:#x} not understood")
    return value & 0xFFFFFFFF


def frame_entries(data, address):
    """(start, end) of every function entry before the end marker."""
    encodings, entries, at = {}, [], 0
    while at + 4 <= len(data):
        length = struct.unpack_from("<I", data, at)[0]
        if length == 0:
            break
        body = at + 4
        cie_offset = struct.unpack_from("<I", data, body)[0]
        if cie_offset == 0:  # a common entry: its augmentation tells how addresses are written
            augmentation_end = data.index(b"\0", body + 5)
            augmentation = data[body + 5:augmentation_end].decode()
            encoding, p = 0, augmentation_end + 1
            _, p = uleb(data, p)  # code alignment
            _, p = uleb(data, p)  # data alignment (its sign does not matter here)
            p += 1  # return address register
            if augmentation.startswith("z"):
                _, p = uleb(data, p)
                for letter in augmentation[1:]:
                    if letter == "R":
                        encoding = data[p]
                        p += 1
                    elif letter == "P":
                        p += 1 + 4
                    elif letter == "L":
                        p += 1
            encodings[at] = encoding
        else:
            encoding = encodings[body - cie_offset]
            start = pointer(data, body + 4, encoding, address)
            size = struct.unpack_from("<I", data, body + 8)[0]
            entries.append((start, start + size))
        at = body + length
    return entries


def faults(program):
    with open(program, "rb") as f:
        image = f.read()
    tables = [(address, data) for name, address, data in sections(image) if name in (b".eh_fram", b".eh_frame")]
    if not tables:
        return 0, ["no unwind table"]
    entries = frame_entries(tables[0][1], tables[0][0])
    found = [f"a frame entry of no length at {start:#x}" for start, end in entries if end <= start]
    entries.sort()
    found += [f"frame entries overlap at {a:#x} and {b:#x}" for (a, a_end), (b, _) in zip(entries, entries[1:]) if b < a_end]
    return len(entries), found


def main(programs):
    failed = False
    for program in programs:
        count, found = faults(program)
        for fault in found:
            print(f"[unwind] {program}: {fault}")
        failed |= bool(found)
        if not found:
            print(f"[unwind] {program}: {count} frame entries, every one findable")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
