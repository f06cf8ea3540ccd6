#!/usr/bin/env python3
"""Draws the 57 bitmaps of the Plum skin into bitmaps/ as opaque RGB PNG files.

Run by hand after changing the art: python3 resources/skins/plum/draw_bitmaps.py
Pure magenta (255, 0, 255) marks see-through pixels; the skin loader keys it. Images that
hold several states stack them top to bottom in bands of equal height.
"""

import os
import struct
import zlib

KEY = (255, 0, 255)
WHITE = (255, 255, 255)

# Plum palette: one family of hues so every part reads as one skin.
OUTLINE = (58, 16, 56)
PLUM_DARK = (74, 24, 70)
PLUM = (112, 48, 106)
PLUM_MID = (140, 72, 133)
PLUM_LIGHT = (178, 118, 171)
LILAC_BG = (244, 236, 243)
GREY_OUTLINE = (120, 106, 118)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Image:
    def __init__(self, width, height, fill=KEY):
        self.width = width
        self.height = height
        self.rows = [[fill] * width for _ in range(height)]

    def set(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = color

    def get(self, x, y):
        return self.rows[y][x]

    def fill(self, x0, y0, x1, y1, color):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.rows[y][x] = color

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        span = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            self.fill(x0, y, x1, y + 1, mix(top, bottom, (y - y0) / span))

    def hgradient(self, x0, y0, x1, y1, left, right):
        span = max(1, x1 - x0 - 1)
        for x in range(x0, x1):
            self.fill(x, y0, x + 1, y1, mix(left, right, (x - x0) / span))

    def frame(self, x0, y0, x1, y1, color):
        self.fill(x0, y0, x1, y0 + 1, color)
        self.fill(x0, y1 - 1, x1, y1, color)
        self.fill(x0, y0, x0 + 1, y1, color)
        self.fill(x1 - 1, y0, x1, y1, color)

    def blit(self, other, dx, dy):
        for y in range(other.height):
            for x in range(other.width):
                if other.rows[y][x] != KEY:
                    self.set(dx + x, dy + y, other.rows[y][x])

    def write_png(self, path):
        raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in self.rows)

        def chunk(tag, data):
            body = tag + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n")
            out.write(chunk(b"IHDR", header))
            out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
            out.write(chunk(b"IEND", b""))


def cut_corners(img, x0, y0, x1, y1, radius, outline=None, corners="tl tr bl br"):
    """Makes the corners of a box see-through outside a quarter circle, keeping an outline on
    the arc when one is given."""
    r = radius
    for corner in corners.split():
        for dy in range(r):
            for dx in range(r):
                # distance from the arc centre, measured at the pixel centre
                cx, cy = r - dx - 0.5, r - dy - 0.5
                d = (cx * cx + cy * cy) ** 0.5
                x = x0 + dx if corner[1] == "l" else x1 - 1 - dx
                y = y0 + dy if corner[0] == "t" else y1 - 1 - dy
                if d > r:
                    img.set(x, y, KEY)
                elif outline is not None and d > r - 1.2:
                    img.set(x, y, outline)


def rounded_box(img, x0, y0, x1, y1, radius, border, top, bottom, shine=None):
    img.vgradient(x0, y0, x1, y1, top, bottom)
    if shine is not None:
        img.fill(x0 + 1, y0 + 1, x1 - 1, y0 + 2, shine)
    img.frame(x0, y0, x1, y1, border)
    cut_corners(img, x0, y0, x1, y1, radius, border)


def pattern(rows, color, shadow=None):
    """An image from a text picture: '#' is the colour, anything else see-through; a shadow
    one pixel down and right keeps light glyphs readable on light faces."""
    img = Image(len(rows[0]), len(rows))
    if shadow is not None:
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch == "#":
                    img.set(x + 1, y + 1, shadow)
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch == "#":
                img.set(x, y, color)
    return img


def stack(bands):
    """Stacks equal-sized band images top to bottom."""
    out = Image(bands[0].width, bands[0].height * len(bands))
    for i, band in enumerate(bands):
        for y in range(band.height):
            out.rows[i * band.height + y] = list(band.rows[y])
    return out


# ---- window frame ---------------------------------------------------------------------

