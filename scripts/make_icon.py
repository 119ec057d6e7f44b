#!/usr/bin/env python3
"""Draws the program icon, a gamepad, and writes it as a 32x32 256-colour .ico.

The image is built from circles and rectangles only, so the output is the same
byte for byte on every run. Usage: make_icon.py [OUTPUT] (default res/app.ico
beside this script's parent folder).
"""

import os
import struct
import sys

SIZE = 32

# Palette indices of the colours the drawing uses; NAMED_COLOURS holds them in
# this order as (red, green, blue).
TRANSPARENT = 0
OUTLINE = 1
BODY = 2
PAD = 3
RED = 4
GREEN = 5
BLUE = 6
YELLOW = 7
SLOT = 8

NAMED_COLOURS = [
    (0, 0, 0),  # behind the AND mask
    (24, 28, 40),
    (70, 82, 110),
    (222, 226, 234),
    (220, 52, 52),
    (52, 176, 84),
    (56, 110, 220),
    (236, 196, 40),
    (40, 46, 64),
]


def palette():
    """The named colours, then a 6x6x6 colour cube, then greys up to 256 entries."""
    colours = list(NAMED_COLOURS)
    steps = [0, 51, 102, 153, 204, 255]
    colours += [(r, g, b) for r in steps for g in steps for b in steps]
    grey_count = 256 - len(colours)
    colours += [(round(255 * (i + 1) / (grey_count + 1)),) * 3 for i in range(grey_count)]
    return colours


def in_circle(x, y, cx, cy, radius):
    # Pixel centres, so that shapes are symmetric about their centres.
    dx, dy = x + 0.5 - cx, y + 0.5 - cy
    return dx * dx + dy * dy <= radius * radius


def in_rect(x, y, left, top, right, bottom):
    return left <= x < right and top <= y < bottom


def in_body(x, y):
    """Two round grips joined by a rounded bar."""
    return (
        in_circle(x, y, 9, 13, 7)
        or in_circle(x, y, 23, 13, 7)
        or in_rect(x, y, 9, 7, 23, 20)
        or in_circle(x, y, 8, 19, 5.5)
        or in_circle(x, y, 24, 19, 5.5)
    )


def in_dpad(x, y):
    return in_rect(x, y, 5, 12, 12, 15) or in_rect(x, y, 7, 10, 10, 17)


BUTTONS = [(23, 10, YELLOW), (26.5, 13.5, RED), (19.5, 13.5, BLUE), (23, 17, GREEN)]


def pixel(x, y):
    if not in_body(x, y):
        return TRANSPARENT
    edge = any(not in_body(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
    if edge:
        return OUTLINE
    if in_dpad(x, y):
        return PAD
    for cx, cy, colour in BUTTONS:
        if in_circle(x, y, cx, cy, 1.8):
            return colour
    if in_rect(x, y, 13, 15, 15, 16) or in_rect(x, y, 17, 15, 19, 16):
        return SLOT
    return BODY


def icon_bytes():
    pixels = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    header = struct.pack(
        "<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, SIZE * SIZE + SIZE * SIZE // 8, 0, 0, 0, 0
    )
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette())
    # Rows run bottom-up; each row is already a multiple of four bytes long.
    xor = b"".join(bytes(row) for row in reversed(pixels))
    mask = b""
    for row in reversed(pixels):
        bits = 0
        for index in row:
            bits = (bits << 1) | (index == TRANSPARENT)
        mask += bits.to_bytes(SIZE // 8, "big")
    image = header + colours + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def main():
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "app.ico")
    target = sys.argv[1] if len(sys.argv) > 1 else default
    with open(target, "wb") as out:
        out.write(icon_bytes())


if __name__ == "__main__":
    main()
