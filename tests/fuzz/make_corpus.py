#!/usr/bin/env python3
"""Writes the seed corpus: package records as the program writes them (a few shapes)."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
from package import bag, blob, image_entries, int32, record, text  # noqa: E402

png = b"\x89PNG\r\n\x1a\n" + b"\x00" * 21
seeds = {
    "answer-only": record(bag([("Ras", int32(6))])),
    "one-image": record(bag([("Ras", int32(6)), ("Ras1", blob(png))] + image_entries(1, 150, 300, 50, 1.5))),
    "reference": record(bag([("Ras", int32(7)), ("Ras1", blob(png)), ("Ras2", text("Ras1Ras"))]
                            + image_entries(1, 0, 0) + image_entries(2, 0, 0))),
    "empty-bag": record(bag([])),
}
os.makedirs(os.path.join(HERE, "corpus"), exist_ok=True)
for seed_name, data in seeds.items():
    with open(os.path.join(HERE, "corpus", seed_name), "wb") as f:
        f.write(data)