ACTIVE = dict(outline=OUTLINE, light=(204, 150, 198), top=(164, 92, 156), mid=(118, 52, 112),
              bottom=(86, 30, 82), inner=PLUM_DARK, side=(112, 48, 106), side_light=(168, 108, 161))
INACTIVE = dict(outline=GREY_OUTLINE, light=(206, 190, 204), top=(162, 139, 159), mid=(140, 117, 137),
                bottom=(124, 102, 121), inner=(118, 100, 116), side=(160, 140, 157), side_light=(198, 184, 196))


def caption_band(p):
    """One 66x29 caption: a glossy plum bar, rounded at the top, whose middle columns are
    stretched over the title's width, so every row is one colour across the middle."""
    img = Image(66, 29)
    for y in range(29):
        if y < 13:
            color = mix(p["top"], p["mid"], y / 12)
        else:
            color = mix(p["mid"], p["bottom"], (y - 13) / 15)
        img.fill(0, y, 66, y + 1, color)
    img.fill(0, 1, 66, 2, p["light"])
    img.fill(0, 0, 66, 1, p["outline"])
    img.fill(0, 28, 66, 29, p["inner"])
    # the side borders continue those of the frame below
    for x, key in ((0, "outline"), (1, "side_light"), (64, "side_light"), (65, "outline")):
        img.fill(x, 1, x + 1, 29, p[key])
    img.fill(4, 28, 5, 29, p["inner"])
    img.fill(61, 28, 62, 29, p["inner"])
    cut_corners(img, 0, 0, 66, 29, 7, p["outline"], "tl tr")
    return img


def frame_caption():
    img = Image(66, 58)
    img.blit(caption_band(ACTIVE), 0, 0)
    inactive = caption_band(INACTIVE)
    for y in range(29):
        img.rows[29 + y] = list(inactive.rows[y])
    return img


def side_band(p, mirror):
    img = Image(5, 30)
    cols = [p["outline"], p["side_light"], p["side"], p["side"], p["inner"]]
    if mirror:
        cols = [p["inner"], p["side"], p["side"], mix(p["side"], p["side_light"], 0.5), p["outline"]]
    for x, color in enumerate(cols):
        img.fill(x, 0, x + 1, 30, color)
    return img


def frame_side(mirror):
    # active rows 0..29, inactive rows 31..60; the spare rows 30 and 61 repeat their band
    img = Image(5, 62)
    img.blit(side_band(ACTIVE, mirror), 0, 0)
    img.blit(side_band(ACTIVE, mirror), 0, 1)
    img.blit(side_band(INACTIVE, mirror), 0, 31)
    img.blit(side_band(INACTIVE, mirror), 0, 32)
    return img


def bottom_band(p):
    img = Image(49, 5)
    rows = [p["inner"], p["side"], p["side"], mix(p["side"], p["outline"], 0.4), p["outline"]]
    for y, color in enumerate(rows):
        img.fill(0, y, 49, y + 1, color)
    # the left and right columns continue the side borders down to the rounded corners
    left = [p["outline"], p["side_light"], p["side"], p["side"], p["inner"]]
    right = [p["inner"], p["side"], p["side"], mix(p["side"], p["side_light"], 0.5), p["outline"]]
    # columns 4 and 44 are shared with the tiled middle, so they stay plain bottom band
    for x in range(4):
        img.fill(x, 0, x + 1, 4, left[x])
        img.fill(45 + x, 0, 46 + x, 4, right[x + 1])
    img.fill(0, 4, 49, 5, p["outline"])
    img.set(0, 4, KEY)
    img.set(48, 4, KEY)
    img.set(1, 3, p["outline"])
    img.set(47, 3, p["outline"])
    return img


def frame_bottom():
    img = Image(49, 10)
    img.blit(bottom_band(ACTIVE), 0, 0)
    img.blit(bottom_band(INACTIVE), 0, 5)
    return img


# ---- caption buttons and glyphs ------------------------------------------------------------

def face(border, top, bottom, shine):
    img = Image(21, 21)
    rounded_box(img, 0, 0, 21, 21, 4, border, top, bottom, shine)
    return img


