#!/usr/bin/env python3
"""Draws the form's menu glyphs (16 x 16, black on the mask colour magenta) as 24-bit BMP files.

Run from this folder when a glyph changes; the BMP files are committed beside it.
"""
import struct

SIZE = 16
MASK = (255, 0, 255)
INK = (0, 0, 0)


def canvas():
    return [[MASK] * SIZE for _ in range(SIZE)]


def rect(c, x0, y0, x1, y1, fill=False):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if fill or x in (x0, x1) or y in (y0, y1):
                c[y][x] = INK


def line(c, x0, y0, x1, y1):
    steps = max(abs(x1 - x0), abs(y1 - y0))
    for i in range(steps + 1):
        c[y0 + (y1 - y0) * i // steps][x0 + (x1 - x0) * i // steps] = INK


def close():
    c = canvas()
    for d in (0, 1):
        line(c, 4 + d, 4, 11 + d, 11)
        line(c, 11 + d, 4, 4 + d, 11)
    return c


def minimize():
    c = canvas()
    rect(c, 4, 11, 10, 12, fill=True)
    return c


def maximize():
    c = canvas()
    rect(c, 3, 3, 12, 12)
    rect(c, 3, 4, 12, 4, fill=True)
    return c


def restore():
    c = canvas()
    rect(c, 6, 3, 12, 9)
    rect(c, 6, 4, 12, 4, fill=True)
    for y in range(6, 13):
        for x in range(3, 10):
            c[y][x] = MASK
    rect(c, 3, 6, 9, 12)
    rect(c, 3, 7, 9, 7, fill=True)
    return c


def rollup():
    c = canvas()
    rect(c, 3, 3, 12, 5, fill=True)
    for i in range(4):
        rect(c, 7 - i, 8 + i, 8 + i, 8 + i, fill=True)
    return c


def tray():
    c = canvas()
    rect(c, 2, 12, 13, 13, fill=True)
    line(c, 4, 3, 10, 9)
    line(c, 5, 3, 11, 9)
    rect(c, 7, 9, 11, 9, fill=True)
    rect(c, 11, 5, 11, 9, fill=True)
    return c


def move():
    c = canvas()
    rect(c, 7, 2, 8, 13, fill=True)
    rect(c, 2, 7, 13, 8, fill=True)
    for i in range(1, 3):
        rect(c, 7 - i, 2 + i, 8 + i, 2 + i, fill=True)
        rect(c, 7 - i, 13 - i, 8 + i, 13 - i, fill=True)
        rect(c, 2 + i, 7 - i, 2 + i, 8 + i, fill=True)
        rect(c, 13 - i, 7 - i, 13 - i, 8 + i, fill=True)
    return c


def size():
    c = canvas()
    for d in (0, 1):
        line(c, 3 + d, 3, 12 + d, 12)
    rect(c, 3, 3, 7, 4, fill=True)
    rect(c, 3, 3, 4, 7, fill=True)
    rect(c, 9, 11, 13, 12, fill=True)
    rect(c, 12, 8, 13, 12, fill=True)
    return c


def write_bmp(name, c):
    rows = b"".join(bytes(v for (r, g, b) in row for v in (b, g, r)) for row in reversed(c))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(name, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 54) + header + rows)


for name, draw in [("close", close), ("minimize", minimize), ("maximize", maximize), ("restore", restore),
                   ("rollup", rollup), ("tray", tray), ("move", move), ("size", size)]:
    write_bmp("form_%s.bmp" % name, draw())
