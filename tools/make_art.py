#!/usr/bin/env python3
"""Draws the launcher's pictures, buttons and icons into res/.

Only the Python standard library is used: shapes are rendered with signed
distances (anti-aliased edges), text with a small embedded pixel font, and
PNG, BMP and ICO files are written with zlib and struct. The output is
deterministic, and a file whose bytes would not change is not rewritten, so
rerunning the script without changes leaves the committed files untouched.

    python3 tools/make_art.py [output-folder]      (default: res/ beside tools/)

Into the output folder go:
  bmp/NAME.bmp         every picture but the application icon, which both
                       builds embed (wx reads BMP itself; the Windows build's
                       wx has no PNG decoder): opaque bitmaps as 24-bit BMP,
                       the RGBA icons as 32-bit BMP with alpha
  windows/gatehouse.ico  the application icon at 16, 32, 48 and 256 pixels,
                       for the Windows resource script and the window icons
  NAME.png             every picture, the icon at 64 pixels among them, for
                       viewing: image viewers and reviews show PNG

Sizes are fixed by the windows that show the images:
  SPLASH 800x256 (start window background); PLAY, PLAYM 177x44; CLOSE 44x43;
  SPLAYM 120x30 - each in the states U (normal), D (pressed), F (hover),
  X (disabled); APP16/32/48/64 (application icon); MOVEUP, MOVEDOWN, LOADSET,
  SAVESET, REMOVE, SORT, ADDREQS, COPYCODE, PASTECODE, COPYREPORT 16x16;
  OPENMODS 48x48; OPENSAVES 32x32.
Bitmaps are opaque RGB; icons are RGBA.
"""

import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------- file output


def write_file(path, data):
    """Writes `data` unless the file already holds exactly these bytes, so an
    unchanged picture keeps its time stamp and triggers no rebuild."""
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except FileNotFoundError:
        pass
    with open(path, "wb") as f:
        f.write(data)


