#!/usr/bin/env python3
"""Writes the default preview font image, font.bmp.

One row of 256 cells of 8 x 11 pixels, cell c at x = 8c holding the
Windows-1252 character c: white glyph pixels on black, 24 bits per pixel.
Control codes, DEL and the five codes Windows-1252 leaves undefined stay
black, as do the space and the no-break space.

Glyphs come from the X11 "fixed" font 6x10 (misc-fixed, ISO10646-1), shipped
by the Debian package xfonts-base as /usr/share/fonts/X11/misc/6x10.pcf.gz.
The misc-fixed fonts are in the public domain. 6x10 is the largest of them
whose accented capitals (Á, Ñ) fit an 11-pixel cell without clipping; the
6-pixel glyph box sits one pixel in from the cell's left and top, which
centres it and keeps accents off the window's top border.

Regenerate (needs python3 and xfonts-base, nothing else):
    python3 tools/fontbmp/make_font_bmp.py assets/font.bmp
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pcf import PcfFont  # noqa: E402

FONT_FILE = '/usr/share/fonts/X11/misc/6x10.pcf.gz'
CELL_W, CELL_H, CELLS = 8, 11, 256
OFFSET_X, OFFSET_Y = 1, 1
GLYPH = (255, 255, 255)


def codepoint(code):
    """Unicode code point of a Windows-1252 byte, or None when undefined or a control code."""
    if code < 0x20 or code == 0x7F:
        return None
    try:
        return ord(bytes([code]).decode('cp1252'))
    except UnicodeDecodeError:
        return None


def render(font):
    width = CELL_W * CELLS
    pixels = [[False] * width for _ in range(CELL_H)]
    for code in range(CELLS):
        cp = codepoint(code)
        if cp is None:
            continue
        g = font.glyph(cp)
        if g is None:
            raise SystemExit('%s has no glyph for U+%04X (code 0x%02X)' % (FONT_FILE, cp, code))
        top = OFFSET_Y + font.ascent - g.ascent
        for r, row in enumerate(g.rows):
            for col, bit in enumerate(row):
                if bit != '#':
                    continue
                x = OFFSET_X + g.left + col
                y = top + r
                if not (0 <= x < CELL_W and 0 <= y < CELL_H):
                    raise SystemExit('glyph 0x%02X does not fit its cell' % code)
                pixels[y][CELL_W * code + x] = True
    return pixels


def write_bmp(path, pixels):
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):  # BMP rows run bottom-up
        line = bytearray()
        for lit in row:
            b, g, r = (GLYPH[2], GLYPH[1], GLYPH[0]) if lit else (0, 0, 0)
            line += bytes((b, g, r))
        line += b'\0' * (stride - len(line))
        image += line
    header_size = 14 + 40
    file_header = struct.pack('<2sIHHI', b'BM', header_size + len(image), 0, 0, header_size)
    # 2835 pixels per metre = 72 dpi, what most tools write.
    info_header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(image),
                              2835, 2835, 0, 0)
    tmp = path + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(file_header + info_header + image)
    os.replace(tmp, path)


def main():
    if len(sys.argv) != 2:
        raise SystemExit('usage: make_font_bmp.py OUTPUT.bmp')
    font = PcfFont(FONT_FILE)
    write_bmp(sys.argv[1], render(font))


if __name__ == '__main__':
    main()
