#!/usr/bin/env python3
"""Draws Quobrill's setup bitmap (resource 101) as a 16-colour BMP.

    make-setup-bitmap.py OUTPUT.bmp

The picture: letter buttons A, C and D over a hard disk, on a blue ground,
with the program's name below. 117 x 222 pixels fill the width of the
dialog's picture frame (78 x 142 dialog units, 117 x 231 pixels in an
8-point MS Sans Serif) and stay clear of the separator below it where the
font is a little smaller (Wine's stand-in). Only the standard library; the
output is the same bytes on every run.
"""
import struct
import sys

WIDTH, HEIGHT = 117, 222

# The 16 colours of the standard VGA palette, as Windows' 16-colour mode
# shows them without dithering.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, DARK, GREEN, YELLOW, BLUE, CYAN, WHITE, TEAL = (
    0, 4, 7, 8, 10, 11, 12, 14, 15, 6)

# 5 x 7 letters, one string per row.
FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    ":": ["00000", "01100", "01100", "00000", "01100", "01100", "00000"],
}


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-setup-bitmap.py OUTPUT.bmp")
    pixels = [[NAVY] * WIDTH for _ in range(HEIGHT)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(max(y0, 0), min(y1, HEIGHT)):
            for x in range(max(x0, 0), min(x1, WIDTH)):
                pixels[y][x] = colour

    def text(x, y, letters, scale, colour):
        for letter in letters:
            for row, bits in enumerate(FONT[letter]):
                for column, bit in enumerate(bits):
                    if bit == "1":
                        fill(x + column * scale, y + row * scale,
                             x + (column + 1) * scale, y + (row + 1) * scale,
                             colour)
            x += 6 * scale

    def button(x, y, w, h):
        # A raised button face, like the letter bar's.
        fill(x, y, x + w, y + h, BLACK)
        fill(x, y, x + w - 1, y + h - 1, WHITE)
        fill(x + 1, y + 1, x + w - 1, y + h - 1, DARK)
        fill(x + 1, y + 1, x + w - 2, y + h - 2, GREY)

    # Ground: navy at the top into blue at the bottom, in an ordered
    # dither of the two so the bands stay crisp in 16 colours.
    bayer = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]
    for y in range(HEIGHT):
        level = y * 17 // HEIGHT
        for x in range(WIDTH):
            pixels[y][x] = BLUE if bayer[y % 4][x % 4] < level else NAVY

    # Three letter buttons.
    for index, letter in enumerate("ACD"):
        x = 10 + index * 34
        button(x, 14, 29, 31)
        text(x + 7, 19, letter, 3, BLACK)

    # Arrow from the buttons down to the disk.
    fill(56, 52, 61, 70, YELLOW)
    for step in range(7):
        fill(52 + step, 70 + step, 65 - step, 71 + step, YELLOW)

    # A hard disk: case, front panel, activity light, label strip.
    fill(14, 86, 104, 146, BLACK)
    fill(15, 87, 103, 145, DARK)
    fill(15, 87, 102, 144, GREY)
    fill(19, 91, 98, 111, WHITE)
    fill(20, 92, 98, 111, DARK)
    fill(20, 92, 97, 110, GREY)
    text(45, 95, "C:", 2, NAVY)
    fill(19, 128, 98, 131, DARK)
    fill(19, 136, 98, 138, DARK)
    fill(87, 119, 94, 123, GREEN)
    fill(87, 123, 94, 124, TEAL)

    # Name and a thin rule.
    fill(8, 176, 109, 177, CYAN)
    text(17, 188, "PELMORA", 2, WHITE)
    fill(8, 210, 109, 211, CYAN)

    write_bmp(sys.argv[1], pixels)


def write_bmp(path, pixels):
    row_bytes = ((WIDTH + 1) // 2 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for x in range(0, WIDTH, 2):
            high = row[x]
            low = row[x + 1] if x + 1 < WIDTH else 0
            line.append(high << 4 | low)
        line.extend(b"\0" * (row_bytes - len(line)))
        data.extend(line)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(data),
                       2835, 2835, 16, 16)
    with open(path, "wb") as out:
        out.write(header + info + palette + bytes(data))


if __name__ == "__main__":
    main()