def png_bytes(width, height, pixels, alpha):
    """pixels: list of (r, g, b, a) floats in 0..1, row by row."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)  # filter type None
        row = pixels[y * width:(y + 1) * width]
        for r, g, b, a in row:
            raw += bytes((to_byte(r), to_byte(g), to_byte(b)))
            if alpha:
                raw.append(to_byte(a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(
        b"IEND", b"")


def dib_rows(width, height, pixels, alpha):
    """The pixels as a DIB stores them: bottom row first, BGR or BGRA, each
    row padded to a multiple of four bytes."""
    out = bytearray()
    pad = bytes(-(width * (4 if alpha else 3)) % 4)
    for y in reversed(range(height)):
        for r, g, b, a in pixels[y * width:(y + 1) * width]:
            out += bytes((to_byte(b), to_byte(g), to_byte(r)))
            if alpha:
                out.append(to_byte(a))
        out += pad
    return bytes(out)


def info_header(width, height, bits, image_size):
    """BITMAPINFOHEADER, uncompressed (BI_RGB), 72 dpi, no palette."""
    dots_per_metre = 2835
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, dots_per_metre, dots_per_metre, 0,
                       0)


def bmp_bytes(width, height, pixels, alpha):
    """An uncompressed BMP: 24-bit BGR, or with `alpha` 32-bit BGRA.

    The 32-bit form keeps BI_RGB with the alpha in each pixel's fourth byte
    rather than BI_BITFIELDS with an alpha mask: wx's BMP reader takes the
    fourth byte as alpha for BI_RGB but ignores the alpha mask of
    BI_BITFIELDS, which would turn the transparent corners opaque."""
    rows = dib_rows(width, height, pixels, alpha)
    header = info_header(width, height, 32 if alpha else 24, len(rows))
    offset = 14 + len(header)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + header + rows


def ico_bytes(images):
    """A multi-size ICO of 32-bit BGRA DIBs, each with its AND mask (set
    where a pixel is fully transparent) for readers that ignore alpha.

    Every size, 256 included, is a DIB rather than an embedded PNG, because
    the Windows build's wx cannot decode PNG. images: canvases, small first."""
    entries = []
    for c in images:
        rows = dib_rows(c.w, c.h, c.px, True)
        mask = bytearray()
        mask_row = (c.w + 31) // 32 * 4
        for y in reversed(range(c.h)):
            line = bytearray(mask_row)
            for x in range(c.w):
                if to_byte(c.px[y * c.w + x][3]) == 0:
                    line[x // 8] |= 0x80 >> (x % 8)
            mask += line
        # The DIB's height counts the colour rows and the mask rows.
        entries.append((c.w, c.h, info_header(c.w, 2 * c.h, 32, len(rows) + len(mask)) + rows + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for w, h, dib in entries:
        # A width or height of 256 is written as 0.
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(dib), offset)
        offset += len(dib)
    return out + b"".join(dib for _, _, dib in entries)


def to_byte(v):
    return max(0, min(255, int(round(v * 255))))


# ---------------------------------------------------------------- canvas


def hexcol(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) / 255 for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0), alpha=1.0):
        self.w = width
        self.h = height
        self.px = [(fill[0], fill[1], fill[2], alpha)] * (width * height)

    def blend(self, x, y, color, a):
        """Paints `color` over pixel (x, y) with coverage `a` (source-over)."""
        if a <= 0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        a = min(a, 1.0)
        i = y * self.w + x
        r, g, b, da = self.px[i]
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        k = da * (1 - a)
        self.px[i] = ((color[0] * a + r * k) / oa, (color[1] * a + g * k) / oa, (color[2] * a + b * k) / oa, oa)

    def add(self, x, y, color, amount):
        """Additive light, for glows."""
        if amount <= 0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        i = y * self.w + x
        r, g, b, a = self.px[i]
        self.px[i] = (min(1, r + color[0] * amount), min(1, g + color[1] * amount), min(1, b + color[2] * amount), a)

    def shape(self, sdf, paint, box=None, opacity=1.0):
        """Fills the region sdf(x, y) < 0 with paint(x, y) (a colour or a function)."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0) - 1), max(0, int(y0) - 1)
        x1, y1 = min(self.w, int(math.ceil(x1)) + 1), min(self.h, int(math.ceil(y1)) + 1)
        for y in range(y0, y1):
            for x in range(x0, x1):
                d = sdf(x + 0.5, y + 0.5)
                cover = clamp(0.5 - d)
                if cover > 0:
                    col = paint(x + 0.5, y + 0.5) if callable(paint) else paint
                    self.blend(x, y, col, cover * opacity)

    def glow(self, sdf, color, radius, strength, box=None):
        """Additive light falling off with the distance outside a shape."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        for y in range(max(0, int(y0)), min(self.h, int(y1))):
            for x in range(max(0, int(x0)), min(self.w, int(x1))):
                d = max(0.0, sdf(x + 0.5, y + 0.5))
                if d < radius:
                    t = 1 - d / radius
                    self.add(x, y, color, strength * t * t)

    def crop(self, x, y, w, h):
        out = Canvas(w, h)
        out.px = [self.px[(y + j) * self.w + (x + i)] for j in range(h) for i in range(w)]
        return out


# ---------------------------------------------------------------- distances


def sd_round_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r

    return f


def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_segment(ax, ay, bx, by, r):
    def f(x, y):
        px, py, dx, dy = x - ax, y - ay, bx - ax, by - ay
        t = clamp((px * dx + py * dy) / (dx * dx + dy * dy))
        return math.hypot(px - dx * t, py - dy * t) - r

    return f


