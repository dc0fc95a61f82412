"""Minimal reader for X11 PCF bitmap fonts (the format xfonts-base ships).

Only what a font image needs: per-glyph metrics, bitmaps, the code point
mapping and the font's ascent/descent. See the PCF layout in libXfont's
pcfread.c; every table carries its own format word, so byte and bit order
are decided per table.
"""
import gzip
import struct

PCF_PROPERTIES = 1 << 0
PCF_ACCELERATORS = 1 << 1
PCF_METRICS = 1 << 2
PCF_BITMAPS = 1 << 3
PCF_BDF_ENCODINGS = 1 << 5
PCF_BDF_ACCELERATORS = 1 << 8

PCF_COMPRESSED_METRICS = 0x100
PCF_BYTE_MSB = 1 << 2
PCF_BIT_MSB = 1 << 3


class Glyph:
    def __init__(self, left, right, width, ascent, descent):
        self.left = left          # left side bearing
        self.right = right        # right side bearing
        self.width = width        # advance
        self.ascent = ascent
        self.descent = descent
        self.rows = []            # list of strings of '#' and '.', ink box only


class PcfFont:
    def __init__(self, path):
        opener = gzip.open if path.endswith('.gz') else open
        with opener(path, 'rb') as f:
            self.data = f.read()
        if self.data[:4] != b'\x01fcp':
            raise ValueError(path + ': not a PCF font')
        count, = struct.unpack_from('<i', self.data, 4)
        self.tables = {}
        for i in range(count):
            ttype, fmt, size, offset = struct.unpack_from('<iiii', self.data, 8 + 16 * i)
            self.tables[ttype] = (fmt, size, offset)
        self.glyphs = self._read_metrics()
        self._read_bitmaps()
        self.encoding = self._read_encodings()
        self.ascent, self.descent = self._read_accelerators()

    def _table(self, ttype):
        fmt, _size, offset = self.tables[ttype]
        # The table repeats its format word first, always little-endian.
        fmt2, = struct.unpack_from('<i', self.data, offset)
        endian = '>' if fmt2 & PCF_BYTE_MSB else '<'
        return fmt2, endian, offset + 4

    def _read_metrics(self):
        fmt, e, pos = self._table(PCF_METRICS)
        glyphs = []
        if fmt & PCF_COMPRESSED_METRICS:
            n, = struct.unpack_from(e + 'h', self.data, pos)
            pos += 2
            for _ in range(n):
                vals = [b - 0x80 for b in self.data[pos:pos + 5]]
                glyphs.append(Glyph(*vals))
                pos += 5
        else:
            n, = struct.unpack_from(e + 'i', self.data, pos)
            pos += 4
            for _ in range(n):
                vals = struct.unpack_from(e + 'hhhhhH', self.data, pos)
                glyphs.append(Glyph(*vals[:5]))
                pos += 12
        return glyphs

    def _read_bitmaps(self):
        fmt, e, pos = self._table(PCF_BITMAPS)
        n, = struct.unpack_from(e + 'i', self.data, pos)
        pos += 4
        offsets = struct.unpack_from(e + '%di' % n, self.data, pos)
        pos += 4 * n + 16  # skip the four bitmap sizes
        pad = 1 << (fmt & 3)
        unit = 1 << ((fmt >> 4) & 3)
        msb_bit = bool(fmt & PCF_BIT_MSB)
        msb_byte = bool(fmt & PCF_BYTE_MSB)
        for g, off in zip(self.glyphs, offsets):
            w = g.right - g.left
            h = g.ascent + g.descent
            stride = ((w + 7) // 8 + pad - 1) // pad * pad
            for r in range(h):
                row = bytearray(self.data[pos + off + r * stride:pos + off + (r + 1) * stride])
                if msb_bit != msb_byte and unit > 1:
                    for u in range(0, len(row), unit):
                        row[u:u + unit] = row[u:u + unit][::-1]
                bits = []
                for x in range(w):
                    byte = row[x // 8]
                    bit = (byte >> (7 - x % 8)) & 1 if msb_bit else (byte >> (x % 8)) & 1
                    bits.append('#' if bit else '.')
                g.rows.append(''.join(bits))

    def _read_encodings(self):
        _fmt, e, pos = self._table(PCF_BDF_ENCODINGS)
        min2, max2, min1, max1, _default = struct.unpack_from(e + '5h', self.data, pos)
        pos += 10
        cols = max2 - min2 + 1
        count = cols * (max1 - min1 + 1)
        idx = struct.unpack_from(e + '%dH' % count, self.data, pos)
        mapping = {}
        for i, g in enumerate(idx):
            if g != 0xFFFF:
                b1, b2 = divmod(i, cols)
                mapping[((b1 + min1) << 8) | (b2 + min2)] = g
        return mapping

    def _read_accelerators(self):
        ttype = PCF_BDF_ACCELERATORS if PCF_BDF_ACCELERATORS in self.tables else PCF_ACCELERATORS
        _fmt, e, pos = self._table(ttype)
        ascent, descent = struct.unpack_from(e + 'ii', self.data, pos + 8)
        return ascent, descent

    def glyph(self, codepoint):
        i = self.encoding.get(codepoint)
        return None if i is None else self.glyphs[i]
