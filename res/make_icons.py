#!/usr/bin/env python3
"""Writes the program's own icons (res/app.ico, res/licence.ico) and hand cursor (res/hand.cur).

Run from anywhere: python3 res/make_icons.py. The outputs are committed; rerun after a change.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Pointing hand, finger tip at the top-left pixel (the hot spot 0,0).
# X = black outline, . = white fill, blank = transparent.
HAND = [
    "XXXX",
    "X..X",
    "X..X",
    "X..X",
    "X..X",
    "X..XXXX",
    "X..X..XXXX",
    "X..X..X..XXXX",
    "X..X..X..X..X",
    "X..X..X..X..X",
    "X...........X",
    "X...........X",
    "X...........X",
    "X...........X",
    "X...........X",
    " X.........X",
    "  X.......X",
    "  X.......X",
    "  XXXXXXXXX",
]


def mono_rows(size, pixel):
    """Bottom-up rows of a 1-bit bitmap, pixel(x, y) -> 0/1; rows are padded to 32 bits."""
    stride = ((size + 31) // 32) * 4
    out = b""
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if pixel(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += bytes(row)
    return out


def hand_cursor():
    size = 32

    def cell(x, y):
        if y < len(HAND) and x < len(HAND[y]):
            return HAND[y][x]
        return " "

    xor = mono_rows(size, lambda x, y: cell(x, y) == ".")
    mask = mono_rows(size, lambda x, y: cell(x, y) == " ")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor) + len(mask),
                         0, 0, 2, 2)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + palette + xor + mask
    hotspot = (0, 0)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return directory + entry + image


def canvas(size):
    """An empty size x size image and a painter of rectangles given on a 32 x 32 grid."""
    s = size / 32.0
    img = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y0 * s) + 1, int(y1 * s))):
            for x in range(int(x0 * s), max(int(x0 * s) + 1, int(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    img[y][x] = colour + (255,)

    return img, rect


def printer_pixels(size):
    """A small printer with a sheet of paper, as (r, g, b, a) rows top-down."""
    img, rect = canvas(size)

    dark, mid, light = (40, 48, 60), (120, 132, 148), (176, 188, 204)
    white, ink, green = (250, 250, 250), (90, 110, 170), (40, 200, 70)
    rect(8, 2, 24, 13, dark)          # paper going in
    rect(9, 3, 23, 13, white)
    for y in (5, 7, 9):
        rect(11, y, 21, y + 1, ink)
    rect(2, 11, 30, 25, dark)         # body
    rect(3, 12, 29, 24, mid)
    rect(3, 12, 29, 14, light)
    rect(6, 17, 26, 19, dark)         # output slot
    rect(24, 13, 27, 15, green)       # power light
    rect(8, 19, 24, 30, dark)         # sheet coming out
    rect(9, 19, 23, 29, white)
    for y in (21, 23, 25):
        rect(11, y, 21, y + 1, ink)
    return img


def licence_pixels(size):
    """A written sheet with a red seal, as (r, g, b, a) rows top-down."""
    img, rect = canvas(size)

    dark, white, ink, seal = (40, 48, 60), (250, 250, 250), (90, 110, 170), (200, 40, 40)
    rect(5, 1, 27, 31, dark)
    rect(6, 2, 26, 30, white)
    for y in (5, 8, 11, 14, 17):
        rect(9, y, 23, y + 1, ink)
    rect(17, 21, 25, 29, seal)
    rect(19, 23, 23, 27, (240, 200, 200))
    return img


def icon_image(size, draw=printer_pixels):
    img = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b""
    for y in reversed(range(size)):
        for (r, g, b, a) in img[y]:
            pixels += struct.pack("<BBBB", b, g, r, a)
    mask = mono_rows(size, lambda x, y: img[y][x][3] == 0)
    return header + pixels + mask


def app_icon(draw=printer_pixels):
    images = [icon_image(32, draw), icon_image(16, draw)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


if __name__ == "__main__":
    write("app.ico", app_icon())
    write("licence.ico", app_icon(licence_pixels))
    write("hand.cur", hand_cursor())
