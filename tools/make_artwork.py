#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
"""Draws Zeravan's artwork from scratch and writes it into assets/.

Run from the repository root:

    python3 tools/make_artwork.py

Only the Python 3 standard library is used, and nothing depends on the time or on unseeded
randomness, so every run writes the same bytes. What it writes:

    assets/background.jpg         main window background, 831 x 541, baseline JPEG
    assets/zeravan.ico            application icon: 48, 32, 24, 16 px at 4, 8 and 32 bits
    assets/countdown.ico          countdown dialog icon: 16, 32 px at 8, 24, 32 bits;
                                  48, 64 px at 32 bits
    assets/icons/zeravan-N.png    the application icon as PNG, N = 16 24 32 48 64 128 256

The icons are vector drawings made of shapes given as signed distance functions; they are
rasterised with supersampling along the edges. The JPEG, PNG and ICO encoders are below too.
"""

import math
import os
import struct
import sys
import zlib

ASSETS = "assets"


# --------------------------------------------------------------------------------------------
# Small helpers
# --------------------------------------------------------------------------------------------


def clamp(value, low=0.0, high=1.0):
    return low if value < low else high if value > high else value


def rgb(hex_colour):
    """'#rrggbb' -> (r, g, b) with channels in 0..1."""
    value = int(hex_colour.lstrip("#"), 16)
    return ((value >> 16) / 255.0, ((value >> 8) & 255) / 255.0, (value & 255) / 255.0)


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def to_byte(value):
    return int(round(clamp(value) * 255.0))


# --------------------------------------------------------------------------------------------
# Shapes: each is a function (x, y) -> signed distance in drawing units (negative inside).
# Drawings use units where the icon spans 0..1 in both directions, y pointing down.
# --------------------------------------------------------------------------------------------


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def capsule(ax, ay, bx, by, width):
    """A straight stroke from a to b with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def distance(x, y):
        t = clamp(((x - ax) * dx + (y - ay) * dy) / length2)
        return math.hypot(x - ax - dx * t, y - ay - dy * t) - width / 2

    return distance


def point_on_circle(cx, cy, r, degrees):
    """Degrees run clockwise from 12 o'clock, as on a clock face."""
    a = math.radians(degrees)
    return cx + r * math.sin(a), cy - r * math.cos(a)


def arc(cx, cy, r, width, start, end):
    """A round-ended stroke along a circle, clockwise from start to end (degrees)."""
    ends = [point_on_circle(cx, cy, r, start), point_on_circle(cx, cy, r, end)]
    span = (end - start) % 360

    def distance(x, y):
        angle = math.degrees(math.atan2(x - cx, cy - y))
        if (angle - start) % 360 <= span:
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2

    return distance


def polygon(points):
    """Exact distance to a simple polygon (after Inigo Quilez's formulation)."""
    edges = [(points[i - 1], points[i]) for i in range(len(points))]

    def distance(x, y):
        best = float("inf")
        sign = 1.0
        for (jx, jy), (ix, iy) in edges:
            ex, ey = jx - ix, jy - iy
            wx, wy = x - ix, y - iy
            t = clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
            bx, by = wx - ex * t, wy - ey * t
            best = min(best, bx * bx + by * by)
            above, below, left = y >= iy, y < jy, ex * wy > ey * wx
            if (above and below and left) or not (above or below or left):
                sign = -sign
        return sign * math.sqrt(best)

    return distance


