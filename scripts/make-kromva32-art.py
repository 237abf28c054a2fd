#!/usr/bin/env python3
"""Draws Kromva32's pictures as 16-colour BMP and ICO files.

    make-kromva32-art.py SHELL_DIR

writes SHELL_DIR/Toolbar.bmp (bitmap 128: the main toolbar's eleven 16 x 15
images in button order, 176 x 15), SHELL_DIR/LetterBar.bmp (bitmap 130:
the letters A to Z, 416 x 15) and SHELL_DIR/Kromva32.ico (icon 128: 32 x 32
and 16 x 16). Light grey, RGB(192, 192, 192), is the ground of the toolbar
pictures: toolbars show it in the button colour. Only the standard
library; the output is the same bytes on every run.
"""
import os
import struct
import sys

# The 16 colours of the standard VGA palette, as Windows' 16-colour mode
# shows them without dithering.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
GREY = 7

# One character per pixel in the pictures below.
COLOURS = {
    "K": 0,  # black
    "r": 1,  # maroon
    "g": 2,  # green
    "y": 3,  # olive
    "n": 4,  # navy
    "p": 5,  # purple
    "t": 6,  # teal
    ".": 7,  # light grey: the button colour
    "D": 8,  # dark grey
    "R": 9,  # red
    "G": 10,  # lime
    "Y": 11,  # yellow
    "B": 12,  # blue
    "M": 13,  # magenta
    "C": 14,  # cyan
    "W": 15,  # white
}

TOOL_WIDTH, TOOL_HEIGHT = 16, 15

# The main toolbar's pictures, in the order of its buttons. Each is drawn
# as layers on the grey ground: (x, y, rows), where a space leaves the
# pixel below it as it is.
RED_CROSS = [
    "RR   RR",
    "RRR RRR",
    " RRRRR ",
    "  RRR  ",
    " RRRRR ",
    "RRR RRR",
    "RR   RR",
]