def caption_faces(close):
    if close:
        normal = face((120, 30, 62), (214, 92, 124), (160, 40, 78), (236, 150, 172))
        hot = face((140, 40, 72), (240, 124, 152), (196, 62, 100), (252, 190, 206))
        pressed = face((96, 18, 46), (128, 28, 58), (170, 54, 88), None)
    else:
        normal = face((82, 28, 78), (168, 100, 160), (120, 56, 114), (210, 160, 204))
        hot = face((96, 36, 92), (204, 140, 196), (150, 84, 143), (236, 200, 232))
        pressed = face((64, 16, 60), (84, 30, 80), (122, 62, 116), None)
    disabled = face((150, 134, 148), (190, 176, 188), (170, 154, 168), None)
    inactive = face((116, 98, 114), (182, 164, 179), (150, 130, 147), (204, 190, 202))
    inactive_hot = face((116, 98, 114), (200, 184, 197), (166, 146, 163), (220, 208, 218))
    inactive_pressed = face((100, 84, 98), (132, 114, 129), (160, 140, 157), None)
    return stack([normal, hot, pressed, disabled, inactive, inactive_hot, inactive_pressed, disabled])


GLYPHS = {
    "close": [
        ".............",
        ".............",
        "..##.....##..",
        "..###...###..",
        "...###.###...",
        "....#####....",
        ".....###.....",
        "....#####....",
        "...###.###...",
        "..###...###..",
        "..##.....##..",
        ".............",
        ".............",
    ],
    "minimize": [
        ".............",
        ".............",
        ".............",
        ".............",
        ".............",
        ".............",
        ".............",
        ".............",
        ".............",
        "...#######...",
        "...#######...",
        ".............",
        ".............",
    ],
    "maximize": [
        ".............",
        ".............",
        "..#########..",
        "..#########..",
        "..#.......#..",
        "..#.......#..",
        "..#.......#..",
        "..#.......#..",
        "..#.......#..",
        "..#.......#..",
        "..#########..",
        ".............",
        ".............",
    ],
    "restore": [
        ".............",
        "....#######..",
        "....#######..",
        "....#.....#..",
        "..#######.#..",
        "..#######.#..",
        "..#.....#.#..",
        "..#.....###..",
        "..#.....#....",
        "..#.....#....",
        "..#######....",
        ".............",
        ".............",
    ],
    "rollup": [
        ".............",
        ".............",
        "..#########..",
        "..#########..",
        ".............",
        "......#......",
        ".....###.....",
        "....#####....",
        "...###.###...",
        "..###...###..",
        "..##.....##..",
        ".............",
        ".............",
    ],
    "rolldown": [
        ".............",
        ".............",
        "..#########..",
        "..#########..",
        ".............",
        "..##.....##..",
        "..###...###..",
        "...###.###...",
        "....#####....",
        ".....###.....",
        "......#......",
        ".............",
        ".............",
    ],
    "tray": [
        ".............",
        ".............",
        ".....###.....",
        ".....###.....",
        ".....###.....",
        "...#######...",
        "....#####....",
        ".....###.....",
        "......#......",
        ".............",
        "..#########..",
        "..#########..",
        ".............",
    ],
    "help": [
        ".............",
        "....#####....",
        "...##...##...",
        "...##...##...",
        "........##...",
        ".......##....",
        "......##.....",
        "......##.....",
        ".............",
        "......##.....",
        "......##.....",
        ".............",
        ".............",
    ],
}


def caption_glyph(name):
    """Eight 13x13 bands: normal, hot, pressed (also shown on an inactive window), disabled,
    then the same four again."""
    rows = GLYPHS[name]
    normal = pattern(rows, WHITE, (60, 14, 56))
    hot = pattern(rows, WHITE, (70, 20, 66))
    pressed = pattern(rows, (238, 224, 236), (72, 44, 70))
    disabled = pattern(rows, (196, 186, 194), None)
    return stack([normal, hot, pressed, disabled] * 2)


# ---- small controls -----------------------------------------------------------------------

MARK_LOOKS = {
    # border, top and bottom of the inside
    "normal": (PLUM, WHITE, (236, 226, 235)),
    "hot": (PLUM_MID, (255, 246, 254), (238, 208, 234)),
    "pressed": (PLUM_DARK, (214, 186, 210), (236, 218, 233)),
    "disabled": ((184, 172, 182), (240, 238, 240), (240, 238, 240)),
}


