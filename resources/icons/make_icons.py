#!/usr/bin/env python3
"""Draws Velmox's three light-bulb icons and writes them as 16-colour .ico files.

on.ico    a lit yellow bulb with rays (32x32 and 16x16)
off.ico   an unlit white bulb (32x32 and 16x16)
alert.ico the lit bulb with rays on a solid yellow square (32x32)

Usage: make_icons.py [OUTPUT_FOLDER]   (default: the folder of this script)
"""
import math
import os
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, OLIVE, SILVER, GREY, YELLOW, WHITE = 0, 3, 7, 8, 11, 15
CLEAR = None


def draw_bulb(size, lit, square):
    """A grid of palette indices (CLEAR for transparent), row 0 at the top."""
    s = size / 32.0
    grid = [[YELLOW if square else CLEAR for _ in range(size)] for _ in range(size)]
    cx, cy = size / 2.0, 12.5 * s
    radius = (8.0 if size > 16 else 8.6) * s
    glass_colour = YELLOW if lit else WHITE

    def put(x, y, colour):
        if 0 <= x < size and 0 <= y < size:
            grid[y][x] = colour

    # The glass: a disc joined to a narrowing neck.
    neck_top, neck_bottom = cy + radius * 0.55, 22.0 * s
    glass = set()
    for y in range(size):
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            half = 0.0
            if neck_top <= py <= neck_bottom:
                t = (py - neck_top) / (neck_bottom - neck_top)
                half = radius * 0.62 * (1 - t) + 3.6 * s * t
            if (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2 or abs(px - cx) <= half:
                glass.add((x, y))

    if lit:
        # Rays: short spokes around the upper part of the glass.
        ray_colour = OLIVE if square or size <= 16 else YELLOW
        for angle in range(-120, 121, 40):
            a = math.radians(angle - 90)
            for i in range(13):
                r = radius + (1.8 + 3.4 * i / 12) * s
                put(int(round(cx - 0.5 + r * math.cos(a))), int(round(cy - 0.5 + r * math.sin(a))),
                    ray_colour)

    outline_colour = OLIVE if lit and not square else BLACK
    for x, y in glass:
        edge = any((x + dx, y + dy) not in glass for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        grid[y][x] = outline_colour if edge else glass_colour
    # A highlight on the glass.
    for x, y in glass:
        d = math.hypot(x + 0.5 - (cx - radius * 0.4), y + 0.5 - (cy - radius * 0.4))
        if d <= radius * 0.22 and grid[y][x] == glass_colour:
            grid[y][x] = WHITE if lit else SILVER

    # The screw base: alternating grey bands, then a dark tip.
    base_top = int(round(neck_bottom))
    band = max(1, int(round(1.5 * s)))
    bands = [SILVER, GREY, SILVER, GREY] if size > 16 else [SILVER, GREY, SILVER]
    for i, colour in enumerate(bands):
        for yy in range(base_top + i * band, base_top + (i + 1) * band):
            for x in range(int(round(cx - 3.6 * s)), int(round(cx + 3.6 * s))):
                put(x, yy, colour)
    tip_y = base_top + len(bands) * band
    for yy in range(tip_y, tip_y + band):
        for x in range(int(round(cx - 1.8 * s)), int(round(cx + 1.8 * s))):
            put(x, yy, BLACK)
    return grid


def dib(grid):
    """The icon image as the system stores it: header, palette, colour bits, AND mask."""
    size = len(grid)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    colour_rows, mask_rows = [], []
    for row in reversed(grid):  # bottom-up
        nibbles = [0 if c is CLEAR else c for c in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        colour_rows.append(packed + b"\0" * (-len(packed) % 4))
        bits = 0
        mask = bytearray()
        for i, c in enumerate(row):
            bits = (bits << 1) | (1 if c is CLEAR else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        mask_rows.append(bytes(mask) + b"\0" * (-len(mask) % 4))
    return header + palette + b"".join(colour_rows) + b"".join(mask_rows)


def ico(grids):
    images = [dib(g) for g in grids]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for grid, image in zip(grids, images):
        size = len(grid)
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    icons = {
        "on.ico": [draw_bulb(32, True, False), draw_bulb(16, True, False)],
        "off.ico": [draw_bulb(32, False, False), draw_bulb(16, False, False)],
        "alert.ico": [draw_bulb(32, True, True)],
    }
    for name, grids in icons.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(ico(grids))


if __name__ == "__main__":
    main()