TOOLS = [
    ("Save: a diskette", [(1, 1, [
        "KKKKKKKKKKKKKK",
        "KnKWWWWWWWWKnK",
        "KnKWWWWWWWWKnK",
        "KnKWDDDDDDWKnK",
        "KnKWWWWWWWWKnK",
        "KnKWDDDDDDWKnK",
        "KnKWWWWWWWWKnK",
        "KnnKKKKKKKKnnK",
        "KnnnnnnnnnnnnK",
        "KnnKKKKKKKKnnK",
        "KnnKWWKnWWKnnK",
        "KnnKWWKnWWKnnK",
        "KKKKKKKKKKKKKK",
    ])]),
    ("Disable and Exit: leaving through an open door", [(1, 1, [
        "KKKKKKKK",
        "KYKnnnnK",
        "KYYKnnnK",
        "KYYKnnnK",
        "KYYKnnnK",
        "KYYKnnnK",
        "KYYKnnnK",
        "KYYKnnnK",
        "KYYKnnnK",
        "KYYKnnnK",
        "KYYKnnnK",
        "KYKnnnnK",
        "KKKKKKKK",
    ]), (6, 3, [
        "     K    ",
        "     KK   ",
        "KKKKKKRK  ",
        "KRRRRRRRK ",
        "KRRRRRRRRK",
        "KRRRRRRRK ",
        "KKKKKKRK  ",
        "     KK   ",
        "     K    ",
    ])]),
    ("Clear: a New letter struck out", [(0, 1, [
        "KKKKKKKKKKK",
        "KWWWWWWWWWK",
        "KWWKKKWWWWK",
        "KWKKWKKWWWK",
        "KWKKWKKWKWK",
        "KWKKKKKWWWK",
        "KWKKWKKWWWK",
        "KWKKWKKWKWK",
        "KWWWWWWWWWK",
        "KKKKKKKKKKK",
    ]), (9, 8, RED_CROSS)]),
    ("Clear All: every New letter struck out", [(1, 0, [
        "KKKKKKKKKKK",
        "KWWWWWWWWWK",
        "KWKKWKWWWWK",
        "KWWWWWWWWWK",
        "KWKKWKWWWWK",
        "KWWWWWWWWWK",
        "KWKKWKWWWWK",
        "KWWWWWWWWWK",
        "KWKKWKWWWWK",
        "KWWWWWWWWWK",
        "KWKKWKWWWWK",
        "KWWWWWWWWWK",
        "KKKKKKKKKKK",
    ]), (9, 8, RED_CROSS)]),
    ("Restore Original: the undo arrow", [(1, 2, [
        "   B         ",
        "  BB         ",
        " BBBBBBBBB   ",
        "BBBBBBBBBBBB ",
        " BBBBBBBBBBBB",
        "  BB      BBB",
        "   B       BB",
        "           BB",
        "           BB",
        "          BBB",
        "       BBBBB ",
        "       BBBB  ",
    ])]),
    ("Refresh: an arrow running round a circle", [(0, 0, [
        "                ",
        "     ggg        ",
        "   ggGGg        ",
        "  gGGggg        ",
        "  gGg       g   ",
        " gGg       gGg  ",
        " gGg      gGGGg ",
        " gGg     gGGGGGg",
        " gGg       gGg  ",
        " gGg       gGg  ",
        "  gGg     gGg   ",
        "  gGGgggggGGg   ",
        "   ggGGGGGgg    ",
        "     ggggg      ",
    ])]),
    ("Options: a box of choices", [(0, 1, [
        "KKKKKKKKKKKKKKK",
        "KnnnnnnnnnnnnnK",
        "KnnnnnnnnnnnnnK",
        "KWWWWWWWWWWWWWK",
        "KWKKKWWWWWWWWWK",
        "KWKWKWWKKKKKWWK",
        "KWKKKWWWWWWWWWK",
        "KWWWWWWWWWWWWWK",
        "KWKKKWWWWWWWWWK",
        "KWKKKWWKKKKKWWK",
        "KWKKKWWWWWWWWWK",
        "KWWWWWWWWWWWWWK",
        "KKKKKKKKKKKKKKK",
    ])]),
    ("Set Label: a tag with writing", [(0, 2, [
        "      KKKKKKKKK",
        "     KYYYYYYYYK",
        "    KYYYYYYYYYK",
        "   KYYYYKKKKYYK",
        "  KYYYYYYYYYYYK",
        " KYY..YKKKKKYYK",
        "  KYYYYYYYYYYYK",
        "   KYYYYKKKKYYK",
        "    KYYYYYYYYYK",
        "     KYYYYYYYYK",
        "      KKKKKKKKK",
    ])]),
    ("Set Serial Number: a plate of figures", [(0, 3, [
        "KKKKKKKKKKKKKKKK",
        "KWWWWWWWWWWWWWWK",
        "KWWnWWnnnWnnnWWK",
        "KWnnWWWWnWWWnWWK",
        "KWWnWWnnnWWnnWWK",
        "KWWnWWnWWWWWnWWK",
        "KWnnnWnnnWnnnWWK",
        "KWWWWWWWWWWWWWWK",
        "KKKKKKKKKKKKKKKK",
    ])]),
    ("Device Properties: a drive and its sheet", [(0, 8, [
        "KKKKKKKKKKKKKKK",
        "KWWWWWWWWWWWWDK",
        "KW...........DK",
        "KW.DDDDD...GGDK",
        "KDDDDDDDDDDDDDK",
        "KKKKKKKKKKKKKKK",
    ]), (7, 0, [
        "KKKKKK  ",
        "KWWWWKK ",
        "KWWWWKWK",
        "KWWWWKKK",
        "KWKKKKWK",
        "KWWWWWWK",
        "KWKKKKWK",
        "KWWWWWWK",
        "KWKKKKWK",
        "KKKKKKKK",
    ])]),
    ("About: a speech balloon with an i", [(1, 1, [
        "   KKKKKKKK   ",
        " KKWWWWWWWWKK ",
        "KWWWWWBBWWWWWK",
        "KWWWWWBBWWWWWK",
        "KWWWWWWWWWWWWK",
        "KWWWWBBBWWWWWK",
        "KWWWWWBBWWWWWK",
        "KWWWWWBBWWWWWK",
        "KWWWWWBBWWWWWK",
        " KKWWBBBBWWKK ",
        "   KKWWWKKK   ",
        "     KWK      ",
        "      KK      ",
    ])]),
]


def tool_pictures():
    pictures = []
    for entry in TOOLS:
        name, layers = entry
        pixels = [[GREY] * TOOL_WIDTH for _ in range(TOOL_HEIGHT)]
        for x0, y0, rows in layers:
            for y, row in enumerate(rows):
                for x, c in enumerate(row):
                    if c != " ":
                        assert 0 <= x0 + x < TOOL_WIDTH, name
                        assert 0 <= y0 + y < TOOL_HEIGHT, name
                        pixels[y0 + y][x0 + x] = COLOURS[c]
        pictures.append(pixels)
    return pictures


