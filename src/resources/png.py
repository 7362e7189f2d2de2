"""Minimal PNG and ICO writing with the standard library only, for the built-in resources."""
import struct
import zlib


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes(width, height, rows, colour_type):
    """rows: list of bytes objects, one per row, already in the colour type's layout
    (4 = grey+alpha, 6 = RGBA), 8 bits per sample."""
    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header)
            + _chunk(b"IDAT", zlib.compress(raw, 9)) + _chunk(b"IEND", b""))


def write_png(path, width, height, rows, colour_type=6):
    with open(path, "wb") as f:
        f.write(png_bytes(width, height, rows, colour_type))


def ico_bytes(images):
    """images: list of (size, rgba rows) -> a .ico with 32-bit DIB entries."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for size, rows in images:
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        pixels = b""
        for row in reversed(rows):  # bottom-up, BGRA
            for x in range(size):
                r, g, b, a = row[4 * x:4 * x + 4]
                pixels += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        mask = b"\x00" * (mask_stride * size)
        blob = header + pixels + mask
        entries.append(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)