def sd_polygon(points):
    n = len(points)

    def f(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            dx, dy = bx - ax, by - ay
            t = clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy))
            d = min(d, math.hypot(x - ax - dx * t, y - ay - dy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * dx / (by - ay):
                inside = not inside
        return -d if inside else d

    return f


def sd_union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def sd_subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def sd_arch(x0, y0, x1, y1):
    """A gate opening: a rectangle with a round top."""
    r = (x1 - x0) / 2
    return sd_union(sd_round_rect(x0, y0 + r, x1, y1, 0.01), sd_circle(x0 + r, y0 + r, r))


def vgradient(y0, y1, c0, c1):
    return lambda x, y: mix(c0, c1, clamp((y - y0) / max(1e-6, y1 - y0)))


# ---------------------------------------------------------------- pixel font

FONT = {
    "A": ".###.|#...#|#...#|#####|#...#|#...#|#...#",
    "B": "####.|#...#|#...#|####.|#...#|#...#|####.",
    "C": ".###.|#...#|#....|#....|#....|#...#|.###.",
    "D": "###..|#..#.|#...#|#...#|#...#|#..#.|###..",
    "E": "#####|#....|#....|####.|#....|#....|#####",
    "F": "#####|#....|#....|####.|#....|#....|#....",
    "G": ".###.|#...#|#....|#.###|#...#|#...#|.####",
    "H": "#...#|#...#|#...#|#####|#...#|#...#|#...#",
    "I": ".###.|..#..|..#..|..#..|..#..|..#..|.###.",
    "J": "..###|...#.|...#.|...#.|...#.|#..#.|.##..",
    "K": "#...#|#..#.|#.#..|##...|#.#..|#..#.|#...#",
    "L": "#....|#....|#....|#....|#....|#....|#####",
    "M": "#...#|##.##|#.#.#|#.#.#|#...#|#...#|#...#",
    "N": "#...#|#...#|##..#|#.#.#|#..##|#...#|#...#",
    "O": ".###.|#...#|#...#|#...#|#...#|#...#|.###.",
    "P": "####.|#...#|#...#|####.|#....|#....|#....",
    "Q": ".###.|#...#|#...#|#...#|#.#.#|#..#.|.##.#",
    "R": "####.|#...#|#...#|####.|#.#..|#..#.|#...#",
    "S": ".####|#....|#....|.###.|....#|....#|####.",
    "T": "#####|..#..|..#..|..#..|..#..|..#..|..#..",
    "U": "#...#|#...#|#...#|#...#|#...#|#...#|.###.",
    "V": "#...#|#...#|#...#|#...#|#...#|.#.#.|..#..",
    "W": "#...#|#...#|#...#|#.#.#|#.#.#|#.#.#|.#.#.",
    "X": "#...#|#...#|.#.#.|..#..|.#.#.|#...#|#...#",
    "Y": "#...#|#...#|.#.#.|..#..|..#..|..#..|..#..",
    "Z": "#####|....#|...#.|..#..|.#...|#....|#####",
    "0": ".###.|#...#|#..##|#.#.#|##..#|#...#|.###.",
    "1": "..#..|.##..|..#..|..#..|..#..|..#..|.###.",
    "2": ".###.|#...#|....#|...#.|..#..|.#...|#####",
    "+": ".....|..#..|..#..|#####|..#..|..#..|.....",
    "-": ".....|.....|.....|#####|.....|.....|.....",
    " ": ".....|.....|.....|.....|.....|.....|.....",
}


def text_width(text, scale, spacing=1):
    width = 0
    for ch in text:
        width += (3 if ch == " " else 5) * scale + spacing * scale
    return width - spacing * scale


def text_cells(text, x, y, scale, spacing=1):
    """Yields the rectangles (x0, y0, x1, y1) of the lit font cells."""
    for ch in text:
        rows = FONT[ch].split("|")
        for j, row in enumerate(rows):
            for i, bit in enumerate(row):
                if bit == "#":
                    yield (x + i * scale, y + j * scale, x + (i + 1) * scale, y + (j + 1) * scale)
        x += (3 if ch == " " else 5) * scale + spacing * scale


def draw_text(canvas, text, x, y, scale, paint, shadow=None, spacing=1):
    cells = list(text_cells(text, x, y, scale, spacing))
    if shadow:
        off, col, op = shadow
        for (a, b, c, d) in cells:
            canvas.shape(sd_round_rect(a + off, b + off, c + off, d + off, 0.01), col, (a + off, b + off, c + off,
                                                                                          d + off), op)
    for (a, b, c, d) in cells:
        canvas.shape(sd_round_rect(a, b, c, d, 0.01), paint, (a, b, c, d))
    return cells


def text_sdf(cells):
    fs = [sd_round_rect(a, b, c, d, 0.01) for (a, b, c, d) in cells]
    return lambda x, y: min(f(x, y) for f in fs)


# ---------------------------------------------------------------- the pictures

NIGHT = hexcol("0b0d18")
DUSK = hexcol("1e1222")
EMBER = hexcol("4a1a0c")
GOLD_HI = hexcol("ffe6a8")
GOLD_LO = hexcol("d98a2b")
ORANGE = hexcol("ff8a2a")
STONE = hexcol("0a0a10")


class Rng:
    """Small linear congruential generator: the same art on every run."""

    def __init__(self, seed):
        self.s = seed

    def next(self):
        self.s = (self.s * 1103515245 + 12345) & 0x7FFFFFFF
        return self.s / 0x7FFFFFFF


def draw_background():
    w, h = 800, 256
    c = Canvas(w, h)
    for y in range(h):
        t = y / (h - 1)
        col = mix(NIGHT, DUSK, t / 0.55) if t < 0.55 else mix(DUSK, EMBER, (t - 0.55) / 0.45)
        for x in range(w):
            c.px[y * w + x] = (col[0], col[1], col[2], 1.0)
    # A warm horizon behind the gatehouse.
    c.glow(sd_circle(600, 300, 60), ORANGE, 330, 0.45)
    # Distant stars in the upper sky.
    rng = Rng(7)
    for _ in range(70):
        x, y = int(rng.next() * w), int(rng.next() * 110)
        c.add(x, y, (0.8, 0.85, 1.0), 0.15 + 0.35 * rng.next())

    # Hills.
    hill = lambda x, y: y - (214 - 14 * math.sin(x / 90.0) - 8 * math.sin(x / 37.0 + 1))
    c.shape(hill, vgradient(190, 256, hexcol("150b0c"), hexcol("0c0607")))

    # The gatehouse: two towers, a wall with a gate, crenellations.
    tl, tr = (470, 70, 540, 228), (660, 70, 730, 228)
    wall = (530, 110, 670, 228)
    body = sd_union(sd_round_rect(*tl, 1), sd_round_rect(*tr, 1), sd_round_rect(*wall, 1))
    merlons = []
    for (x0, y0, x1, _) in (tl, tr):
        for k in range(4):
            mx = x0 + 2 + k * (x1 - x0 - 4) / 4
            merlons.append(sd_round_rect(mx, y0 - 12, mx + 11, y0 + 1, 1))
    for k in range(7):
        mx = wall[0] + 14 + k * 18
        merlons.append(sd_round_rect(mx, wall[1] - 9, mx + 10, wall[1] + 1, 1))
    roofs = [sd_polygon([(x0 - 6, y0 - 12), ((x0 + x1) / 2, y0 - 52), (x1 + 6, y0 - 12)]) for (x0, y0, x1, _) in (tl, tr)]
    gate = sd_arch(572, 140, 628, 229)
    slits = [sd_arch(498, 110, 512, 140), sd_arch(688, 110, 702, 140), sd_arch(498, 160, 512, 186),
             sd_arch(688, 160, 702, 186)]
    silhouette = sd_subtract(sd_union(body, *merlons, *roofs), sd_union(gate, *slits))
    c.glow(sd_union(body, *roofs), ORANGE, 40, 0.10, (420, 0, 780, 240))
    c.shape(silhouette, vgradient(20, 228, hexcol("121018"), STONE), (450, 15, 750, 230))
    for s in [gate] + slits:
        c.shape(s, vgradient(100, 228, hexcol("ffd27a"), hexcol("e0561a")), (460, 100, 740, 230))
    c.glow(gate, ORANGE, 60, 0.35, (500, 80, 700, 240))
    # A path of light from the gate.
    path = sd_polygon([(572, 228), (628, 228), (700, 256), (500, 256)])
    c.shape(path, vgradient(228, 256, hexcol("c2561c"), hexcol("3a1208")), (490, 226, 710, 256), 0.8)

    # Embers rising from the gate.
    rng = Rng(1234)
    for _ in range(140):
        x = 600 + (rng.next() - 0.5) * 520 * rng.next()
        y = 256 - (rng.next() ** 1.6) * 230
        r = 0.6 + 1.6 * rng.next()
        heat = rng.next()
        col = mix(hexcol("ff5a1a"), hexcol("ffd98a"), heat)
        c.glow(sd_circle(x, y, r), col, r * 5, 0.35 + 0.4 * heat, (x - r * 6, y - r * 6, x + r * 6, y + r * 6))
        c.shape(sd_circle(x, y, r), col, (x - r - 1, y - r - 1, x + r + 1, y + r + 1), 0.9)

    # The title with a glow and a shadow.
    title = "EMBERWAKE II"
    tx, ty, scale = 47, 26, 4
    cells = list(text_cells(title, tx, ty, scale))
    tw = text_width(title, scale)
    c.glow(text_sdf(cells), ORANGE, 14, 0.30, (tx - 16, ty - 16, tx + tw + 16, ty + 7 * scale + 16))
    draw_text(c, title, tx, ty, scale, vgradient(ty, ty + 7 * scale, GOLD_HI, GOLD_LO), (2, hexcol("000000"), 0.7))
    draw_text(c, "GATEHOUSE", tx + 2, ty + 7 * scale + 10, 2, hexcol("c9a98a"), (1, hexcol("000000"), 0.6), 2)
    return c


# Where the start window's buttons sit on the background, in pixels (their
# dialog-unit rectangles at the reference font's base units).
PLAY_AT = (47, 107)
PLAYM_AT = (47, 159)
CLOSE_AT = (756, 0)

STATES = {
    # fill top, fill bottom, border, text, glow
    "U": ("6a3314", "2c1208", "c8893a", "f6dfae", 0.0),
    "F": ("9c4a18", "4c1c08", "ffc15e", "fff4d6", 0.35),
    "D": ("2a1006", "552510", "a86a28", "e8c98e", 0.0),
    "X": ("3c3a38", "262524", "6c6a66", "8e8b86", 0.0),
}


def draw_button(base, w, h, radius, state, label=None, close=False, scale=2):
    top, bottom, border, text = (hexcol(v) for v in STATES[state][:4])
    glow = STATES[state][4]
    c = Canvas(w, h)
    c.px = list(base.px)
    outer = sd_round_rect(0.5, 0.5, w - 0.5, h - 0.5, radius)
    inner = sd_round_rect(2, 2, w - 2, h - 2, radius - 1.5)
    c.shape(outer, border)
    c.shape(inner, vgradient(2, h - 2, top, bottom))
    # Soft highlight on the upper half.
    c.shape(sd_round_rect(3, 3, w - 3, h / 2, radius - 2), (1, 1, 1), None, 0.07 if state != "X" else 0.03)
    if glow:
        c.glow(lambda x, y: -inner(x, y) - 2, ORANGE, 10, glow * 0.5, (0, 0, w, h))
    shift = 1 if state == "D" else 0
    if close:
        m = w * 0.32
        cx, cy = w / 2 + shift, h / 2 + shift
        cross = sd_union(sd_segment(cx - m / 1.4, cy - m / 1.4, cx + m / 1.4, cy + m / 1.4, 2.4),
                         sd_segment(cx - m / 1.4, cy + m / 1.4, cx + m / 1.4, cy - m / 1.4, 2.4))
        c.shape(lambda x, y: cross(x - 1, y - 1), (0, 0, 0), None, 0.6)
        c.shape(cross, text)
    else:
        tw = text_width(label, scale)
        tx = (w - tw) // 2 + shift
        ty = (h - 7 * scale) // 2 + shift
        draw_text(c, label, tx, ty, scale, text, (1, hexcol("000000"), 0.6))
    return c


def draw_play_icon_button(w, h, state):
    """The manager's play button: a play triangle and PLAY on the dialog face."""
    face = Canvas(w, h, hexcol("f0f0f0"))
    c = draw_button(face, w, h, 5, state, "", scale=2)
    top, _, _, text, _ = STATES[state]
    shift = 1 if state == "D" else 0
    tw = text_width("PLAY", 2)
    total = 12 + 6 + tw
    x0 = (w - total) // 2 + shift
    cy = h / 2 + shift
    tri = sd_polygon([(x0, cy - 6), (x0 + 12, cy), (x0, cy + 6)])
    c.shape(tri, hexcol(text))
    draw_text(c, "PLAY", x0 + 18, int(cy - 7), 2, hexcol(text), (1, hexcol("000000"), 0.6))
    return c


# ---------------------------------------------------------------- icons


def icon_canvas(size):
    return Canvas(size, size, (0, 0, 0), 0.0)


def outline_fill(c, sdf, fill, edge, box=None, width=1.0):
    c.shape(lambda x, y: sdf(x, y) - width, edge, box)
    c.shape(sdf, fill, box)


def arrow_up(size, down=False):
    c = icon_canvas(size)
    s = size / 16
    pts = [(8, 1.5), (14.5, 8.5), (10.5, 8.5), (10.5, 14.5), (5.5, 14.5), (5.5, 8.5), (1.5, 8.5)]
    if down:
        pts = [(x, 16 - y) for x, y in pts]
    poly = sd_polygon([(x * s, y * s) for x, y in pts])
    outline_fill(c, lambda x, y: poly(x, y) + 0.6, vgradient(0, size, hexcol("7fd06a"), hexcol("2f8a2a")),
                 hexcol("1d4a1a"), None, 0.9)
    return c


def folder(c, x0, y0, w, h, open_front=False):
    tab = sd_round_rect(x0, y0, x0 + w * 0.45, y0 + h * 0.3, 1)
    back = sd_round_rect(x0, y0 + h * 0.15, x0 + w, y0 + h, 1.2)
    outline_fill(c, sd_union(tab, back), vgradient(y0, y0 + h, hexcol("f5c451"), hexcol("c98a1c")), hexcol("6b4610"),
                 None, 0.8)
    if open_front:
        front = sd_polygon([(x0 + w * 0.12, y0 + h * 0.42), (x0 + w, y0 + h * 0.42), (x0 + w * 0.88, y0 + h),
                            (x0, y0 + h)])
        outline_fill(c, front, vgradient(y0, y0 + h, hexcol("ffe08a"), hexcol("e0a63a")), hexcol("6b4610"), None, 0.6)


def floppy(c, x0, y0, sz):
    s = sz / 16
    body = sd_round_rect(x0 + 1.5 * s, y0 + 1.5 * s, x0 + 14.5 * s, y0 + 14.5 * s, 1.2 * s)
    outline_fill(c, body, vgradient(y0, y0 + sz, hexcol("6aa2e8"), hexcol("2a5aa8")), hexcol("14305e"), None, 0.8)
    c.shape(sd_round_rect(x0 + 4 * s, y0 + 2 * s, x0 + 12 * s, y0 + 6.5 * s, 0.5), hexcol("dfe8f2"))
    c.shape(sd_round_rect(x0 + 9.5 * s, y0 + 2.8 * s, x0 + 11 * s, y0 + 5.7 * s, 0.3), hexcol("2a5aa8"))
    c.shape(sd_round_rect(x0 + 4 * s, y0 + 9 * s, x0 + 12 * s, y0 + 14 * s, 0.5), hexcol("f4f4f4"))


def icon_remove(size):
    c = icon_canvas(size)
    cross = sd_union(sd_segment(4, 4, 12, 12, 1.8), sd_segment(4, 12, 12, 4, 1.8))
    outline_fill(c, cross, vgradient(0, 16, hexcol("ff6a5a"), hexcol("b3211a")), hexcol("5a0d08"), None, 0.9)
    return c


def icon_sort(size):
    """Sort: bars that grow downwards beside an arrow that points down, as
    mods go after what they need."""
    c = icon_canvas(size)
    for k, width in enumerate((4, 6.5, 9)):
        y = 2.5 + k * 4.5
        bar = sd_round_rect(6.5, y, 6.5 + width, y + 2.6, 0.6)
        outline_fill(c, bar, vgradient(y, y + 2.6, hexcol("8fb4e8"), hexcol("3a64a8")), hexcol("1a2e5a"), None, 0.7)
    shaft = sd_round_rect(2, 1.5, 4, 11, 0.3)
    head = sd_polygon([(0.3, 10), (5.7, 10), (3, 14.8)])
    outline_fill(c, sd_union(shaft, head), vgradient(0, 16, hexcol("7fd06a"), hexcol("2f8a2a")), hexcol("1d4a1a"),
                 None, 0.7)
    return c


def icon_add_requirements(size):
    """Add them: a mod's package with a plus, for the mods that come along."""
    c = icon_canvas(size)
    box = sd_round_rect(1, 4, 11, 14, 1)
    outline_fill(c, box, vgradient(4, 14, hexcol("f5c451"), hexcol("c98a1c")), hexcol("6b4610"), None, 0.8)
    c.shape(sd_round_rect(1.6, 7.5, 10.4, 8.5, 0.2), hexcol("8a5a14"))
    plus = sd_union(sd_round_rect(8, 10.3, 15.5, 12.7, 0.4), sd_round_rect(10.55, 7.75, 12.95, 15.25, 0.4))
    outline_fill(c, plus, hexcol("4cbf3a"), hexcol("1d4a1a"), None, 0.8)
    return c


def icon_load(size):
    c = icon_canvas(size)
    folder(c, 0.8, 3.5, 14.4, 11.5, open_front=True)
    arrow = sd_polygon([(11.5, 0.5), (15.5, 4.5), (13, 4.5), (13, 8), (10, 8), (10, 4.5), (7.5, 4.5)])
    outline_fill(c, arrow, hexcol("4cbf3a"), hexcol("1d4a1a"), None, 0.7)
    return c


def icon_save(size):
    c = icon_canvas(size)
    floppy(c, 0, 0, 16)
    return c


def sheet(c, x0, y0, x1, y1, edge=hexcol("4a5566")):
    """A sheet of paper with a folded corner."""
    fold = 2.5
    page = sd_polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    outline_fill(c, page, vgradient(y0, y1, hexcol("ffffff"), hexcol("dfe6ee")), edge, None, 0.8)
    c.shape(sd_polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)]), hexcol("aab6c4"))


