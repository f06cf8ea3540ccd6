#!/usr/bin/env python3
"""Draws the installer's welcome and finish picture (164 x 314, 24-bit BMP): the program's icon,
twice its size, on a plum gradient. Run by the build: wizard.py <output.bmp>
"""
import pathlib
import struct
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / 'resources' / 'icons'))
import icon  # noqa: E402  (the icon's pictures and palette)

WIDTH, HEIGHT = 164, 314
TOP, BOTTOM = (160, 104, 150), (72, 26, 64)
SCALE = 2


def main(out):
    rows = icon.ICON_48.split()
    size = len(rows) * SCALE
    left, top = (WIDTH - size) // 2, 48
    picture = []
    for y in range(HEIGHT):
        t = y / (HEIGHT - 1)
        background = tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM))
        row = [background] * WIDTH
        iy = (y - top) // SCALE
        if 0 <= y - top < size:
            for x in range(size):
                key = rows[iy][x // SCALE]
                if key != '.':
                    row[left + x] = icon.PALETTE[key]
        picture.append(row)
    stride = (WIDTH * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(picture):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    pathlib.Path(out).write_bytes(header + info + pixels)


if __name__ == '__main__':
    main(sys.argv[1])
