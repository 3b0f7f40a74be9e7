#!/usr/bin/env python3
"""Draws the archiver stand-in's two icons as 32x32, 32-bit .ico files.

archive.ico - a brown archive box (icon index 0)
volume.ico  - the same box with a blue band, for recovery volumes (icon index 1)

Usage: python3 make_icons.py OUTPUT-FOLDER
"""

import os
import struct
import sys

SIZE = 32


def pixel(x, y, band):
    """BGRA colour of one pixel; y counts from the top."""
    if x < 4 or x > 27 or y < 6 or y > 27:
        return (0, 0, 0, 0)
    if x in (4, 27) or y in (6, 27) or y == 12:
        return (23, 58, 92, 255)
    if band and 17 <= y <= 21:
        return (186, 98, 46, 255)
    if y < 12:
        return (63, 139, 201, 255)
    return (98, 173, 224, 255)


def icon(band):
    rows = []
    for y in reversed(range(SIZE)):  # DIB rows go bottom-up
        rows.append(b"".join(bytes(pixel(x, y, band)) for x in range(SIZE)))
    xor = b"".join(rows)
    mask = bytes(SIZE * SIZE // 8)  # alpha decides; the AND mask stays clear
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    return directory + image


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, band in (("archive.ico", False), ("volume.ico", True)):
        with open(os.path.join(out, name), "wb") as f:
            f.write(icon(band))


if __name__ == "__main__":
    main()
