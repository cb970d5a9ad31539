#!/usr/bin/env python3
"""Draws the icon of the address manager and writes it as a Windows .ico file.

The icon shows a globe with an index card in front of it: Internet addresses
kept in a card index. The file holds two images, 32 x 32 and 16 x 16 pixels,
each with 16 colours (4 bits per pixel, the standard VGA palette) and an AND
mask for the transparent parts. The output depends only on this script.

Usage: python3 tools/make_icon.py resources/qxinet.ico
"""

import struct
import sys

# The standard 16-colour VGA palette in the Windows order, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

BLACK, DARK_RED, DARK_GREEN, OLIVE, DARK_BLUE, PURPLE, TEAL, LIGHT_GREY = range(8)
DARK_GREY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)

# Letters of the sprites below; '.' leaves the pixel as it is.
SPRITE_COLOURS = {
    'K': BLACK, 'R': RED, 'r': DARK_RED, 'W': WHITE, 'L': LIGHT_GREY,
    'D': DARK_GREY, 'B': BLUE, 'b': DARK_BLUE, 'Y': YELLOW,
}

# Land masses seen from above the Atlantic: the Americas on the left, Europe
# and Africa on the right ('#' is land; only what lies on the globe counts).
LAND_32 = [
    "................................",
    "................................",
    "...........######...............",
    ".........#########.....###......",
    ".......###########....#####.....",
    "......############.....####.....",
    ".....##########.......######....",
    "....##########.......########...",
    "....#########........#######....",
    "...#########.........######.....",
    "...########..........#########..",
    "...#######..........###########.",
    "....#####...........###########.",
    ".....####...........###########.",
    "......###...........###########.",
    ".......##...........##########..",
    "........#####........#########..",
    ".........######.......#######...",
    ".........#######......######....",
    "..........#######.....#####.....",
    "..........#######......####.....",
    "...........######......###......",
    "...........#####.......##.......",
    "............####................",
    "............###.................",
    "............##..................",
    "............#...................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]

LAND_16 = [
    "................",
    "................",
    ".....###....##..",
    "...#####...###..",
    "..#####...#####.",
    "..####....#####.",
    "...##.....#####.",
    "....###....###..",
    ".....###...##...",
    ".....###........",
    "......##........",
    "................",
    "................",
    "................",
    "................",
    "................",
]

# The index card in front of the globe, with its red header strip.
CARD_32 = [
    "KKKKKKKKKKKKKK",
    "KRRRRRRRRRRRRK",
    "KRRRRRRRRRRRRK",
    "KWWWWWWWWWWWWK",
    "KWKKKKKKKWWWWK",
    "KWWWWWWWWWWWWK",
    "KWDDDDDDDDDDWK",
    "KWWWWWWWWWWWWK",
    "KWDDDDDDDWWWWK",
    "KKKKKKKKKKKKKK",
]

CARD_16 = [
    "KKKKKKK",
    "KRRRRRK",
    "KWWWWWK",
    "KWKKKWK",
    "KWWWWWK",
    "KKKKKKK",
]


def draw(size, diameter, land, card, card_at):
    """Returns the picture as rows of palette indices, None for transparent."""
    pixels = [[None] * size for _ in range(size)]
    centre = size - 1            # the centre in doubled coordinates
    inside = lambda x, y: (2 * x - centre) ** 2 + (2 * y - centre) ** 2 <= diameter * diameter

    for y in range(size):
        for x in range(size):
            if not inside(x, y):
                continue
            dx, dy = 2 * x - centre, 2 * y - centre
            # Light from the upper left: what lies farther than the globe's
            # radius from a point up and left of the centre is in shadow.
            sx, sy = dx + diameter // 3, dy + diameter // 3
            shaded = sx * sx + sy * sy > diameter * diameter
            if land[y][x] == '#':
                colour = DARK_GREEN if shaded else GREEN
            else:
                colour = DARK_BLUE if shaded else BLUE
            pixels[y][x] = colour

    # The outline: every globe pixel next to one outside the globe.
    for y in range(size):
        for x in range(size):
            if pixels[y][x] is None:
                continue
            for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                if not (0 <= nx < size and 0 <= ny < size) or not inside(nx, ny):
                    pixels[y][x] = BLACK
                    break

    left, top = card_at
    for row, line in enumerate(card):
        for col, letter in enumerate(line):
            if letter != '.':
                pixels[top + row][left + col] = SPRITE_COLOURS[letter]
    return pixels


def encode_image(pixels):
    """One icon image: BITMAPINFOHEADER, palette, XOR bitmap and AND mask."""
    size = len(pixels)
    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor_bits = bytearray()
    and_bits = bytearray()
    for y in reversed(range(size)):          # bitmaps are stored bottom-up
        row = bytearray(xor_stride)
        mask = bytearray(and_stride)
        for x in range(size):
            colour = pixels[y][x]
            if colour is None:
                mask[x // 8] |= 0x80 >> (x % 8)
                colour = 0
            row[x // 2] |= colour << (4 if x % 2 == 0 else 0)
        xor_bits += row
        and_bits += mask
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         len(xor_bits) + len(and_bits), 0, 0, 0, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor_bits) + bytes(and_bits)


def build_icon():
    images = [
        (32, encode_image(draw(32, 29, LAND_32, CARD_32, (17, 21)))),
        (16, encode_image(draw(16, 15, LAND_16, CARD_16, (9, 10)))),
    ]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return out


def main(argv):
    if len(argv) != 2:
        sys.stderr.write('usage: make_icon.py OUTPUT.ico\n')
        return 2
    with open(argv[1], 'wb') as f:
        f.write(build_icon())
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
