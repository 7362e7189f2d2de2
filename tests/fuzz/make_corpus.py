#!/usr/bin/env python3
"""Writes the seed corpus: package records as the program writes them (a few shapes)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def name(text):
    data = text.encode("utf-16-le")
    return struct.pack("<H", len(text)) + data


def value(kind, payload):
    return struct.pack("<B", kind) + payload


def bag(entries):
    return b"VVB1" + struct.pack("<I", len(entries)) + b"".join(name(n) + v for n, v in entries)


def record(b):
    return b"VVR1" + struct.pack("<I", len(b)) + b


def text(t):
    return value(6, struct.pack("<I", len(t)) + t.encode("utf-16-le"))


def blob(b):
    return value(7, struct.pack("<I", len(b)) + b)


png = b"\x89PNG\r\n\x1a\n" + b"\x00" * 20 + b"\x00"
image = [("top1", value(3, struct.pack("<f", 150.0))), ("left1", value(3, struct.pack("<f", 300.0))),
         ("dontontop1", value(5, b"\x00")), ("dontmoveable1", value(5, b"\x01")),
         ("opacity1", value(2, struct.pack("<h", 50))), ("size1", value(4, struct.pack("<d", 1.5)))]
seeds = {
    "answer-only": record(bag([("Ras", value(1, struct.pack("<i", 6)))])),
    "one-image": record(bag([("Ras", value(1, struct.pack("<i", 6))), ("Ras1", blob(png))] + image)),
    "reference": record(bag([("Ras", value(1, struct.pack("<i", 7))), ("Ras1", blob(png)),
                             ("Ras2", text("Ras1Ras"))] + image)),
    "empty-bag": record(bag([])),
}
os.makedirs(os.path.join(HERE, "corpus"), exist_ok=True)
for seed_name, data in seeds.items():
    with open(os.path.join(HERE, "corpus", seed_name), "wb") as f:
        f.write(data)
