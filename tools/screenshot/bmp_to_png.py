#!/usr/bin/env python3
"""Turns the uncompressed BMPs that the screenshot tool writes where its
toolkit has no PNG writer (the Windows build) into PNGs, with the standard
library only:

    python3 tools/screenshot/bmp_to_png.py FILE.bmp...

Each FILE.bmp becomes FILE.png beside it and is deleted. Reads 24- and
32-bit BI_RGB bitmaps, bottom-up or top-down; anything else is an error.
"""

import os
import struct
import sys
import zlib


def read_bmp(data):
    magic, _, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    if magic != b"BM":
        raise ValueError("not a BMP")
    _, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if bits not in (24, 32) or compression != 0:
        raise ValueError("only uncompressed 24- and 32-bit BMPs are read (%d bits, compression %d)" %
                         (bits, compression))
    rows = abs(height)
    stride = (width * bits // 8 + 3) // 4 * 4
    step = bits // 8
    pixels = []
    for y in range(rows):
        file_row = rows - 1 - y if height > 0 else y
        line = data[offset + file_row * stride:offset + file_row * stride + width * step]
        row = bytearray()
        for x in range(0, width * step, step):
            b, g, r = line[x:x + 3]
            row += bytes((r, g, b))
        pixels.append(bytes(row))
    return width, rows, pixels


def png_bytes(width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b"")


def main(paths):
    for path in paths:
        with open(path, "rb") as f:
            width, height, rows = read_bmp(f.read())
        with open(path[:-4] + ".png", "wb") as f:
            f.write(png_bytes(width, height, rows))
        os.remove(path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
