#!/usr/bin/env python3
"""Draws the program icon, a gamepad, and writes it as an .ico of five sizes.

16, 24, 32 and 48 pixels as 32-bit images with alpha, 256 pixels as PNG: what
Windows picks for the small and large icons, the task bar at 100-200 % and
Explorer's views. The drawing is circles and rectangles on a 32-unit grid,
sampled 4 x 4 times a pixel, so every size is drawn rather than scaled and the
output is the same byte for byte on every run. Usage: make_icon.py [OUTPUT]
(default res/app.ico beside this script's parent folder).
"""

import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 256)
PNG_FROM = 256  # this size and larger are stored as PNG
GRID = 32  # the units the drawing is given in
SAMPLES = 4  # per pixel, in each direction

OUTLINE = (24, 28, 40)
BODY = (70, 82, 110)
PAD = (222, 226, 234)
SLOT = (40, 46, 64)
BUTTONS = [(23, 10, (236, 196, 40)), (26.5, 13.5, (220, 52, 52)), (19.5, 13.5, (56, 110, 220)),
           (23, 17, (52, 176, 84))]


def in_circle(x, y, cx, cy, radius):
    dx, dy = x - cx, y - cy
    return dx * dx + dy * dy <= radius * radius


def in_rect(x, y, left, top, right, bottom):
    return left <= x < right and top <= y < bottom


def in_body(x, y, inset=0.0):
    """Two round grips joined by a rounded bar, shrunk by inset units."""
    return (
        in_circle(x, y, 9, 13, 7 - inset)
        or in_circle(x, y, 23, 13, 7 - inset)
        or in_rect(x, y, 9, 7 + inset, 23, 20 - inset)
        or in_circle(x, y, 8, 19, 5.5 - inset)
        or in_circle(x, y, 24, 19, 5.5 - inset)
    )


def in_dpad(x, y):
    return in_rect(x, y, 5, 12, 12, 15) or in_rect(x, y, 7, 10, 10, 17)


def colour(x, y, outline):
    """The colour at a point of the grid, None outside the pad."""
    if not in_body(x, y):
        return None
    if not in_body(x, y, outline):
        return OUTLINE
    if in_dpad(x, y):
        return PAD
    for cx, cy, button in BUTTONS:
        if in_circle(x, y, cx, cy, 1.8):
            return button
    if in_rect(x, y, 13, 15, 15, 16) or in_rect(x, y, 17, 15, 19, 16):
        return SLOT
    return BODY


def pixels(size):
    """Rows of (red, green, blue, alpha), top row first."""
    unit = GRID / size
    outline = max(unit, 0.5)  # at least one pixel wide, at most one unit
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            seen = [colour((px + (sx + 0.5) / SAMPLES) * unit, (py + (sy + 0.5) / SAMPLES) * unit,
                           outline) for sy in range(SAMPLES) for sx in range(SAMPLES)]
            inside = [c for c in seen if c is not None]
            if not inside:
                row.append((0, 0, 0, 0))
                continue
            mean = [round(sum(c[i] for c in inside) / len(inside)) for i in range(3)]
            row.append((*mean, round(255 * len(inside) / len(seen))))
        rows.append(row)
    return rows


def bitmap_image(rows):
    """A 32-bit DIB of the icon directory: colours bottom-up, then the AND mask."""
    size = len(rows)
    mask_stride = (size + 31) // 32 * 4
    colours = b"".join(struct.pack("<BBBB", b, g, r, a) for row in reversed(rows)
                       for r, g, b, a in row)
    mask = b""
    for row in reversed(rows):
        bits = 0
        for pixel in row:
            bits = (bits << 1) | (pixel[3] == 0)
        mask += (bits << (8 * mask_stride - size)).to_bytes(mask_stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colours) + len(mask),
                         0, 0, 0, 0)
    return header + colours + mask


def png_image(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data))

    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon_bytes():
    images = [(size, (png_image if size >= PNG_FROM else bitmap_image)(pixels(size)))
              for size in SIZES]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, image in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image),
                                 offset)
        offset += len(image)
    return directory + b"".join(image for _, image in images)


def main():
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "app.ico")
    target = sys.argv[1] if len(sys.argv) > 1 else default
    with open(target, "wb") as out:
        out.write(icon_bytes())


if __name__ == "__main__":
    main()