def code_marks(c, x0, y0, rows):
    """A share code written on a sheet: runs of marks of varied length, on
    whole pixels so that they stay sharp."""
    runs = [((0, 2), (3, 6)), ((0, 4), (5, 6)), ((0, 1), (2, 5))]
    for row in range(rows):
        for start, end in runs[row]:
            c.shape(sd_round_rect(x0 + start, y0 + row * 3, x0 + end, y0 + row * 3 + 1, 0.01), hexcol("d9661a"))


def icon_copy_code(size):
    # Two sheets, the front one carrying a code: the selection copied as text.
    c = icon_canvas(size)
    sheet(c, 1.2, 0.8, 10, 11.5)
    sheet(c, 5.5, 4.2, 14.8, 15.2)
    code_marks(c, 7, 7, 3)
    return c


def icon_paste_code(size):
    # A clipboard holding a code: the selection taken from the clipboard.
    c = icon_canvas(size)
    board = sd_round_rect(1.8, 2, 14.2, 15.4, 1.4)
    outline_fill(c, board, vgradient(2, 15.4, hexcol("c8884a"), hexcol("8a5320")), hexcol("4a2a0c"), None, 0.8)
    c.shape(sd_round_rect(4, 4.6, 12, 13.8, 0.4), hexcol("fbfbf8"))
    clip = sd_round_rect(5.2, 0.6, 10.8, 4.8, 1)
    outline_fill(c, clip, vgradient(0.6, 4.8, hexcol("eef2f6"), hexcol("9aa6b2")), hexcol("3c4450"), None, 0.7)
    code_marks(c, 5, 7, 3)
    return c