def rounded_box(x0, y0, x1, y1, radius):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def distance(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius

    return distance


def below(y0):
    """Everything below the horizontal line y = y0."""
    return lambda x, y: y0 - y


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def inset(shape, amount):
    return lambda x, y: shape(x, y) + amount


def outline(shape, width):
    return lambda x, y: abs(shape(x, y)) - width / 2


def linear_gradient(x0, y0, colour0, x1, y1, colour1):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    return lambda x, y: mix(colour0, colour1, clamp(((x - x0) * dx + (y - y0) * dy) / length2))


# --------------------------------------------------------------------------------------------
# Rasteriser
# --------------------------------------------------------------------------------------------

SUBSAMPLES = 6  # per axis, only for pixels that an edge crosses
EDGE_REACH = 0.75  # a pixel's half diagonal (0.707) plus a margin, in pixels


def coverage(shape, size, px, py):
    """Fraction of pixel (px, py) that lies inside shape."""
    d = shape((px + 0.5) / size, (py + 0.5) / size) * size
    if d >= EDGE_REACH:
        return 0.0
    if d <= -EDGE_REACH:
        return 1.0
    step = 1.0 / SUBSAMPLES
    inside = 0
    for sy in range(SUBSAMPLES):
        y = (py + (sy + 0.5) * step) / size
        for sx in range(SUBSAMPLES):
            if shape((px + (sx + 0.5) * step) / size, y) < 0:
                inside += 1
    return inside / (SUBSAMPLES * SUBSAMPLES)


def render(layers, size):
    """Paints (shape, paint, opacity) layers bottom to top; returns rows of straight RGBA 0..1.

    paint is an (r, g, b) tuple or a function of (x, y) giving one.
    """
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0  # premultiplied while compositing
            for shape, paint, opacity in layers:
                alpha = coverage(shape, size, px, py) * opacity
                if alpha == 0.0:
                    continue
                colour = paint((px + 0.5) / size, (py + 0.5) / size) if callable(paint) else paint
                cr, cg, cb = colour
                # "over": premultiplied colour moves towards the paint by alpha
                r, g, b = r + (cr - r) * alpha, g + (cg - g) * alpha, b + (cb - b) * alpha
                a = a + (1.0 - a) * alpha
            row.append((r / a, g / a, b / a, a) if a > 0 else (0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def snap(size, fraction, minimum_px=2):
    """A stroke width near fraction * size, in whole pairs of pixels so it lines up with the
    pixel grid around the icon's centre (which lies on a pixel corner for even sizes)."""
    pixels = max(minimum_px, 2 * round(fraction * size / 2))
    return pixels / size


def snap_radius(size, fraction):
    return max(1, round(fraction * size)) / size


# --------------------------------------------------------------------------------------------
# The application icon: a clock face whose hands form a power symbol
# --------------------------------------------------------------------------------------------

NAVY = rgb("#17345f")
FACE_TOP = rgb("#5d9de8")
FACE_BOTTOM = rgb("#2458ab")
TICK = rgb("#cfe0fa")
WHITE = rgb("#ffffff")
YELLOW = rgb("#ffcc2e")


def zeravan_layers(size):
    c = 0.5
    rim = 0.5 - 0.5 / size  # half a pixel in from the border so the rim is not clipped
    rim_width = max(1.0, round(size / 24)) / size
    stroke = snap(size, 0.09)
    ring = snap_radius(size, 0.255)
    face = linear_gradient(c, c - rim, FACE_TOP, c, c + rim, FACE_BOTTOM)
    layers = [
        (circle(c, c, rim), NAVY, 1.0),
        (circle(c, c, rim - rim_width), face, 1.0),
    ]
    # Hour marks make it read as a clock; below 32 px they would only be noise.
    if size >= 32:
        for hour in range(12):
            outer = rim - rim_width - 1.5 / size - 0.02
            inner = outer - (0.075 if hour % 3 == 0 else 0.04)
            width = snap(size, 0.03)
            ax, ay = point_on_circle(c, c, inner, hour * 30)
            bx, by = point_on_circle(c, c, outer, hour * 30)
            layers.append((capsule(ax, ay, bx, by, width), TICK, 1.0))
    # The power symbol: an open ring and a bar that doubles as the minute hand at 12.
    layers.append((arc(c, c, ring, stroke, 40, 320), WHITE, 1.0))
    layers.append((capsule(c, c, c, c - ring - stroke * 0.6, stroke), WHITE, 1.0))
    # A short yellow hour hand turns the glyph into a clock face, from 24 px up.
    if size >= 24:
        hx, hy = point_on_circle(c, c, ring * 0.62, 120)
        layers.append((capsule(c, c, hx, hy, stroke * 0.85), YELLOW, 1.0))
        layers.append((circle(c, c, stroke * 0.55), YELLOW, 1.0))
    return layers


# --------------------------------------------------------------------------------------------
# The countdown icon: an hourglass in red and orange
# --------------------------------------------------------------------------------------------

FRAME_DARK = rgb("#7d1f0e")
FRAME_LIGHT = rgb("#c23a1a")
GLASS = rgb("#fff3dc")
GLASS_EDGE = rgb("#d4441c")
SAND_TOP = rgb("#ffb02e")
SAND_BOTTOM = rgb("#f06414")


def countdown_layers(size):
    c = 0.5
    plate = max(2, round(size * 0.11)) / size
    top, bottom = 1.0 / size, 1.0 - 1.0 / size
    left, right = snap_radius(size, 0.14), 1.0 - snap_radius(size, 0.14)
    frame = linear_gradient(left, 0, FRAME_LIGHT, right, 0, FRAME_DARK)
    glass_top, glass_bottom = top + plate, bottom - plate
    wide, neck, shoulder = snap_radius(size, 0.27), max(1.0 / size, 0.045), 0.07
    glass = polygon([
        (c - wide, glass_top), (c + wide, glass_top), (c + wide, glass_top + shoulder),
        (c + neck, c), (c + wide, glass_bottom - shoulder), (c + wide, glass_bottom),
        (c - wide, glass_bottom), (c - wide, glass_bottom - shoulder), (c - neck, c),
        (c - wide, glass_top + shoulder),
    ])
    edge = max(1.0, size / 24) / size
    inside = inset(glass, edge * 0.5)
    sand = linear_gradient(0, glass_top, SAND_TOP, 0, glass_bottom, SAND_BOTTOM)
    mound = polygon([(c - wide, glass_bottom), (c + wide, glass_bottom),
                     (c + 0.06, glass_bottom - 0.16), (c - 0.06, glass_bottom - 0.16)])
    layers = [
        (glass, GLASS, 1.0),
        (intersect(inside, below(glass_top + 0.5 * (c - glass_top))), sand, 1.0),
        (intersect(inside, mound), sand, 1.0),
        (capsule(c, c, c, glass_bottom - 0.1, max(1.0 / size, 0.03)), SAND_BOTTOM, 1.0),
        (outline(glass, edge), GLASS_EDGE, 1.0),
    ]
    # Side posts hold the plates together; from 32 px up there is room for them.
    if size >= 32:
        post = max(1.5 / size, 0.045)
        for x in (left + post, right - post):
            layers.append((capsule(x, top + plate, x, bottom - plate, post), frame, 1.0))
    layers.append((rounded_box(left, top, right, top + plate, plate * 0.3), frame, 1.0))
    layers.append((rounded_box(left, bottom - plate, right, bottom, plate * 0.3), frame, 1.0))
    return layers


# --------------------------------------------------------------------------------------------
# Pixels and palettes
# --------------------------------------------------------------------------------------------


def to_rgba8(rows):
    """Float straight RGBA rows -> rows of (r, g, b, a) bytes; fully clear pixels are 0,0,0,0."""
    out = []
    for row in rows:
        line = []
        for r, g, b, a in row:
            a8 = to_byte(a)
            line.append((to_byte(r), to_byte(g), to_byte(b), a8) if a8 else (0, 0, 0, 0))
        out.append(line)
    return out


def opaque_colours(colours):
    return [tuple(to_byte(v) for v in colour) for colour in colours]


# 16 colours for the 4-bit application icon: its own colours and the shades between them
# that edges fall onto. Index 0 is black, used for the transparent pixels.
ZERAVAN_PALETTE_16 = [(0, 0, 0)] + opaque_colours([
    NAVY, FACE_TOP, mix(FACE_TOP, FACE_BOTTOM, 0.33), mix(FACE_TOP, FACE_BOTTOM, 0.66),
    FACE_BOTTOM, mix(NAVY, FACE_BOTTOM, 0.5), WHITE, TICK, mix(WHITE, FACE_TOP, 0.5),
    mix(WHITE, FACE_BOTTOM, 0.5), YELLOW, mix(YELLOW, FACE_TOP, 0.5),
    mix(YELLOW, FACE_BOTTOM, 0.5), mix(NAVY, rgb("#000000"), 0.5), rgb("#9ec4f2"),
])

COUNTDOWN_COLOURS = opaque_colours([
    FRAME_DARK, FRAME_LIGHT, mix(FRAME_DARK, FRAME_LIGHT, 0.5), GLASS, GLASS_EDGE,
    mix(GLASS, GLASS_EDGE, 0.5), SAND_TOP, SAND_BOTTOM, mix(SAND_TOP, SAND_BOTTOM, 0.5),
    mix(GLASS, SAND_TOP, 0.5), mix(GLASS_EDGE, SAND_BOTTOM, 0.5),
])


def palette_256(own_colours):
    """A fixed 256-colour palette: black, the icon's own colours, a 6x6x6 colour cube and greys."""
    palette = [(0, 0, 0)] + [c for c in own_colours if c != (0, 0, 0)]
    cube = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    palette += [c for c in cube if c not in palette]
    for grey in range(8, 256, 10):
        if (grey, grey, grey) not in palette:
            palette.append((grey, grey, grey))
    palette = palette[:256]
    return palette + [(0, 0, 0)] * (256 - len(palette))


def quantise(pixels, palette):
    """Nearest palette colour per pixel (no dithering: it would only be noise at 16 px).

    Returns rows of indices and rows of transparency bits; alpha below one half is clear.
    """
    cache = {}

    def nearest(colour):
        if colour not in cache:
            r, g, b = colour
            cache[colour] = min(
                range(1, len(palette)),
                key=lambda i: 3 * (palette[i][0] - r) ** 2 + 4 * (palette[i][1] - g) ** 2
                + 2 * (palette[i][2] - b) ** 2)
        return cache[colour]

    indices, clear = [], []
    for row in pixels:
        indices.append([nearest((r, g, b)) if a >= 128 else 0 for r, g, b, a in row])
        clear.append([a < 128 for _, _, _, a in row])
    return indices, clear


# --------------------------------------------------------------------------------------------
# ICO
# --------------------------------------------------------------------------------------------


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def and_mask(clear):
    """1 bit per pixel, set where transparent; bottom-up rows padded to 4 bytes."""
    out = b""
    for row in reversed(clear):
        bits = bytearray((len(row) + 7) // 8)
        for x, is_clear in enumerate(row):
            if is_clear:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += pad4(bytes(bits))
    return out


def dib(pixels, bits, palette=None):
    """One icon image: BITMAPINFOHEADER (height doubled for the mask), palette, colour bits,
    AND mask. pixels are rows of RGBA bytes."""
    size = len(pixels)
    if bits in (4, 8):
        indices, clear = quantise(pixels, palette)
        table = b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in palette)
        colour = b""
        for row in reversed(indices):
            if bits == 8:
                colour += pad4(bytes(row))
            else:
                colour += pad4(bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2)))
    else:
        table = b""
        clear = [[a < 128 if bits == 24 else a == 0 for _, _, _, a in row] for row in pixels]
        colour = b""
        for row, row_clear in zip(reversed(pixels), reversed(clear)):
            if bits == 32:
                colour += b"".join(struct.pack("<4B", b, g, r, a) for r, g, b, a in row)
            else:
                colour += pad4(b"".join(b"\0\0\0" if c else struct.pack("<3B", b, g, r)
                                        for (r, g, b, _), c in zip(row, row_clear)))
    mask = and_mask(clear)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + table + colour + mask


def ico(images):
    """images: list of (size, bits, dib bytes) -> the bytes of an .ico file."""
    offset = 6 + 16 * len(images)
    directory, data = b"", b""
    for size, bits, image in images:
        colours = 16 if bits == 4 else 0
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                                 len(image), offset + len(data))
        data += image
    return struct.pack("<HHH", 0, 1, len(images)) + directory + data


