#!/usr/bin/env python3
"""Draws the application icon, kelvane-ravo-tools.png: six white spokes (the six axes) around
a hub on a rounded teal square. Pure Python, so it runs without image libraries:
    python3 tool/resources/draw_icon.py tool/resources/kelvane-ravo-tools.png
A name ending in .ico gets the same picture as a Windows icon file (the PNG inside an icon
directory), for the Windows executable and its installer:
    python3 tool/resources/draw_icon.py tool/resources/kelvane-ravo-tools.ico
"""
import math
import struct
import sys
import zlib

SIZE = 128
SAMPLES = 4  # supersampling per axis, for smooth edges

BACKGROUND = (18, 110, 130)
ACCENT = (255, 196, 40)
WHITE = (255, 255, 255)


def inside_rounded_square(x, y):
    margin, radius = 4.0, 22.0
    lo, hi = margin + radius, SIZE - margin - radius
    cx, cy = min(max(x, lo), hi), min(max(y, lo), hi)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def colour_at(x, y):
    """Colour of one sample point, or None outside the icon."""
    if not inside_rounded_square(x, y):
        return None
    c = SIZE / 2
    r = math.hypot(x - c, y - c)
    if r <= 11:
        return ACCENT
    if r <= 15:
        return WHITE
    for k in range(6):
        angle = math.pi / 2 + k * math.pi / 3
        ex, ey = c + 44 * math.cos(angle), c - 44 * math.sin(angle)
        if distance_to_segment(x, y, c, c, ex, ey) <= 5:
            return WHITE
        if math.hypot(x - ex, y - ey) <= 9:
            return ACCENT if k % 2 == 0 else WHITE
    return BACKGROUND


def pixel(px, py):
    r = g = b = a = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            colour = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            if colour:
                r, g, b, a = r + colour[0], g + colour[1], b + colour[2], a + 1
    if a == 0:
        return (0, 0, 0, 0)
    return (r // a, g // a, b // a, 255 * a // (SAMPLES * SAMPLES))


def png(rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico(png_bytes):
    directory = struct.pack("<HHH", 0, 1, 1)  # reserved, type icon, one image
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(png_bytes), 6 + 16)
    return directory + entry + png_bytes


if __name__ == "__main__":
    image = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    picture = png(image)
    with open(sys.argv[1], "wb") as out:
        out.write(ico(picture) if sys.argv[1].endswith(".ico") else picture)