def icon_copy_report(size):
    # A listed sheet with a beetle: the mod list for a bug report.
    c = icon_canvas(size)
    sheet(c, 1, 0.8, 11.6, 15.2)
    for row in range(4):
        c.shape(sd_round_rect(3, 4 + row * 2.6, 9.6 - (row % 2) * 2, 5.1 + row * 2.6, 0.4), hexcol("7a8696"))
    legs = sd_union(*[sd_segment(8.6, y, 15.4, y + t, 0.4) for y, t in ((9.4, -0.8), (11.6, 0), (13.8, 0.8))])
    c.shape(legs, hexcol("1a1a1a"))
    c.shape(sd_circle(12, 7.9, 1.6), hexcol("1a1a1a"))
    shell = sd_circle(12, 11.7, 3.3)
    outline_fill(c, shell, vgradient(8.4, 15, hexcol("ff5a45"), hexcol("b01e12")), hexcol("3a0a06"), None, 0.7)
    c.shape(sd_segment(12, 8.6, 12, 15, 0.35), hexcol("3a0a06"))
    for x, y in ((10.4, 10.8), (13.6, 10.8), (10.7, 13.2), (13.3, 13.2)):
        c.shape(sd_circle(x, y, 0.6), hexcol("1a1a1a"))
    return c