# --------------------------------------------------------------------------------------------
# PNG
# --------------------------------------------------------------------------------------------


def png(pixels):
    """RGBA rows -> PNG bytes (no time or text chunks, so the bytes never change)."""
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# --------------------------------------------------------------------------------------------
# Baseline JPEG: YCbCr, 4:2:0 chroma, the example tables of the JPEG standard's annex K
# --------------------------------------------------------------------------------------------

ZIGZAG = [
    0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48, 41, 34, 27,
    20, 13, 6, 7, 14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58,
    59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
]

LUMA_QUANT = [
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57, 69,
    56, 14, 17, 22, 29, 51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81,
    104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
]
CHROMA_QUANT = [
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99, 99,
    99, 47, 66, 99, 99, 99, 99, 99, 99,
] + [99] * 32

# Huffman tables as (number of codes of each length 1..16, symbols in code order).
DC_LUMA = ([0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0], list(range(12)))
DC_CHROMA = ([0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0], list(range(12)))
AC_LUMA = ([0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D], bytes.fromhex(
    "01020300041105122131410613516107227114328191a1082342b1c11552d1f02433627282090a161718191a"
    "25262728292a3435363738393a434445464748494a535455565758595a636465666768696a737475767778"
    "797a838485868788898a92939495969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7"
    "c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9eaf1f2f3f4f5f6f7f8f9fa"))
