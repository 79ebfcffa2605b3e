#!/usr/bin/env python3
"""Writes the small sample pictures of the brush tests (run from this folder).

rgba.png     8 x 6 true colour with alpha: pixel (x, y) has red 30x, green 40y,
             blue 200 and alpha 255 - 40x (0 at x = 7 is clamped to 15).
palette.png  8 x 4, 4-bit palette of five colours, pen (x + y) mod 5, pen 0
             transparent (tRNS).
rgb.bmp      5 x 3, 24-bit, bottom-up rows padded to 4 bytes: pixel (x, y) is
             red 50x, green 100y, blue 7.
gradient.jpg comes from make_jpeg.lua, written by the host's own JPEG encoder.
"""
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, color_type, depth, rows, extra=b""):
    header = struct.pack(">IIBBBBB", width, height, depth, color_type, 0, 0, 0)
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def rgba_png():
    rows = []
    for y in range(6):
        row = b""
        for x in range(8):
            row += bytes([30 * x, 40 * y, 200, max(15, 255 - 40 * x)])
        rows.append(row)
    return png(8, 6, 6, 8, rows)


PALETTE = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)]


def palette_png():
    rows = []
    for y in range(4):
        pens = [(x + y) % 5 for x in range(8)]
        rows.append(bytes((pens[i] << 4) | pens[i + 1] for i in range(0, 8, 2)))
    plte = chunk(b"PLTE", b"".join(bytes(c) for c in PALETTE))
    trns = chunk(b"tRNS", b"\x00")
    return png(8, 4, 3, 4, rows, plte + trns)


def rgb_bmp():
    width, height = 5, 3
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for y in reversed(range(height)):
        row = b"".join(bytes([7, 100 * y, 50 * x]) for x in range(width))
        pixels += row + b"\x00" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


if __name__ == "__main__":
    for name, data in (("rgba.png", rgba_png()), ("palette.png", palette_png()),
                       ("rgb.bmp", rgb_bmp())):
        with open(name, "wb") as f:
            f.write(data)
