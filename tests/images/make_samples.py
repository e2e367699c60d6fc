#!/usr/bin/env python3
r"""Writes BMP and PNG files of many variants, each with the RGB pixels a
reader must produce, so the loaders are checked against an independent writer.

Usage: make_samples.py DIR. For every sample NAME it writes DIR/NAME.bmp or
DIR/NAME.png and DIR/NAME.rgb ("W H TOLERANCE\n" then the RGB rows from the top).
"""
import struct
import sys
import zlib
from pathlib import Path


def colour(x, y):
    return ((x * 37 + y * 11) % 256, (x * 5 + y * 53) % 256, (x * 91 + y * 7 + 13) % 256)


def bmp_file(header, palette, rows, bottom_up):
    body = b"".join(reversed(rows) if bottom_up else rows)
    offset = 14 + len(header) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(body), 0, 0, offset) + header + palette + body


def pad(row):
    return row + b"\0" * (-len(row) % 4)


def info_header(w, h, bpp, compression=0, used=0, size=40, masks=None):
    hdr = struct.pack("<IiiHHIIiiII", size, w, h, 1, bpp, compression, 0, 3780, 3780, used, 0)
    if size > 40:
        extra = b"".join(struct.pack("<I", m) for m in (masks or [])) if masks else b""
        hdr += extra + b"\0" * (size - 40 - len(extra))
    return hdr


def direct_bmp(w, h, bpp, top_down=False, compression=0, masks=None, header_size=40):
    rows, expect = [], []
    for y in range(h):
        row = b""
        for x in range(w):
            r, g, b = colour(x, y)
            if bpp == 24:
                row += bytes((b, g, r))
            elif bpp == 32 and not masks:
                row += bytes((b, g, r, 0x7F))
            elif bpp == 32:  # masks R, G, B, A given in that order
                v = 0
                for m, c in zip(masks[:3], (r, g, b)):
                    shift = (m & -m).bit_length() - 1
                    v |= (c << shift) & m
                row += struct.pack("<I", v | (masks[3] if len(masks) > 3 else 0))
            elif bpp == 16:
                if masks:  # 5-6-5
                    r5, g6, b5 = r >> 3, g >> 2, b >> 3
                    row += struct.pack("<H", (r5 << 11) | (g6 << 5) | b5)
                    r, g, b = (r5 * 255 + 15) // 31, (g6 * 255 + 31) // 63, (b5 * 255 + 15) // 31
                else:  # 5-5-5
                    r5, g5, b5 = r >> 3, g >> 3, b >> 3
                    row += struct.pack("<H", (r5 << 10) | (g5 << 5) | b5)
                    r, g, b = (r5 * 255 + 15) // 31, (g5 * 255 + 15) // 31, (b5 * 255 + 15) // 31
            expect.append(bytes((r, g, b)))
        rows.append(pad(row))
    extra = b""
    if masks and header_size == 40:
        extra = b"".join(struct.pack("<I", m) for m in masks[:3])
    header = info_header(w, -h if top_down else h, bpp, compression, 0, header_size, masks)
    return bmp_file(header, extra, rows, not top_down), w, h, b"".join(expect)


def indexed_bmp(w, h, bpp, used=0, core=False, top_down=False):
    n = used or (1 << bpp)
    pal = [((i * 67) % 256, (i * 131 + 7) % 256, (i * 29 + 200) % 256) for i in range(n)]
    palette = b"".join(bytes((b, g, r)) if core else bytes((b, g, r, 0)) for r, g, b in pal)
    rows, expect = [], []
    for y in range(h):
        idx = [(x * 3 + y * 5) % n for x in range(w)]
        bits = "".join(format(i, "0%db" % bpp) for i in idx)
        bits += "0" * (-len(bits) % 8)
        rows.append(pad(bytes(int(bits[k:k + 8], 2) for k in range(0, len(bits), 8))))
        expect.extend(bytes(pal[i]) for i in idx)
    if core:
        header = struct.pack("<IHHHH", 12, w, h, 1, bpp)
    else:
        header = info_header(w, -h if top_down else h, bpp, 0, used)
    return bmp_file(header, palette, rows, not top_down), w, h, b"".join(expect)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_file(w, h, colour_type, depth, rows, extra=b""):
    ihdr = struct.pack(">IIBBBBB", w, h, depth, colour_type, 0, 0, 0)
    raw = b"".join(b"\0" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + extra +
            png_chunk(b"IDAT", zlib.compress(raw)) + png_chunk(b"IEND", b""))


