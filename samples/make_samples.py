#!/usr/bin/env python3
"""Draws the sample logos that ship with Markograph (plain shapes, no fonts).

Run it from this folder to make them again: python3 make_samples.py
"""
import math
import struct


def write_bmp(path, width, height, bits, pixel, palette=None):
    """Writes a bottom-up BMP; pixel(x, y) gives a palette index or (r, g, b)."""
    palette = palette or []
    row_bytes = ((width * bits + 31) // 32) * 4
    offset = 14 + 40 + 4 * len(palette)
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(width):
            v = pixel(x, y)
            if bits == 1:
                if v:
                    row[x // 8] |= 0x80 >> (x % 8)
            elif bits == 4:
                row[x // 2] |= v << (4 if x % 2 == 0 else 0)
            else:
                r, g, b = v
                row[3 * x:3 * x + 3] = bytes((b, g, r))
        data += row
    header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, len(palette), 0)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    with open(path, "wb") as f:
        f.write(header + info + pal + data)


def inside_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def mono(x, y):
    # A framed badge: border, a ring and diagonal stripes inside it.
    w, h = 256, 96
    if x < 4 or y < 4 or x >= w - 4 or y >= h - 4:
        return 0
    if inside_circle(x, y, 48, 48, 36) and not inside_circle(x, y, 48, 48, 28):
        return 0
    if inside_circle(x, y, 48, 48, 20) and (x + y) % 8 < 4:
        return 0
    if 100 <= x < 240 and (30 <= y < 40 or 56 <= y < 66):
        return 0
    return 1  # palette entry 1 is white


def sixteen(x, y):
    # Colour bars over a black band: every entry of the 16-colour palette.
    if y >= 60:
        return 0
    return min(15, x * 16 // 208)


def red_black(x, y):
    # A red disc, a black bar, a dark-red rim and a grey ramp on white.
    if inside_circle(x, y, 64, 64, 48):
        return (200, 30, 30) if inside_circle(x, y, 64, 64, 40) else (120, 0, 0)
    if 140 <= x < 370 and 40 <= y < 88:
        return (0, 0, 0)
    if 140 <= x < 370 and 100 <= y < 116:
        v = int(255 * (x - 140) / 229)
        return (v, v, v)
    return (255, 255, 255)


PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

write_bmp("mono-badge.bmp", 256, 96, 1, mono, [(0, 0, 0), (255, 255, 255)])
write_bmp("sixteen-colours.bmp", 208, 80, 4, sixteen, PALETTE16)
write_bmp("red-black.bmp", 384, 128, 24, red_black)