AC_CHROMA = ([0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77], bytes.fromhex(
    "000102031104052131061241510761711322328108144291a1b1c109233352f0156272d10a162434e125f1"
    "1718191a262728292a35363738393a434445464748494a535455565758595a636465666768696a73747576"
    "7778797a82838485868788898a92939495969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4"
    "c5c6c7c8c9cad2d3d4d5d6d7d8d9dae2e3e4e5e6e7e8e9eaf2f3f4f5f6f7f8f9fa"))

DCT = [[(math.sqrt(0.125) if u == 0 else 0.5) * math.cos((2 * x + 1) * u * math.pi / 16)
        for x in range(8)] for u in range(8)]


def quant_table(base, quality):
    """The usual quality scaling of the annex K tables (1..100)."""
    scale = 5000 / quality if quality < 50 else 200 - 2 * quality
    return [int(clamp((q * scale + 50) // 100, 1, 255)) for q in base]


def huffman_codes(table):
    """symbol -> (code, length) for a table given as counts per length and symbols."""
    counts, symbols = table
    codes, code, k = {}, 0, 0
    for length, count in enumerate(counts, start=1):
        for _ in range(count):
            codes[symbols[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


class BitWriter:
    """Entropy-coded bytes, with a zero stuffed after every 0xFF as JPEG requires."""

    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.count = 0

    def write(self, value, length):
        self.acc = (self.acc << length) | (value & ((1 << length) - 1))
        self.count += length
        while self.count >= 8:
            self.count -= 8
            byte = (self.acc >> self.count) & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0)
        self.acc &= (1 << self.count) - 1

    def finish(self):
        if self.count:
            self.write(0x7F, 8 - self.count)  # pad with one bits
        return bytes(self.out)


def fdct(block):
    """2-D DCT of 64 level-shifted samples (row major), as two passes of 1-D transforms."""
    rows = [[sum(c * v for c, v in zip(basis, block[r * 8:r * 8 + 8])) for basis in DCT]
            for r in range(8)]
    out = [0.0] * 64
    for u in range(8):
        column = [rows[r][u] for r in range(8)]
        for v in range(8):
            out[v * 8 + u] = sum(c * x for c, x in zip(DCT[v], column))
    return out


def magnitude_bits(value):
    """JPEG's size category of a coefficient and the bits that follow its code."""
    size = abs(value).bit_length()
    return size, value if value >= 0 else value + (1 << size) - 1


def encode_block(writer, block, quant, previous_dc, dc_codes, ac_codes):
    coefficients = fdct(block)
    zz = [int(round(coefficients[ZIGZAG[k]] / quant[ZIGZAG[k]])) for k in range(64)]
    size, bits = magnitude_bits(zz[0] - previous_dc)
    writer.write(*dc_codes[size])
    writer.write(bits, size)
    run = 0
    for value in zz[1:]:
        if value == 0:
            run += 1
            continue
        while run > 15:
            writer.write(*ac_codes[0xF0])
            run -= 16
        size, bits = magnitude_bits(value)
        writer.write(*ac_codes[(run << 4) | size])
        writer.write(bits, size)
        run = 0
    if run:
        writer.write(*ac_codes[0x00])
    return zz[0]


def ycbcr_planes(pixels, width, height):
    """RGB rows -> Y, Cb, Cr planes, padded by repeating edges to whole 16 x 16 blocks."""
    padded_w, padded_h = -(-width // 16) * 16, -(-height // 16) * 16
    planes = ([], [], [])
    for y in range(padded_h):
        row = pixels[min(y, height - 1)]
        lines = ([], [], [])
        for x in range(padded_w):
            r, g, b = row[min(x, width - 1)]
            lines[0].append(0.299 * r + 0.587 * g + 0.114 * b - 128)
            lines[1].append(-0.168736 * r - 0.331264 * g + 0.5 * b)
            lines[2].append(0.5 * r - 0.418688 * g - 0.081312 * b)
        for plane, line in zip(planes, lines):
            plane.append(line)
    return planes


def halve(plane):
    """Averages 2 x 2 squares: the 4:2:0 chroma subsampling."""
    return [[(top[x] + top[x + 1] + low[x] + low[x + 1]) / 4 for x in range(0, len(top), 2)]
            for top, low in zip(plane[0::2], plane[1::2])]


def block_at(plane, bx, by):
    return [v for row in plane[by:by + 8] for v in row[bx:bx + 8]]


def jpeg(pixels, quality):
    """RGB rows (bytes) -> the bytes of a baseline JFIF file."""
    height, width = len(pixels), len(pixels[0])
    luma_q, chroma_q = quant_table(LUMA_QUANT, quality), quant_table(CHROMA_QUANT, quality)
    y_plane, cb_plane, cr_plane = ycbcr_planes(pixels, width, height)
    cb_plane, cr_plane = halve(cb_plane), halve(cr_plane)

    codes = [huffman_codes(t) for t in (DC_LUMA, AC_LUMA, DC_CHROMA, AC_CHROMA)]
    writer = BitWriter()
    dc = [0, 0, 0]
    for my in range(0, len(y_plane), 16):
        for mx in range(0, len(y_plane[0]), 16):
            for by, bx in ((my, mx), (my, mx + 8), (my + 8, mx), (my + 8, mx + 8)):
                dc[0] = encode_block(writer, block_at(y_plane, bx, by), luma_q, dc[0],
                                     codes[0], codes[1])
            for i, plane in ((1, cb_plane), (2, cr_plane)):
                dc[i] = encode_block(writer, block_at(plane, mx // 2, my // 2), chroma_q, dc[i],
                                     codes[2], codes[3])

    def segment(marker, body):
        return struct.pack(">BBH", 0xFF, marker, len(body) + 2) + body

    def huffman_segment(kind, table):
        counts, symbols = table
        return bytes([kind]) + bytes(counts) + bytes(symbols)

    return b"".join([
        b"\xff\xd8",
        segment(0xE0, b"JFIF\0" + struct.pack(">BBBHHBB", 1, 1, 0, 1, 1, 0, 0)),
        segment(0xDB, b"\0" + bytes(luma_q[i] for i in ZIGZAG)
                + b"\1" + bytes(chroma_q[i] for i in ZIGZAG)),
        segment(0xC0, struct.pack(">BHHB", 8, height, width, 3)
                + bytes([1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1])),
        segment(0xC4, huffman_segment(0x00, DC_LUMA) + huffman_segment(0x10, AC_LUMA)
                + huffman_segment(0x01, DC_CHROMA) + huffman_segment(0x11, AC_CHROMA)),
        segment(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0])),
        writer.finish(),
        b"\xff\xd9",
    ])


# --------------------------------------------------------------------------------------------
# The background picture
# --------------------------------------------------------------------------------------------

BACKGROUND_WIDTH, BACKGROUND_HEIGHT = 831, 541
BACKGROUND_QUALITY = 92  # about 20 KB; lower settings band the gradients
STEEL = (86, 122, 162)
SLATE = (92, 131, 152)
TEAL_GREY = (106, 146, 145)
LIGHT = (222, 234, 242)


def grain(x, y):
    """Fixed pseudo-random noise in -1..1 from the pixel position; it hides gradient banding."""
    h = (x * 374761393 + y * 668265263 + 1013904223) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 32767.5 - 1.0


def background_pixel(x, y):
    w, h = BACKGROUND_WIDTH, BACKGROUND_HEIGHT
    # Diagonal gradient, steel blue at the top left to teal grey at the bottom right.
    t = clamp(0.6 * x / w + 0.4 * y / h)
    colour = mix(STEEL, SLATE, t / 0.5) if t < 0.5 else mix(SLATE, TEAL_GREY, (t - 0.5) / 0.5)
    # A broad soft light from the upper left.
    glow = math.exp(-((x - 0.2 * w) ** 2 + (y - 0.05 * h) ** 2) / (2 * (0.42 * w) ** 2))
    light = 0.10 * glow
    # Faint arcs of a huge clock face whose centre lies off the picture, bottom right; only
    # wide curves show, so stretching the picture unevenly just bends them a little.
    cx, cy = 1.02 * w, 1.45 * h
    r = math.hypot(x - cx, y - cy)
    for radius, strength in ((420, 0.07), (520, 0.05), (690, 0.06), (860, 0.04)):
        light += strength * math.exp(-((r - radius) / 1.8) ** 2)
    light += 0.045 * math.exp(-((r - 605) / 40) ** 2)
    # Minute marks just inside the 690 px arc, every 6 degrees, longer every 30.
    angle = math.degrees(math.atan2(x - cx, cy - y)) % 30
    nearest_mark = round(angle / 6) * 6
    along = abs(angle - nearest_mark) * math.pi / 180 * r  # pixels from the nearest mark
    reach = 28 if nearest_mark % 30 == 0 else 14
    if 690 - 8 - reach < r < 690 - 8:
        light += 0.06 * math.exp(-(along / 1.4) ** 2)
    colour = mix(colour, LIGHT, clamp(light))
    # Slightly darker corners keep the eye in the middle.
    dx, dy = x / w - 0.5, y / h - 0.5
    shade = 1.0 - 0.12 * (dx * dx + dy * dy)
    noise = 1.2 * grain(x, y)
    return tuple(int(clamp(round(v * shade + noise), 0, 255)) for v in colour)


def background():
    return [[background_pixel(x, y) for x in range(BACKGROUND_WIDTH)]
            for y in range(BACKGROUND_HEIGHT)]


# --------------------------------------------------------------------------------------------
# Putting it together
# --------------------------------------------------------------------------------------------


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    print(f"{path}: {len(data)} bytes")


def main():
    if not os.path.isdir(ASSETS):
        sys.exit("run this from the repository root: python3 tools/make_artwork.py")

    zeravan = {size: to_rgba8(render(zeravan_layers(size), size))
               for size in (16, 24, 32, 48, 64, 128, 256)}
    palette16 = ZERAVAN_PALETTE_16
    palette = palette_256(ZERAVAN_PALETTE_16[1:])
    images = []
    for size in (48, 32, 24, 16):
        images.append((size, 4, dib(zeravan[size], 4, palette16)))
        images.append((size, 8, dib(zeravan[size], 8, palette)))
        images.append((size, 32, dib(zeravan[size], 32)))
    write(os.path.join(ASSETS, "zeravan.ico"), ico(images))
    for size, pixels in zeravan.items():
        write(os.path.join(ASSETS, "icons", f"zeravan-{size}.png"), png(pixels))

    countdown = {size: to_rgba8(render(countdown_layers(size), size)) for size in (16, 32, 48, 64)}
    palette = palette_256(COUNTDOWN_COLOURS)
    images = []
    for size in (16, 32):
        for bits in (8, 24, 32):
            images.append((size, bits, dib(countdown[size], bits, palette)))
    for size in (48, 64):
        images.append((size, 32, dib(countdown[size], 32)))
    write(os.path.join(ASSETS, "countdown.ico"), ico(images))

    write(os.path.join(ASSETS, "background.jpg"), jpeg(background(), BACKGROUND_QUALITY))


if __name__ == "__main__":
    main()