def icon_open_mods():
    # Drawn into the middle band so that it reads in a short button.
    c = icon_canvas(48)
    folder(c, 2, 16.5, 17, 14, open_front=True)
    draw_text(c, "MODS", 22, 20, 1, hexcol("2b2b2b"))
    return c


def icon_open_saves():
    c = icon_canvas(32)
    folder(c, 4, 8.5, 20, 15.5, open_front=True)
    floppy(c, 17, 14, 12)
    return c


def icon_app(size):
    c = icon_canvas(size)
    s = size / 64
    plate = sd_round_rect(2 * s, 2 * s, 62 * s, 62 * s, 12 * s)
    c.shape(plate, vgradient(0, size, hexcol("2a1a2e"), hexcol("5a1e0c")))
    towers = sd_union(sd_round_rect(12 * s, 18 * s, 24 * s, 56 * s, 0.5), sd_round_rect(40 * s, 18 * s, 52 * s,
                                                                                         56 * s, 0.5),
                      sd_round_rect(22 * s, 26 * s, 42 * s, 56 * s, 0.5))
    merl = [sd_round_rect((12 + k * 5) * s, 13 * s, (15 + k * 5) * s, 19 * s, 0.3) for k in range(3)]
    merl += [sd_round_rect((40 + k * 5) * s, 13 * s, (43 + k * 5) * s, 19 * s, 0.3) for k in range(3)]
    gate = sd_arch(25 * s, 33 * s, 39 * s, 57 * s)
    c.shape(sd_subtract(sd_union(towers, *merl), gate), hexcol("0d0b12"))
    c.shape(gate, vgradient(33 * s, 56 * s, hexcol("ffd27a"), hexcol("e0561a")))
    flame = sd_union(sd_circle(32 * s, 49 * s, 5 * s),
                     sd_polygon([(27.5 * s, 48 * s), (32 * s, 36 * s), (36.5 * s, 48 * s)]))
    c.shape(flame, vgradient(36 * s, 54 * s, hexcol("fff6d0"), hexcol("ffb040")))
    # The rim is a pixel wide up to 64 pixels and grows with larger sizes.
    rim = max(1.0, s)
    c.shape(lambda x, y: abs(plate(x, y) + rim / 2) - rim / 2, hexcol("d98a2b"), None, 0.9)
    return c


