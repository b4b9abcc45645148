#!/usr/bin/python3
"""Draws Skyvigil's icon and writes it as a .ico file: a night-blue square with
a pale sun, at every size Windows asks for from 100% to 250% scale and for
large icon views (32-bit BGRA images with an AND mask)."""

import struct
import sys


def pixel(x, y, size):
    centre = (size - 1) / 2
    distance = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5
    if distance <= size * 0.28:
        return (60, 200, 250, 255)  # sun, as blue, green, red, alpha
    if distance <= size * 0.36:
        return (120, 60, 20, 255)  # a dark ring around it
    return (70, 25, 10, 255)  # night blue


def image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b"".join(bytes(c for x in range(size) for c in pixel(x, y, size))
                    for y in reversed(range(size)))  # bottom-up
    mask_row = ((size + 31) // 32) * 4
    return header + rows + bytes(mask_row * size)


def main():
    sizes = (16, 20, 24, 32, 40, 48, 64, 256)
    images = [image(size) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        side = size % 256  # the directory's byte says 0 for 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as target:
        target.write(out + b"".join(images))


if __name__ == "__main__":
    main()
