#!/usr/bin/env python3
"""Writes the tiny font, the frame strip and each case's expected picture as
XPM. The expected pictures are laid out by hand: every piece and glyph is
placed at coordinates worked out on paper (see the comments), not by the
program's own rules."""

COLOURS = {'.': '#000000', 'g': '#A8B8D0', 'd': '#506078', 'w': '#FFFFFF'}

TOP_LEFT = ["..gggggg", ".ggggggg", "ggdddddd"] + ["ggd....."] * 5
TOP = ["gggggggg", "gggggggg", "dddddddd"] + ["........"] * 5
LEFT = ["ggd....."] * 8

def flip_v(piece): return piece[::-1]
def flip_h(piece): return [row[::-1] for row in piece]

# Strip slots 0..7: top-left, bottom-left, top-right, bottom-right, left,
# top, right, bottom edge (the pictures, whatever their keys say).
PIECES = [TOP_LEFT, flip_v(TOP_LEFT), flip_h(TOP_LEFT), flip_h(flip_v(TOP_LEFT)),
          LEFT, TOP, flip_h(LEFT), flip_v(TOP)]

GLYPHS = {
    ord('H'): ["........", "w....w..", "w....w..", "w....w..", "wwwwww..", "w....w..",
               "w....w..", "w....w..", "........", "........", "........"],
    ord('i'): ["........", "..w.....", "........", ".ww.....", "..w.....", "..w.....",
               "..w.....", ".www....", "........", "........", "........"],
    ord("'"): ["........", "..w.....", "..w.....", ".w......", "........", "........",
               "........", "........", "........", "........", "........"],
}
FONT_WIDTH = 8 * 106  # codes 0..105: a font narrower than 2048 pixels


def blank(width, height):
    return [['.'] * width for _ in range(height)]


def put(picture, rows, x, y):
    for dy, row in enumerate(rows):
        for dx, pixel in enumerate(row):
            if 0 <= y + dy < len(picture) and 0 <= x + dx < len(picture[0]):
                picture[y + dy][x + dx] = pixel


def write_xpm(path, picture):
    height, width = len(picture), len(picture[0])
    lines = ['/* XPM */', 'static const char *image[] = {',
             f'"{width} {height} {len(COLOURS)} 1",']
    lines += [f'"{key} c {value}",' for key, value in COLOURS.items()]
    lines += [f'"{"".join(row)}",' for row in picture]
    lines[-1] = lines[-1].rstrip(',')
    lines.append('};')
    with open(path, 'w') as out:
        out.write('\n'.join(lines) + '\n')


font = blank(FONT_WIDTH, 11)
for code, rows in GLYPHS.items():
    put(font, rows, 8 * code, 0)
write_xpm('tinyfont.xpm', font)

strip = blank(64, 8)
for slot, piece in enumerate(PIECES):
    put(strip, piece, 8 * slot, 0)
write_xpm('frame.xpm', strip)

TL, BL, TR, BR, L, T, R, B = PIECES

# two-pages: width 4 (4 columns, x 8..39), height 1 (3 rows). Text
# "Hi<Wait>" CR LF "i`". Window 1 at row 0: y 8..31. Window 2 after one
# empty row: row 4, y 40..63. "Hi" at (16, 14) and (24, 14); the second page
# starts at y 32, its line break moves it to y 47: "i" at (16, 47) and the
# grave accent, shown as an apostrophe, at (24, 47).
picture = blank(48, 72)
for top in (8, 40):
    put(picture, TL, 8, top); put(picture, T, 16, top); put(picture, T, 24, top); put(picture, TR, 32, top)
    put(picture, L, 8, top + 8); put(picture, R, 32, top + 8)
    put(picture, BL, 8, top + 16); put(picture, B, 16, top + 16); put(picture, B, 24, top + 16)
    put(picture, BR, 32, top + 16)
put(picture, GLYPHS[ord('H')], 16, 14)
put(picture, GLYPHS[ord('i')], 24, 14)
put(picture, GLYPHS[ord('i')], 16, 47)
put(picture, GLYPHS[ord("'")], 24, 47)
write_xpm('two-pages/expected.xpm', picture)

# close-outside: width 0 (2 columns, x 8..23), height 1. Text "H<Close>i":
# "H" at (16, 14); <Close> puts the line top at y 0 and keeps the column, so
# "i" stands at (24, 0), right of the window and over nothing.
picture = blank(40, 32)
put(picture, TL, 8, 8); put(picture, TR, 16, 8)
put(picture, L, 8, 16); put(picture, R, 16, 16)
put(picture, BL, 8, 24); put(picture, BR, 16, 24)
put(picture, GLYPHS[ord('H')], 16, 14)
put(picture, GLYPHS[ord('i')], 24, 0)
write_xpm('close-outside/expected.xpm', picture)
