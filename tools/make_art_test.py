#!/usr/bin/env python3
"""Checks the BMP and ICO files of make_art.py against readers written from
the formats' documented layouts, and that the committed res/ is what the
script draws today.

    python3 tools/make_art_test.py
"""

import os
import struct
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_art  # noqa: E402


def read_dib(data, at, rows):
    """Decodes the BITMAPINFOHEADER DIB at `at` with `rows` colour rows:
    (width, bits, pixels top row first as (r, g, b, a) bytes, end offset)."""
    size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, at)
    assert size == 40 and planes == 1 and compression == 0, (size, planes, compression)
    assert height in (rows, 2 * rows)
    stride = (width * bits // 8 + 3) // 4 * 4
    start = at + size
    pixels = [None] * (width * rows)
    for file_row in range(rows):
        y = rows - 1 - file_row  # bottom-up
        line = data[start + file_row * stride:start + (file_row + 1) * stride]
        for x in range(width):
            b, g, r = line[x * bits // 8:x * bits // 8 + 3]
            a = line[x * 4 + 3] if bits == 32 else 255
            pixels[y * width + x] = (r, g, b, a)
    return width, bits, pixels, start + rows * stride


def expected(canvas, alpha):
    return [(make_art.to_byte(r), make_art.to_byte(g), make_art.to_byte(b), make_art.to_byte(a) if alpha else 255)
            for r, g, b, a in canvas.px]


def sample(width, height):
    """A canvas whose every pixel differs, with transparent and half-covered
    pixels, and a width whose rows need padding in both depths."""
    c = make_art.Canvas(width, height, (0, 0, 0), 0.0)
    c.px = [((x + 1) / width, (y + 1) / height, ((x * 7 + y * 3) % 11) / 10, (x % 3) / 2)
            for y in range(height) for x in range(width)]
    return c


class BmpTest(unittest.TestCase):

    def check(self, canvas, alpha):
        data = make_art.bmp_bytes(canvas.w, canvas.h, canvas.px, alpha)
        magic, file_size, _, offset = struct.unpack_from("<2sIII", data, 0)
        self.assertEqual((magic, file_size, offset), (b"BM", len(data), 54))
        width, bits, pixels, end = read_dib(data, 14, canvas.h)
        self.assertEqual((width, bits, end), (canvas.w, 32 if alpha else 24, len(data)))
        self.assertEqual(pixels, expected(canvas, alpha))

    def test_opaque_rows_are_bottom_up_bgr_padded_to_four_bytes(self):
        self.check(sample(5, 3), False)

    def test_alpha_is_the_fourth_byte_of_each_pixel(self):
        self.check(sample(5, 3), True)


class IcoTest(unittest.TestCase):

    def test_every_size_is_a_dib_with_its_mask(self):
        images = [sample(3, 3), sample(16, 16), sample(33, 33)]
        data = make_art.ico_bytes(images)
        reserved, kind, count = struct.unpack_from("<HHH", data, 0)
        self.assertEqual((reserved, kind, count), (0, 1, 3))
        for i, canvas in enumerate(images):
            w, h, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
            self.assertEqual((w, h, colours, planes, bits), (canvas.w, canvas.h, 0, 1, 32))
            width, _, pixels, mask_at = read_dib(data, offset, canvas.h)
            self.assertEqual(pixels, expected(canvas, True))
            mask_stride = (width + 31) // 32 * 4
            self.assertEqual(offset + size, mask_at + mask_stride * canvas.h)
            for y in range(canvas.h):
                line = data[mask_at + (canvas.h - 1 - y) * mask_stride:]
                for x in range(width):
                    transparent = bool(line[x // 8] & (0x80 >> (x % 8)))
                    self.assertEqual(transparent, pixels[y * width + x][3] == 0, (i, x, y))

    def test_256_pixels_is_written_as_zero_in_the_directory(self):
        data = make_art.ico_bytes([make_art.icon_canvas(256)])
        self.assertEqual(struct.unpack_from("<BB", data, 6), (0, 0))


class CommittedArtTest(unittest.TestCase):

    def test_res_holds_what_the_script_draws(self):
        committed = os.path.join(HERE, "..", "res")
        with tempfile.TemporaryDirectory() as out:
            saved = sys.argv
            sys.argv = ["make_art.py", out]
            try:
                make_art.main()
            finally:
                sys.argv = saved
            for folder, _, files in os.walk(out):
                for name in files:
                    relative = os.path.relpath(os.path.join(folder, name), out)
                    with open(os.path.join(out, relative), "rb") as a, open(os.path.join(committed, relative), "rb") as b:
                        self.assertTrue(a.read() == b.read(), relative + " differs: rerun tools/make_art.py")


if __name__ == "__main__":
    unittest.main()