def over_white(c, a):
    return (c * a + 255 * (255 - a) + 127) // 255


def png_samples():
    w, h = 7, 5
    out = {}
    rows, exp = [], []
    for y in range(h):
        rows.append(b"".join(bytes(colour(x, y)) for x in range(w)))
        exp.append(rows[-1])
    out["png_rgb8"] = (png_file(w, h, 2, 8, rows), w, h, b"".join(exp), 0)
    rows, exp = [], []
    for y in range(h):
        row, e = b"", b""
        for x in range(w):
            r, g, b = colour(x, y)
            a = (0, 128, 255, 64)[(x + y) % 4]
            row += bytes((r, g, b, a))
            e += bytes(over_white(c, a) for c in (r, g, b))
        rows.append(row)
        exp.append(e)
    out["png_rgba8"] = (png_file(w, h, 6, 8, rows), w, h, b"".join(exp), 1)
    rows = [bytes((x * 40 + y) % 256 for x in range(w)) for y in range(h)]
    exp = [b"".join(bytes((v, v, v)) for v in r) for r in rows]
    out["png_grey8"] = (png_file(w, h, 0, 8, rows), w, h, b"".join(exp), 0)
    rows, exp = [], []
    for y in range(h):
        row, e = b"", b""
        for x in range(w):
            c = colour(x, y)
            row += b"".join(struct.pack(">H", v * 257 + (x & 1)) for v in c)
            e += bytes(c)
        rows.append(row)
        exp.append(e)
    out["png_rgb16"] = (png_file(w, h, 2, 16, rows), w, h, b"".join(exp), 1)
    pal = [(200, 10, 10), (10, 200, 10), (10, 10, 200), (250, 250, 0)]
    trns = bytes((255, 0, 128, 255))
    rows, exp = [], []
    for y in range(h):
        idx = [(x + 2 * y) % 4 for x in range(w)]
        bits = "".join(format(i, "02b") for i in idx)
        bits += "0" * (-len(bits) % 8)
        rows.append(bytes(int(bits[k:k + 8], 2) for k in range(0, len(bits), 8)))
        exp.append(b"".join(bytes(over_white(c, trns[i]) for c in pal[i]) for i in idx))
    extra = png_chunk(b"PLTE", b"".join(bytes(p) for p in pal)) + png_chunk(b"tRNS", trns)
    out["png_palette2"] = (png_file(w, h, 3, 2, rows, extra), w, h, b"".join(exp), 1)
    return out


def main():
    if len(sys.argv) != 2 or sys.argv[1].startswith("-"):
        sys.exit(__doc__.strip())
    d = Path(sys.argv[1])
    d.mkdir(parents=True, exist_ok=True)
    samples = {
        "bmp24_bottom_up": direct_bmp(5, 3, 24),
        "bmp24_top_down": direct_bmp(5, 3, 24, top_down=True),
        "bmp32": direct_bmp(6, 4, 32),
        "bmp32_v5_masks_top_down": direct_bmp(6, 4, 32, True, 3, [0xFF00, 0xFF0000, 0xFF000000, 0xFF], 124),
        "bmp16_555": direct_bmp(7, 3, 16),
        "bmp16_565": direct_bmp(7, 3, 16, False, 3, [0xF800, 0x07E0, 0x001F]),
        "bmp8_used20": indexed_bmp(9, 4, 8, used=20),
        "bmp8_top_down": indexed_bmp(9, 4, 8, top_down=True),
        "bmp4": indexed_bmp(7, 5, 4),
        "bmp1": indexed_bmp(13, 3, 1),
        "bmp8_core": indexed_bmp(10, 3, 8, core=True),
    }
    for name, (data, w, h, rgb) in samples.items():
        (d / (name + ".bmp")).write_bytes(data)
        (d / (name + ".rgb")).write_bytes(b"%d %d 0\n" % (w, h) + rgb)
    for name, (data, w, h, rgb, tol) in png_samples().items():
        (d / (name + ".png")).write_bytes(data)
        (d / (name + ".rgb")).write_bytes(b"%d %d %d\n" % (w, h, tol) + rgb)


if __name__ == "__main__":
    main()
