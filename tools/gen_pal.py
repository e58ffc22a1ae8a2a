#!/usr/bin/env python3
"""Writes the palette bitmap PAL: 8x8 pixels, 8 bits per pixel, a 40-byte info
header, a 256-entry colour table, and 64 pixel bytes that are all 0.

Usage: gen_pal.py OUTPUT.bmp
"""
import struct
import sys

# The first and last ten static colours of the Windows system palette.
STATIC_LOW = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
              (128, 0, 128), (0, 128, 128), (192, 192, 192), (192, 220, 192),
              (166, 202, 240)]
STATIC_HIGH = [(255, 251, 240), (160, 160, 164), (128, 128, 128), (255, 0, 0),
               (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255),
               (255, 255, 255)]


def colour_table():
    table = list(STATIC_LOW)
    # The backdrop's gradient: v = 200 * k / 199 rounded down, so no entry holds 199.
    for k in range(200):
        v = 200 * k // 199
        table.append((v, v, 255))
    # Red to white, not used by the backdrop.
    for k in range(36):
        table.append((255, 10 + 234 * k // 35, 255 * k // 35))
    table += STATIC_HIGH
    assert len(table) == 256
    return table


def bitmap_bytes():
    width = height = 8
    pixels = bytes(width * height)  # rows of 8 bytes are already 4-byte aligned
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colour_table())
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 0, 0, 256, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + table + pixels


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(bitmap_bytes())


if __name__ == "__main__":
    main()