# ---------------------------------------------------------------- main


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res")
    bmp_out = os.path.join(out, "bmp")
    windows_out = os.path.join(out, "windows")
    for folder in (out, bmp_out, windows_out):
        os.makedirs(folder, exist_ok=True)

    def save(name, canvas, alpha=False, bmp=True):
        write_file(os.path.join(out, name + ".png"), png_bytes(canvas.w, canvas.h, canvas.px, alpha))
        if bmp:
            write_file(os.path.join(bmp_out, name + ".bmp"), bmp_bytes(canvas.w, canvas.h, canvas.px, alpha))

    bg = draw_background()
    save("SPLASH", bg)
    for state in "UDFX":
        save("PLAY" + state, draw_button(bg.crop(*PLAY_AT, 177, 44), 177, 44, 9, state, "PLAY", scale=3))
        save("PLAYM" + state, draw_button(bg.crop(*PLAYM_AT, 177, 44), 177, 44, 9, state, "PLAY WITH MODS"))
        save("CLOSE" + state, draw_button(bg.crop(*CLOSE_AT, 44, 43), 44, 43, 7, state, close=True))
        save("SPLAYM" + state, draw_play_icon_button(120, 30, state))
    # The Windows build takes the application icon from the ICO alone.
    app = {size: icon_app(size) for size in (16, 32, 48, 64, 256)}
    for size in (16, 32, 48, 64):
        save("APP%d" % size, app[size], True, bmp=False)
    write_file(os.path.join(windows_out, "gatehouse.ico"), ico_bytes([app[size] for size in (16, 32, 48, 256)]))
    save("MOVEUP", arrow_up(16), True)
    save("MOVEDOWN", arrow_up(16, down=True), True)
    save("LOADSET", icon_load(16), True)
    save("SAVESET", icon_save(16), True)
    save("REMOVE", icon_remove(16), True)
    save("SORT", icon_sort(16), True)
    save("ADDREQS", icon_add_requirements(16), True)
    save("OPENMODS", icon_open_mods(), True)
    save("OPENSAVES", icon_open_saves(), True)
    save("COPYCODE", icon_copy_code(16), True)
    save("PASTECODE", icon_paste_code(16), True)
    save("COPYREPORT", icon_copy_report(16), True)


if __name__ == "__main__":
    main()