# The letter bar's font: bold capitals, 9 pixels high, strokes 2 pixels
# wide, so that a letter reads at a glance on a 16 x 15 button.
FONT = {
    "A": ["..XXX..", ".XX.XX.", "XX...XX", "XX...XX", "XXXXXXX",
          "XX...XX", "XX...XX", "XX...XX", "XX...XX"],
    "B": ["XXXXXX.", "XX...XX", "XX...XX", "XX...XX", "XXXXXX.",
          "XX...XX", "XX...XX", "XX...XX", "XXXXXX."],
    "C": [".XXXXX.", "XX...XX", "XX.....", "XX.....", "XX.....",
          "XX.....", "XX.....", "XX...XX", ".XXXXX."],
    "D": ["XXXXX..", "XX..XX.", "XX...XX", "XX...XX", "XX...XX",
          "XX...XX", "XX...XX", "XX..XX.", "XXXXX.."],
    "E": ["XXXXXXX", "XX.....", "XX.....", "XX.....", "XXXXXX.",
          "XX.....", "XX.....", "XX.....", "XXXXXXX"],
    "F": ["XXXXXXX", "XX.....", "XX.....", "XX.....", "XXXXXX.",
          "XX.....", "XX.....", "XX.....", "XX....."],
    "G": [".XXXXX.", "XX...XX", "XX.....", "XX.....", "XX.XXXX",
          "XX...XX", "XX...XX", "XX...XX", ".XXXXXX"],
    "H": ["XX...XX", "XX...XX", "XX...XX", "XX...XX", "XXXXXXX",
          "XX...XX", "XX...XX", "XX...XX", "XX...XX"],
    "I": ["XXXXXX", "..XX..", "..XX..", "..XX..", "..XX..",
          "..XX..", "..XX..", "..XX..", "XXXXXX"],
    "J": ["....XX", "....XX", "....XX", "....XX", "....XX",
          "....XX", "XX..XX", "XX..XX", ".XXXX."],
    "K": ["XX...XX", "XX..XX.", "XX.XX..", "XXXX...", "XXX....",
          "XXXX...", "XX.XX..", "XX..XX.", "XX...XX"],
    "L": ["XX.....", "XX.....", "XX.....", "XX.....", "XX.....",
          "XX.....", "XX.....", "XX.....", "XXXXXXX"],
    "M": ["XX...XX", "XXX.XXX", "XXXXXXX", "XX.X.XX", "XX...XX",
          "XX...XX", "XX...XX", "XX...XX", "XX...XX"],
    "N": ["XX...XX", "XXX..XX", "XXX..XX", "XXXX.XX", "XX.XXXX",
          "XX..XXX", "XX..XXX", "XX...XX", "XX...XX"],
    "O": [".XXXXX.", "XX...XX", "XX...XX", "XX...XX", "XX...XX",
          "XX...XX", "XX...XX", "XX...XX", ".XXXXX."],
    "P": ["XXXXXX.", "XX...XX", "XX...XX", "XX...XX", "XXXXXX.",
          "XX.....", "XX.....", "XX.....", "XX....."],
    "Q": [".XXXXX.", "XX...XX", "XX...XX", "XX...XX", "XX...XX",
          "XX...XX", "XX.X.XX", "XX..XX.", ".XXX.XX"],
    "R": ["XXXXXX.", "XX...XX", "XX...XX", "XX...XX", "XXXXXX.",
          "XX.XX..", "XX..XX.", "XX...XX", "XX...XX"],
    "S": [".XXXXX.", "XX...XX", "XX.....", "XX.....", ".XXXXX.",
          ".....XX", ".....XX", "XX...XX", ".XXXXX."],
    "T": ["XXXXXX", "..XX..", "..XX..", "..XX..", "..XX..",
          "..XX..", "..XX..", "..XX..", "..XX.."],
    "U": ["XX...XX", "XX...XX", "XX...XX", "XX...XX", "XX...XX",
          "XX...XX", "XX...XX", "XX...XX", ".XXXXX."],
    "V": ["XX...XX", "XX...XX", "XX...XX", "XX...XX", ".XX.XX.",
          ".XX.XX.", ".XX.XX.", "..XXX..", "..XXX.."],
    "W": ["XX...XX", "XX...XX", "XX...XX", "XX...XX", "XX.X.XX",
          "XX.X.XX", "XXXXXXX", "XXX.XXX", ".X...X."],
    "X": ["XX...XX", "XX...XX", ".XX.XX.", "..XXX..", "..XXX..",
          "..XXX..", ".XX.XX.", "XX...XX", "XX...XX"],
    "Y": ["XX..XX", "XX..XX", "XX..XX", ".XXXX.", "..XX..",
          "..XX..", "..XX..", "..XX..", "..XX.."],
    "Z": ["XXXXXXX", ".....XX", "....XX.", "....XX.", "...XX..",
          "..XX...", "..XX...", ".XX....", "XXXXXXX"],
}


def draw_glyph(pixels, letter, x0, y0, colour):
    for row, bits in enumerate(FONT[letter]):
        for column, bit in enumerate(bits):
            if bit == "X":
                pixels[y0 + row][x0 + column] = colour


