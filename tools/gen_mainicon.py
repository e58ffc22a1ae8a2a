#!/usr/bin/env python3
"""Writes the application icon MAINICON: one .ico with four images, in this order:
32x32 with 16 colours, 32x32 with 256 colours, 16x16 with 256 colours, 16x16 with
16 colours. The motif is a blue installer box with a white label.

Usage: gen_mainicon.py OUTPUT.ico
"""
import struct
import sys

# The 16 colours of the standard VGA palette.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette256():
    # The VGA colours, then a 6x6x6 colour cube, then greys; 256 in all.
    table = list(VGA16)
    for r in range(6):
        for g in range(6):
            for b in range(6):
                table.append((r * 51, g * 51, b * 51))
    while len(table) < 256:
        v = (len(table) - 232) * 10 + 8
        table.append((v, v, v))
    return table[:256]


def shade(u, v):
    """The colour at (u, v) in the unit square, or None where the icon is clear."""
    front = 0.12 <= u < 0.66 and 0.40 <= v < 0.92
    lift = 0.40 - v
    top = 0.0 <= lift < 0.20 and 0.12 + lift <= u < 0.66 + lift
    side_drop = u - 0.66
    side = 0.0 <= side_drop < 0.20 and 0.40 - side_drop <= v < 0.92 - side_drop
    if front:
        if 0.26 <= u < 0.52 and 0.54 <= v < 0.74:
            return (255, 255, 255)
        return (0, 0, 255) if v < 0.70 else (0, 0, 200)
    if top:
        return (128, 170, 255)
    if side:
        return (0, 0, 128)
    return None


def render(size):
    image = [[shade((x + 0.5) / size, (y + 0.5) / size) for x in range(size)] for y in range(size)]
    # A dark outline where the box meets the clear background.
    outlined = [row[:] for row in image]
    for y in range(size):
        for x in range(size):
            if image[y][x] is None:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if not (0 <= nx < size and 0 <= ny < size) or image[ny][nx] is None:
                    outlined[y][x] = (0, 0, 0)
    return outlined


def nearest(table, colour):
    return min(range(len(table)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(table[i], colour)))


def row_bytes(bits, width):
    return ((bits * width + 31) // 32) * 4


def image_bytes(size, bits):
    table = VGA16 if bits == 4 else palette256()
    pixels = render(size)
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):  # bottom-up rows
        row = bytearray(row_bytes(bits, size))
        mrow = bytearray(row_bytes(1, size))
        for x in range(size):
            colour = pixels[y][x]
            index = 0 if colour is None else nearest(table, colour)
            if bits == 8:
                row[x] = index
            else:
                row[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is None:
                mrow[x // 8] |= 0x80 >> (x % 8)
        xor += row
        mask += mrow
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask),
                       0, 0, len(table), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in table)
    return info + colours + bytes(xor) + bytes(mask)


def icon_bytes():
    images = [(32, 4), (32, 8), (16, 8), (16, 4)]
    blobs = [image_bytes(size, bits) for size, bits in images]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for (size, bits), blob in zip(images, blobs):
        entries += struct.pack("<BBBBHHII", size, size, 16 if bits == 4 else 0, 0, 1, bits,
                               len(blob), offset)
        offset += len(blob)
    return header + entries + b"".join(blobs)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())


if __name__ == "__main__":
    main()