def check_box_band(state, mark):
    img = Image(13, 13)
    border, top, bottom = MARK_LOOKS[state]
    img.vgradient(0, 0, 13, 13, top, bottom)
    img.frame(0, 0, 13, 13, border)
    if state == "hot":
        img.frame(1, 1, 12, 12, (232, 178, 224))
    ink = (170, 160, 168) if state == "disabled" else (84, 26, 80)
    if mark == "checked":
        for x, y in ((3, 6), (3, 7), (4, 7), (4, 8), (5, 8), (5, 9), (6, 7), (6, 8), (7, 6), (7, 7), (8, 5), (8, 6),
                     (9, 4), (9, 5), (4, 6), (5, 7), (6, 6), (7, 5), (8, 4), (9, 3)):
            img.set(x, y, ink)
    elif mark == "mixed":
        img.fill(3, 3, 10, 10, mix(ink, WHITE, 0.25))
        img.frame(3, 3, 10, 10, ink)
    return img


def check_box():
    bands = []
    for mark in ("unchecked", "checked", "mixed"):
        for state in ("normal", "hot", "pressed", "disabled"):
            bands.append(check_box_band(state, mark))
    return stack(bands)


def radio_band(state, checked):
    img = Image(13, 13)
    border, inner_top, inner_bottom = MARK_LOOKS[state]
    dot = (170, 160, 168) if state == "disabled" else (96, 32, 92)
    for y in range(13):
        for x in range(13):
            d = ((x - 6) ** 2 + (y - 6) ** 2) ** 0.5
            if d <= 4.9:
                img.set(x, y, mix(inner_top, inner_bottom, y / 12))
            elif d <= 6.1:
                img.set(x, y, border)
    if checked:
        for y in range(13):
            for x in range(13):
                if ((x - 6) ** 2 + (y - 6) ** 2) ** 0.5 <= 2.3:
                    img.set(x, y, dot)
    return img


def radio_button():
    bands = []
    for checked in (False, True):
        for state in ("normal", "hot", "pressed", "disabled"):
            bands.append(radio_band(state, checked))
    return stack(bands)


STATE_FACES = {
    # border, top, bottom
    "normal": ((150, 112, 146), (252, 248, 252), (226, 210, 224)),
    "hot": ((140, 80, 134), (255, 244, 254), (234, 196, 228)),
    "pressed": ((112, 52, 106), (210, 178, 206), (232, 214, 230)),
    "disabled": ((196, 188, 195), (240, 238, 240), (232, 228, 232)),
    "focused": ((112, 48, 106), (252, 246, 252), (222, 200, 219)),
}


def state_box(width, height, state, radius=3):
    border, top, bottom = STATE_FACES[state]
    img = Image(width, height)
    rounded_box(img, 0, 0, width, height, radius, border, top, bottom, WHITE if state != "pressed" else None)
    return img


def push_button():
    bands = [state_box(20, 23, s) for s in ("normal", "hot", "pressed", "disabled")]
    focused = state_box(20, 23, "focused")
    focused.frame(2, 2, 18, 21, (200, 150, 194))
    return stack(bands + [focused])


def toolbar_buttons():
    empty = Image(20, 23)  # flat until hot
    checked = state_box(20, 23, "pressed")
    checked_hot = state_box(20, 23, "hot")
    checked_hot.frame(1, 1, 19, 22, (196, 140, 190))
    return stack([empty, state_box(20, 23, "hot"), state_box(20, 23, "pressed"), Image(20, 23), checked, checked_hot])


def triangle(direction, size, color):
    """A filled arrow head centred in a size x size image, pointing up, down, left or right."""
    img = Image(size, size)
    c = size // 2
    rows = 4 if size < 10 else 5
    for i in range(rows):
        line = c - rows // 2 + i
        for j in range(c - i, c + i + 1):
            if direction == "up":
                img.set(j, line, color)
            elif direction == "down":
                img.set(j, size - 1 - line, color)
            elif direction == "left":
                img.set(line, j, color)
            else:
                img.set(size - 1 - line, j, color)
    return img


STATE_ORDER = ("normal", "hot", "pressed", "disabled")


