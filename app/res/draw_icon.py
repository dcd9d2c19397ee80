#!/usr/bin/env python3
"""Draws Velquin's icon (Velquin.ico: 16, 20, 24, 32, 40, 48 and 64 px, 32-bit with
alpha: the small and large sizes at 100, 125, 150 and 200 % display scale).

A night-blue rounded square with a pale crescent moon (the computer asleep) and a
green arrow rising out of it (the tasks that start on waking). Drawn by sampling
each pixel's coverage, so the script needs nothing beyond Python itself.
Run: python3 app/res/draw_icon.py app/res/Velquin.ico
"""
import struct
import sys

NIGHT = (0x1F, 0x3A, 0x7A)
NIGHT_EDGE = (0x12, 0x24, 0x52)
MOON = (0xF4, 0xE7, 0xA1)
ARROW = (0x3C, 0xC8, 0x5A)
SUBSAMPLES = 4


def inside_rounded_square(x, y):
    r = 0.22
    cx = min(max(x, r), 1 - r)
    cy = min(max(y, r), 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_moon(x, y):
    outer = (x - 0.42) ** 2 + (y - 0.46) ** 2 <= 0.27 ** 2
    bite = (x - 0.55) ** 2 + (y - 0.38) ** 2 <= 0.23 ** 2
    return outer and not bite


def inside_arrow(x, y):
    # Shaft from the lower right upwards, then a head pointing up.
    shaft = 0.66 <= x <= 0.78 and 0.50 <= y <= 0.86
    head = 0.36 <= y <= 0.52 and abs(x - 0.72) <= (y - 0.36) * 1.05
    return shaft or head


def colour_at(x, y):
    if not inside_rounded_square(x, y):
        return None
    if inside_arrow(x, y):
        return ARROW
    if inside_moon(x, y):
        return MOON
    edge = x < 0.06 or y < 0.06 or x > 0.94 or y > 0.94
    return NIGHT_EDGE if edge else NIGHT


def render(size):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    x = (px + (sx + 0.5) / SUBSAMPLES) / size
                    y = (py + (sy + 0.5) / SUBSAMPLES) / size
                    c = colour_at(x, y)
                    if c:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            n = SUBSAMPLES * SUBSAMPLES
            if hits:
                row.append(tuple(a // hits for a in acc) + (255 * hits // n,))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp_entry(size):
    pixels = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(
        bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main(path):
    sizes = [16, 20, 24, 32, 40, 48, 64]
    images = [bmp_entry(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "Velquin.ico")