def letter_pictures():
    pictures = []
    for index in range(26):
        letter = chr(ord("A") + index)
        pixels = [[GREY] * TOOL_WIDTH for _ in range(TOOL_HEIGHT)]
        width = len(FONT[letter][0])
        draw_glyph(pixels, letter, (TOOL_WIDTH - width + 1) // 2, 3,
                   COLOURS["K"])
        pictures.append(pixels)
    return pictures


def strip(pictures):
    """The pictures side by side, as one bitmap."""
    return [sum((picture[y] for picture in pictures), [])
            for y in range(TOOL_HEIGHT)]


def icon_picture(size):
    """A hard disk seen a little from above, with C: on its front. None is
    the clear part of the icon."""
    pixels = [[None] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                pixels[y][x] = colour

    def draw(x0, y0, rows):
        for y, row in enumerate(rows):
            for x, c in enumerate(row):
                if c != " ":
                    pixels[y0 + y][x0 + x] = COLOURS[c]

    if size == 32:
        top, front, bottom = 6, 12, 29
    else:
        top, front, bottom = 3, 6, 15
    depth = front - top
    # The top: a band that leans back to the right, black-edged.
    for row in range(depth):
        y = top + row
        left = depth - row
        fill(left, y, size - 1, y + 1, COLOURS["W"])
        pixels[y][left] = COLOURS["K"]
        pixels[y][size - 1] = COLOURS["K"]
    fill(depth, top, size, top + 1, COLOURS["K"])
    # The front: grey with a light edge at the top and left and a shadow
    # at the bottom and right.
    fill(0, front, size, bottom, COLOURS["K"])
    fill(1, front + 1, size - 1, bottom - 1, COLOURS["D"])
    fill(1, front + 1, size - 2, bottom - 2, COLOURS["W"])
    fill(2, front + 2, size - 2, bottom - 2, COLOURS["."])
    if size == 32:
        draw(4, front + 2, BIG_C)
        fill(18, front + 5, 20, front + 7, COLOURS["n"])
        fill(18, front + 10, 20, front + 12, COLOURS["n"])
        fill(24, bottom - 5, 28, bottom - 3, COLOURS["G"])
        fill(24, bottom - 3, 28, bottom - 2, COLOURS["g"])
    else:
        draw(3, front + 2, SMALL_C)
        pixels[front + 3][8] = COLOURS["n"]
        pixels[front + 6][8] = COLOURS["n"]
        fill(11, bottom - 4, 14, bottom - 3, COLOURS["G"])
    return pixels


# The icon's letters: a C of 12 x 12 for 32 x 32, 4 x 6 for 16 x 16.
BIG_C = [
    "   nnnnnn   ",
    " nnnnnnnnnn ",
    "nnnn    nnnn",
    "nnn      nnn",
    "nnn         ",
    "nnn         ",
    "nnn         ",
    "nnn         ",
    "nnn      nnn",
    "nnnn    nnnn",
    " nnnnnnnnnn ",
    "   nnnnnn   ",
]
SMALL_C = [
    " nnn",
    "nn n",
    "nn  ",
    "nn  ",
    "nn n",
    " nnn",
]


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def packed_rows(pixels):
    """4-bit rows, bottom-up, each padded to 4 bytes."""
    width = len(pixels[0])
    row_bytes = ((width + 1) // 2 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for x in range(0, width, 2):
            high = row[x]
            low = row[x + 1] if x + 1 < width else 0
            line.append(high << 4 | low)
        line.extend(b"\0" * (row_bytes - len(line)))
        data.extend(line)
    return bytes(data)


def write_bmp(path, pixels):
    width, height = len(pixels[0]), len(pixels)
    data = packed_rows(pixels)
    palette = palette_bytes()
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data),
                       2835, 2835, 16, 16)
    with open(path, "wb") as out:
        out.write(header + info + palette + data)


def icon_image(pixels):
    """One image of an icon file: header, palette, colours, mask."""
    size = len(pixels)
    colours = [[0 if p is None else p for p in row] for row in pixels]
    xor = packed_rows(colours)
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(mask_row_bytes)
        for x, p in enumerate(row):
            if p is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask.extend(line)
    # The height counts the colour and the mask rows together.
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                       len(xor) + len(mask), 0, 0, 16, 0)
    return info + palette_bytes() + xor + bytes(mask)


def write_ico(path, pictures):
    images = [icon_image(p) for p in pictures]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for picture, image in zip(pictures, images):
        size = len(picture)
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4,
                               len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(images))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-kromva32-art.py SHELL_DIR")
    folder = sys.argv[1]
    write_bmp(os.path.join(folder, "Toolbar.bmp"), strip(tool_pictures()))
    write_bmp(os.path.join(folder, "LetterBar.bmp"), strip(letter_pictures()))
    write_ico(os.path.join(folder, "Kromva32.ico"),
              [icon_picture(32), icon_picture(16)])


if __name__ == "__main__":
    main()