def scroll_arrows():
    bands = []
    for _direction in ("up", "down", "left", "right"):
        for state in STATE_ORDER:
            bands.append(state_box(17, 17, state, 2))
    return stack(bands)


def scroll_arrow_glyphs():
    bands = []
    for direction in ("up", "down", "left", "right"):
        for state in STATE_ORDER:
            ink = {"normal": PLUM_DARK, "hot": PLUM, "pressed": OUTLINE, "disabled": (190, 180, 188)}[state]
            bands.append(triangle(direction, 9, ink))
    return stack(bands)


def scroll_shaft(vertical):
    bands = []
    for state in STATE_ORDER:
        img = Image(17, 17)
        base = {"normal": LILAC_BG, "hot": (240, 226, 238), "pressed": (214, 190, 210), "disabled": (242, 240, 242)}[state]
        edge = mix(base, PLUM, 0.18)
        if vertical:
            img.hgradient(0, 0, 17, 17, edge, base)
            img.fill(0, 0, 1, 17, edge)
            img.fill(16, 0, 17, 17, edge)
        else:
            img.vgradient(0, 0, 17, 17, edge, base)
            img.fill(0, 0, 17, 1, edge)
            img.fill(0, 16, 17, 17, edge)
        bands.append(img)
    return stack(bands)


def scroll_thumb(width, height, vertical):
    bands = []
    for state in STATE_ORDER:
        border, top, bottom = STATE_FACES[state]
        img = Image(width, height)
        if vertical:
            img.hgradient(0, 0, width, height, top, bottom)
        else:
            img.vgradient(0, 0, width, height, top, bottom)
        img.frame(0, 0, width, height, border)
        cut_corners(img, 0, 0, width, height, 3, border)
        bands.append(img)
    return stack(bands)


def thumb_gripper(vertical):
    bands = []
    for state in STATE_ORDER:
        img = Image(8, 8)
        dark = (190, 180, 188) if state == "disabled" else mix(PLUM, WHITE, 0.2 if state != "hot" else 0.0)
        for i in (1, 3, 5):
            for j in range(1, 7):
                if vertical:  # ridges across a vertical thumb
                    img.set(j, i, dark)
                    img.set(j + 1, i + 1, WHITE)
                else:
                    img.set(i, j, dark)
                    img.set(i + 1, j + 1, WHITE)
        bands.append(img)
    return stack(bands)


def field_outline():
    img = Image(14, 7, WHITE)
    img.frame(0, 0, 7, 7, (166, 132, 162))
    img.frame(7, 0, 14, 7, PLUM)
    img.frame(8, 1, 13, 6, (236, 214, 232))
    return img


def mdi_caption_button():
    return stack([state_box(13, 13, s, 2) for s in STATE_ORDER])


MDI_GLYPHS = {
    "close": ["..........", ".##....##.", "..##..##..", "...####...", "....##....", "...####...", "..##..##..",
              ".##....##.", "..........", ".........."],
    "minimize": ["..........", "..........", "..........", "..........", "..........", "..........", "..........",
                 "..######..", "..######..", ".........."],
    "restore": ["..........", "...######.", "...######.", "...#....#.", ".######.#.", ".######.#.", ".#....###.",
                ".#....#...", ".######...", ".........."],
}


def mdi_glyph(name):
    inks = (PLUM_DARK, PLUM, OUTLINE, (190, 180, 188))
    return stack([pattern(MDI_GLYPHS[name], ink) for ink in inks])


def group_box():
    img = Image(22, 20)
    img.frame(0, 0, 22, 20, (196, 168, 192))
    img.frame(1, 1, 21, 19, WHITE)
    img.fill(1, 1, 2, 19, WHITE)
    cut_corners(img, 0, 0, 22, 20, 4, (196, 168, 192))
    for x, y in ((1, 3), (3, 1), (2, 2), (20, 3), (18, 1), (1, 16), (3, 18), (20, 16), (18, 18)):
        if img.get(x, y) == WHITE:
            img.set(x, y, (196, 168, 192))
    return img


def progress_track_vert():
    img = Image(19, 9, WHITE)
    img.hgradient(1, 0, 18, 9, (236, 226, 235), WHITE)
    img.fill(0, 0, 1, 9, (166, 132, 162))
    img.fill(18, 0, 19, 9, (166, 132, 162))
    return img


