#!/usr/bin/env python3
"""Draws the pictures of the installer and the uninstaller.

- setup.bmp: the wizard picture, 160 x 240 pixels in 16 colours: a computer
  with a package above it, above the words "QX Setup" in white italic
  letters, on teal. What matters lies in the upper left 118 x 170 pixels,
  because the wizard shows the picture unscaled in a frame that may be
  smaller than the bitmap.
- setup.ico: the installer's icon, the computer with a package in front.
- qxuninst.ico: the uninstaller's icon, the same crossed out in red.
Both icons hold 32 x 32 and 16 x 16 images in 16 colours (see make_icon.py).
The output depends only on this script.

Usage: python3 tools/make_setup_art.py resources/
"""

import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_icon import (PALETTE, BLACK, OLIVE, TEAL, LIGHT_GREY, DARK_GREY,  # noqa: E402
                       RED, YELLOW, BLUE, DARK_BLUE, WHITE, encode_image)

# Letters of "QX Setup", 6 wide and 9 high; x is ink.
GLYPHS = {
    'Q': [".xxxx.", "x....x", "x....x", "x....x", "x....x", "x..x.x", "x...x.", ".xxx.x", "......"],
    'X': ["x....x", "x....x", ".x..x.", "..xx..", "..xx..", ".x..x.", "x....x", "x....x", "......"],
    'S': [".xxxx.", "x....x", "x.....", ".xxx..", "....x.", ".....x", "x....x", ".xxxx.", "......"],
    'e': ["......", "......", ".xxxx.", "x....x", "xxxxxx", "x.....", "x....x", ".xxxx.", "......"],
    't': ["..x...", "..x...", "xxxxx.", "..x...", "..x...", "..x...", "..x..x", "...xx.", "......"],
    'u': ["......", "......", "x....x", "x....x", "x....x", "x....x", "x...xx", ".xxx.x", "......"],
    'p': ["......", "......", "xxxxx.", "x....x", "x....x", "x....x", "xxxxx.", "x.....", "x....."],
    ' ': ["......"] * 9,
}


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def box(self, left, top, width, height, fill, outline=BLACK):
        for y in range(top, top + height):
            for x in range(left, left + width):
                edge = y in (top, top + height - 1) or x in (left, left + width - 1)
                colour = outline if edge and outline is not None else fill
                if colour is not None:                             # None keeps what lies there
                    self.put(x, y, colour)

    def text(self, left, top, words, scale, colour, slant):
        """Letters scale times their size, leaning right by one pixel every slant rows."""
        x0 = left
        for letter in words:
            glyph = GLYPHS[letter]
            for gy, row in enumerate(glyph):
                for gx, ink in enumerate(row):
                    if ink != 'x':
                        continue
                    for dy in range(scale):
                        y = gy * scale + dy
                        shift = (len(glyph) * scale - y) // slant
                        for dx in range(scale):
                            self.put(x0 + gx * scale + dx + shift, top + y, colour)
            x0 += len(glyph[0]) * scale + 1


def computer(c, left, top, unit):
    """A monitor on a desk unit, unit pixels to the grid step."""
    u = unit
    c.box(left, top, 14 * u, 11 * u, LIGHT_GREY)                 # monitor
    c.box(left + u, top + u, 12 * u, 8 * u, DARK_BLUE)             # screen
    for y in range(top + 2 * u, top + 4 * u):                       # light on the screen
        for x in range(left + 2 * u, left + 2 * u + (top + 4 * u - y)):
            c.put(x, y, BLUE)
    c.box(left + 5 * u, top + 11 * u, 4 * u, u, DARK_GREY)        # neck
    c.box(left - u, top + 12 * u, 16 * u, 4 * u, LIGHT_GREY)      # desk unit
    c.box(left + 9 * u, top + 13 * u, 4 * u, u, DARK_GREY, None)  # drive slot


def package(c, left, top, unit):
    """A closed carton with a band of tape."""
    u = unit
    c.box(left, top, 8 * u, 6 * u, OLIVE)
    c.box(left + 3 * u, top, 2 * u, 6 * u, YELLOW)
    c.box(left, top, 8 * u, 6 * u, None)                           # outline over the tape


def picture():
    c = Canvas(160, 240, TEAL)
    package(c, 39, 10, 5)
    for y in range(44, 53, 3):                                     # motion marks below it
        c.box(57, y, 6, 2, WHITE, None)
    computer(c, 24, 56, 5)
    c.text(5, 150, "QX Setup", 2, WHITE, 4)
    return c.pixels


def icon(size, crossed):
    c = Canvas(size, size, None)
    u = size // 16
    computer(c, u, 0, u)                                          # fills the icon
    package(c, 7 * u, 9 * u, u)                                   # in front of the desk unit
    if crossed:
        for i in range(size):
            for w in range(u + 1):
                c.put(i + w - u // 2, i, RED)
                c.put(size - 1 - i + w - u // 2, i, RED)
    return c.pixels


def bmp(pixels):
    """A 4-bit Windows bitmap file with the standard palette."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 4 + 31) // 32 * 4
    bits = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            row[x // 2] |= pixels[y][x] << (4 if x % 2 == 0 else 0)
        bits += row
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(bits), 0, 0, 16, 16)
    offset = 14 + len(info) + len(palette)
    head = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    return head + info + palette + bytes(bits)


def ico(images):
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, data in images)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write('usage: make_setup_art.py OUTPUT_FOLDER\n')
        return 2
    files = {
        'setup.bmp': bmp(picture()),
        'setup.ico': ico([(s, encode_image(icon(s, False))) for s in (32, 16)]),
        'qxuninst.ico': ico([(s, encode_image(icon(s, True))) for s in (32, 16)]),
    }
    for name, data in files.items():
        with open(os.path.join(argv[1], name), 'wb') as f:
            f.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
