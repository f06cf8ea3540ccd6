#!/usr/bin/env python3
"""Draws the push button kinds' glyphs as 24-bit BMP files: two 18 x 18 cells side by side, the
glyph and its disabled look, on the key colour magenta (the bottom-left pixel says which).

Run from this folder when a glyph changes; the BMP files are committed beside it.
"""
import math
import struct

CELL = 18
KEY = (255, 0, 255)
GREEN = (0, 128, 0)
RED = (192, 0, 0)
BLUE = (0, 64, 176)
BROWN = (128, 80, 32)
GREY = (96, 96, 96)
WHITE = (255, 255, 255)
GOLD = (224, 176, 0)


def canvas():
    return [[KEY] * CELL for _ in range(CELL)]


def dot(c, x, y, colour, size=1):
    for dy in range(size):
        for dx in range(size):
            if 0 <= x + dx < CELL and 0 <= y + dy < CELL:
                c[y + dy][x + dx] = colour


def line(c, x0, y0, x1, y1, colour, size=2):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        dot(c, round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), colour, size)


def ring(c, cx, cy, r, colour, width=2, gap=None):
    for y in range(CELL):
        for x in range(CELL):
            d = math.hypot(x - cx, y - cy)
            if r - width < d <= r:
                angle = math.degrees(math.atan2(cy - y, x - cx)) % 360
                if gap is None or not (gap[0] <= angle <= gap[1]):
                    c[y][x] = colour


def disc(c, cx, cy, r, colour):
    for y in range(CELL):
        for x in range(CELL):
            if math.hypot(x - cx, y - cy) <= r:
                c[y][x] = colour


def check(c, colour, dx=0):
    line(c, 3 + dx, 9, 6 + dx, 12, colour)
    line(c, 6 + dx, 12, 13 + dx, 4, colour)


def ok():
    c = canvas()
    check(c, GREEN)
    return c


def cancel():
    c = canvas()
    line(c, 4, 4, 13, 13, RED)
    line(c, 13, 4, 4, 13, RED)
    return c


def help_():
    c = canvas()
    ring(c, 8.5, 6.5, 4.5, BLUE, gap=(200, 300))
    line(c, 9, 10, 8, 12, BLUE)
    dot(c, 8, 14, BLUE, 2)
    return c


def yes():
    c = canvas()
    check(c, GREEN)
    return c


def no():
    c = canvas()
    ring(c, 8.5, 8.5, 7, RED)
    line(c, 4, 4, 13, 13, RED)
    return c


def close():
    c = canvas()
    for y in range(2, 16):
        for x in range(4, 13):
            if x in (4, 12) or y in (2, 15):
                c[y][x] = BROWN
    for y in range(3, 15):
        for x in range(5, 12):
            c[y][x] = GOLD if (x, y) == (10, 9) else (176, 120, 64)
    return c


def abort():
    c = canvas()
    disc(c, 8.5, 8.5, 7, RED)
    for x in range(4, 14):
        dot(c, x, 8, WHITE, 1)
        dot(c, x, 9, WHITE, 1)
    return c


def retry():
    c = canvas()
    ring(c, 8.5, 8.5, 6.5, BLUE, gap=(40, 100))
    for i in range(4):
        line(c, 11 + i, 1 + i, 11 + i, 6, BLUE, 1)
    return c


def ignore():
    c = canvas()
    line(c, 2, 8, 10, 8, GREY)
    for i in range(4):
        line(c, 10 + i, 5 + i, 10 + i, 12 - i, GREY, 1)
    return c


def all_():
    c = canvas()
    check(c, GREEN, -2)
    check(c, GREEN, 3)
    return c


def disabled(c):
    """The classic disabled look: the shape in grey over a white copy one pixel down-right."""
    out = canvas()
    for y in range(CELL):
        for x in range(CELL):
            if c[y][x] != KEY and x + 1 < CELL and y + 1 < CELL:
                out[y + 1][x + 1] = WHITE
    for y in range(CELL):
        for x in range(CELL):
            if c[y][x] != KEY:
                out[y][x] = (128, 128, 128)
    return out


def write_bmp(name, cells):
    width = CELL * len(cells)
    rows = b""
    for y in reversed(range(CELL)):
        row = b"".join(bytes((b, g, r)) for cell in cells for (r, g, b) in cell[y])
        rows += row + b"\0" * ((4 - len(row) % 4) % 4)
    header = struct.pack("<IiiHHIIiiII", 40, width, CELL, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(name, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 54) + header + rows)


KINDS = {"ok": ok, "cancel": cancel, "help": help_, "yes": yes, "no": no, "close": close, "abort": abort,
         "retry": retry, "ignore": ignore, "all": all_}

if __name__ == "__main__":
    for kind, draw in KINDS.items():
        glyph = draw()
        glyph[CELL - 1][0] = KEY  # the key colour's own pixel
        write_bmp(f"button_{kind}.bmp", [glyph, disabled(glyph)])