def progress_chunk(vertical):
    w, h = (12, 10) if vertical else (10, 12)
    img = Image(w, h)
    if vertical:
        img.hgradient(0, 0, w, h - 2, PLUM_LIGHT, PLUM)
        img.fill(0, 0, w, 1, (214, 170, 208))
    else:
        img.vgradient(0, 0, w - 2, h, PLUM_LIGHT, PLUM)
        img.fill(0, 0, w - 2, 1, (214, 170, 208))
    return img


def slider_track():
    img = Image(5, 5, (236, 228, 235))
    img.frame(0, 0, 5, 5, (150, 120, 146))
    img.fill(1, 1, 4, 2, (196, 180, 194))
    return img


def track_thumb(width, height, point):
    """Trackbar thumbs in five bands: normal, hot, pressed, focused, disabled; point is the
    side the thumb points to, or None for a plain bar."""
    bands = []
    for state in ("normal", "hot", "pressed", "focused", "disabled"):
        border, top, bottom = STATE_FACES[state]
        img = Image(width, height)
        if width < height:
            img.hgradient(0, 0, width, height, top, bottom)
        else:
            img.vgradient(0, 0, width, height, top, bottom)
        img.frame(0, 0, width, height, border)
        tip = min(width, height) // 2
        if point is not None:
            for i in range(tip):
                for j in range(tip - i):
                    for x, y in {
                        "down": ((j, height - 1 - i), (width - 1 - j, height - 1 - i)),
                        "up": ((j, i), (width - 1 - j, i)),
                        "right": ((width - 1 - i, j), (width - 1 - i, height - 1 - j)),
                        "left": ((i, j), (i, height - 1 - j)),
                    }[point]:
                        img.set(x, y, KEY)
            # the slanted edges keep the border
            for i in range(tip + 1):
                j = tip - i
                for x, y in {
                    "down": ((j, height - 1 - i), (width - 1 - j, height - 1 - i)),
                    "up": ((j, i), (width - 1 - j, i)),
                    "right": ((width - 1 - i, j), (width - 1 - i, height - 1 - j)),
                    "left": ((i, j), (i, height - 1 - j)),
                }[point]:
                    img.set(x, y, border)
        else:
            cut_corners(img, 0, 0, width, height, 2, border)
        if state == "focused":
            img.set(width // 2, height // 2, PLUM)
        bands.append(img)
    return stack(bands)


def combo_button():
    return stack([state_box(15, 16, s, 2) for s in STATE_ORDER])


def combo_glyph():
    bands = []
    for ink in (PLUM_DARK, PLUM, OUTLINE, (190, 180, 188)):
        img = Image(10, 7)
        for i in range(4):
            img.fill(1 + i, 1 + i, 9 - i, 2 + i, ink)
        bands.append(img)
    return stack(bands)


def group_background():
    img = Image(111, 10, (246, 240, 245))
    img.fill(0, 0, 1, 10, WHITE)
    img.fill(110, 0, 111, 10, WHITE)
    img.fill(1, 0, 2, 10, (220, 200, 217))
    img.fill(109, 0, 110, 10, (220, 200, 217))
    return img


def group_head():
    img = Image(111, 21)
    img.hgradient(0, 0, 111, 21, WHITE, (214, 180, 209))
    img.fill(0, 20, 111, 21, (220, 200, 217))
    cut_corners(img, 0, 0, 111, 21, 4, None, "tl tr")
    return img


def group_chevron(up):
    bands = []
    for state in ("normal", "hot", "pressed"):
        img = Image(19, 19)
        ring = {"normal": (196, 160, 191), "hot": PLUM_MID, "pressed": PLUM_DARK}[state]
        for y in range(19):
            for x in range(19):
                d = ((x - 9) ** 2 + (y - 9) ** 2) ** 0.5
                if d <= 8.0:
                    img.set(x, y, WHITE if d <= 7.0 else ring)
        ink = PLUM if state != "hot" else PLUM_MID
        for base in (5, 9):
            for i in range(4):
                y = base + (i if up else 3 - i)
                img.set(9 - i, y, ink)
                img.set(9 + i, y, ink)
                img.set(9 - i, y + 1, ink)
                img.set(9 + i, y + 1, ink)
        bands.append(img)
    return stack(bands)


def tab_pane_edge():
    img = Image(48, 48, (252, 249, 252))
    img.vgradient(1, 1, 47, 47, WHITE, (246, 238, 245))
    img.frame(0, 0, 48, 48, (170, 136, 166))
    return img


def tab_item():
    bands = []
    for state in ("normal", "hot", "selected", "disabled", "focused"):
        face_state = {"selected": "normal", "focused": "focused"}.get(state, state)
        border, top, bottom = STATE_FACES[face_state]
        img = Image(18, 18)
        if state == "selected":
            top, bottom = WHITE, (252, 249, 252)
        img.vgradient(0, 0, 18, 18, top, bottom)
        img.fill(0, 0, 18, 1, border)
        img.fill(0, 0, 1, 18, border)
        img.fill(17, 0, 18, 18, border)
        if state == "hot":
            img.fill(1, 1, 17, 3, PLUM_LIGHT)
        if state == "selected":
            img.fill(1, 1, 17, 3, PLUM_MID)
        else:
            img.fill(0, 17, 18, 18, (170, 136, 166))
        cut_corners(img, 0, 0, 18, 18, 3, border, "tl tr")
        bands.append(img)
    return stack(bands)


def toolbar_background():
    img = Image(64, 64)
    img.vgradient(0, 0, 64, 64, (252, 248, 252), (226, 210, 224))
    img.fill(0, 63, 64, 64, (200, 178, 197))
    return img


def toolbar_gripper():
    img = Image(10, 6)
    for x in (2, 5):
        for y in (1, 4):
            img.set(x + 1, y + 1, WHITE)
            img.set(x, y, PLUM_LIGHT)
    return img


def list_header(accent):
    bands = []
    for state in ("normal", "hot", "pressed", "sorted", "disabled"):
        face_state = {"sorted": "normal"}.get(state, state)
        _, top, bottom = STATE_FACES[face_state]
        img = Image(18, 18)
        img.vgradient(0, 0, 18, 18, top, bottom)
        img.fill(0, 17, 18, 18, (190, 164, 186))
        img.fill(16, 3, 17, 15, (210, 190, 207))
        img.fill(17, 3, 18, 15, WHITE)
        if state == "hot":
            img.fill(0, 15, 16, 17, accent)
        if state == "sorted":
            img.fill(0, 0, 16, 2, accent)
        bands.append(img)
    return stack(bands)


def status_background():
    img = Image(68, 15)
    img.vgradient(0, 0, 68, 15, (238, 228, 237), (250, 246, 250))
    img.fill(0, 0, 68, 1, (190, 164, 186))
    img.fill(0, 1, 68, 2, WHITE)
    return img


def status_pane():
    img = Image(3, 15)
    img.fill(0, 2, 1, 13, (190, 164, 186))
    img.fill(1, 2, 2, 13, WHITE)
    return img


def resize_grip():
    img = Image(32, 17)
    # dots on the diagonal of the bottom-right corner
    for row in range(4):
        for col in range(row + 1):
            x = 28 - 4 * (row - col)
            y = 14 - 4 * col
            img.set(x, y, PLUM_LIGHT)
            img.set(x + 1, y, PLUM_LIGHT)
            img.set(x, y + 1, PLUM_LIGHT)
            img.set(x + 1, y + 1, WHITE)
    return img


# ---- the table, in stream order -----------------------------------------------------------

def bitmaps():
    return [
        ("FRAMEBOTTOM.BMP", frame_bottom()),
        ("FRAMECAPTION.BMP", frame_caption()),
        ("FRAMELEFT.BMP", frame_side(False)),
        ("FRAMERIGHT.BMP", frame_side(True)),
        ("CAPTIONBUTTON.bmp", caption_faces(False)),
        ("CLOSEBUTTON.bmp", caption_faces(True)),
        ("CLOSEGLYPH.BMP", caption_glyph("close")),
        ("MAXIMIZEGLYPH.BMP", caption_glyph("maximize")),
        ("RESTOREGLYPH.BMP", caption_glyph("restore")),
        ("MINIMIZEGLYPH.BMP", caption_glyph("minimize")),
        ("FIELDOUTLINEBLUE.BMP", field_outline()),
        ("MDICAPTIONBUTTON.BMP", mdi_caption_button()),
        ("CHECKBOX13.bmp", check_box()),
        ("SCROLLSHAFTHORIZONTAL.BMP", scroll_shaft(False)),
        ("SCROLLARROWS.BMP", scroll_arrows()),
        ("SCROLLARROWGLYPHS.BMP", scroll_arrow_glyphs()),
        ("SCROLLTHUMBGRIPPERHORIZONTAL.BMP", thumb_gripper(False)),
        ("SCROLLTHUMBHORIZONTAL.BMP", scroll_thumb(22, 15, False)),
        ("SCROLLTHUMBVERTICAL.BMP", scroll_thumb(15, 22, True)),
        ("SCROLLSHAFTVERTICAL.BMP", scroll_shaft(True)),
        ("SCROLLTHUMBGRIPPERVERTICAL.BMP", thumb_gripper(True)),
        ("BUTTON.bmp", push_button()),
        ("TOOLBARBUTTONS.BMP", toolbar_buttons()),
        ("HELPGLYPH.BMP", caption_glyph("help")),
        ("GROUPBOX.BMP", group_box()),
        ("PROGRESSTRACKVERT.BMP", progress_track_vert()),
        ("PROGRESSCHUNK.BMP", progress_chunk(False)),
        ("PROGRESSCHUNKVERT.BMP", progress_chunk(True)),
        ("SLIDERTRACK.BMP", slider_track()),
        ("TRACKBARHORIZONTAL.BMP", track_thumb(11, 21, None)),
        ("COMBOBUTTON.BMP", combo_button()),
        ("COMBOBUTTONGLYPH.BMP", combo_glyph()),
        ("NORMALGROUPBACKGROUND.BMP", group_background()),
        ("NORMALGROUPHEAD.BMP", group_head()),
        ("NORMALGROUPCOLLAPSE.BMP", group_chevron(True)),
        ("NORMALGROUPEXPAND.BMP", group_chevron(False)),
        ("TABPANEEDGE.BMP", tab_pane_edge()),
        ("TABITEM.BMP", tab_item()),
        ("ROLlDOWNPGLYPH.bmp", caption_glyph("rolldown")),
        ("ROLLUPGLYPH.bmp", caption_glyph("rollup")),
        ("TRAYGLYPH.bmp", caption_glyph("tray")),
        ("MDIGLYPHCLOSE.BMP", mdi_glyph("close")),
        ("MDIGLYPHMINIMIZE.BMP", mdi_glyph("minimize")),
        ("MDIGLYPHRESTORE.BMP", mdi_glyph("restore")),
        ("TRACKBARUP13.BMP", track_thumb(11, 21, "up")),
        ("TRACKBARDOWN13.BMP", track_thumb(11, 21, "down")),
        ("TOOLBARBACKGROUND.BMP", toolbar_background()),
        ("TOOLBARGRIPPERVERT.BMP", toolbar_gripper()),
        ("LISTVIEWHEADER.BMP", list_header(PLUM_LIGHT)),
        ("TRACKBARVERTICAL.BMP", track_thumb(21, 11, None)),
        ("TRACKBARLEFT13.BMP", track_thumb(21, 11, "left")),
        ("TRACKBARRIGHT13.BMP", track_thumb(21, 11, "right")),
        ("RADIOBUTTON13.bmp", radio_button()),
        ("LISTVIEWHEADER.BMP", list_header(PLUM_MID)),  # the later one wins when linked by name
        ("STATUSBACKGROUND.BMP", status_background()),
        ("STATUSPANE.BMP", status_pane()),
        ("RESIZEGRIP2.BMP", resize_grip()),
    ]


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bitmaps")
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        if old.endswith(".png"):
            os.remove(os.path.join(folder, old))
    for index, (name, image) in enumerate(bitmaps(), start=1):
        image.write_png(os.path.join(folder, "%02d_%s.png" % (index, name)))
    print("wrote %d bitmaps to %s" % (len(bitmaps()), folder))


if __name__ == "__main__":
    main()
