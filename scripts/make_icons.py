#!/usr/bin/env python3
"""Draws the program's two icons and writes them as .ico files into src/resources/.

delicon.ico  - the archive box with a red cross (the uninstaller's own file icon)
kvxicon.ico  - the archive box with its strap (the icon of the setup dialogs)

Each file holds 32x32 and 16x16 images twice: 32 bits with alpha for
XP and later, and 8 bits with a transparency mask for older shells,
which cannot blend an alpha channel. Only the standard library is used,
and the output is byte-for-byte reproducible, so the .ico files can be
committed and regenerated without noise.

Usage: python3 scripts/make_icons.py [output-folder]
"""

import os
import struct
import sys

# The shapes are laid out on a 32-unit grid; at 16 pixels one unit is half a
# pixel, so edges sit on even units wherever the small image must stay crisp.
GRID = 32
SUBSAMPLES = 8  # per pixel and axis, for smooth diagonal edges

OUTLINE = (92, 58, 23, 255)
LID = (201, 139, 63, 255)
BODY = (224, 173, 98, 255)
LID_SHADOW = (178, 118, 50, 255)
TAPE = (243, 220, 168, 255)
STRAP = (46, 98, 186, 255)
STRAP_LIGHT = (110, 160, 230, 255)
CROSS = (214, 36, 40, 255)
WHITE = (255, 255, 255, 255)


class Rect:
    def __init__(self, x0, y0, x1, y1, color):
        self.box = (x0, y0, x1, y1)
        self.color = color

    def contains(self, x, y):
        x0, y0, x1, y1 = self.box
        return x0 <= x < x1 and y0 <= y < y1


class Stroke:
    """A straight line with round ends, width given in grid units."""

    def __init__(self, x0, y0, x1, y1, width, color):
        self.a = (x0, y0)
        self.b = (x1, y1)
        self.r2 = (width / 2.0) ** 2
        self.color = color

    def contains(self, x, y):
        ax, ay = self.a
        bx, by = self.b
        dx, dy = bx - ax, by - ay
        t = ((x - ax) * dx + (y - ay) * dy) / float(dx * dx + dy * dy)
        t = max(0.0, min(1.0, t))
        px, py = ax + t * dx - x, ay + t * dy - y
        return px * px + py * py <= self.r2


def outlined_rect(x0, y0, x1, y1, fill, px):
    """A filled rectangle with a one-pixel outline at every image size."""
    return [Rect(x0, y0, x1, y1, OUTLINE),
            Rect(x0 + px, y0 + px, x1 - px, y1 - px, fill)]


def box_shapes(px, with_strap):
    """The archive box: body, lid, packing tape and optionally a strap."""
    shapes = []
    shapes += outlined_rect(4, 10, 28, 28, BODY, px)
    shapes.append(Rect(4 + px, 12, 28 - px, 14, LID_SHADOW))
    shapes.append(Rect(14, 12, 18, 28 - px, TAPE))
    if with_strap:
        shapes += outlined_rect(4, 18, 28, 24, STRAP, px)
        shapes.append(Rect(4 + px, 18 + px, 28 - px, 20, STRAP_LIGHT))
    shapes += outlined_rect(2, 4, 30, 12, LID, px)
    shapes.append(Rect(14, 4 + px, 18, 12 - px, TAPE))
    return shapes


# At 16 pixels a smoothed diagonal turns into a pink smear, so the small
# cross is drawn pixel by pixel instead.
SMALL_CROSS = (
    "XX...XX",
    "XXX.XXX",
    ".XXXXX.",
    "..XXX..",
    ".XXXXX.",
    "XXX.XXX",
    "XX...XX",
)


class PixelMask:
    """Cells of a character pattern, each one pixel of size `px` units."""

    def __init__(self, cells, x0, y0, px, color):
        self.cells = cells
        self.x0, self.y0, self.px = x0, y0, px
        self.color = color

    def contains(self, x, y):
        col = int((x - self.x0) // self.px)
        row = int((y - self.y0) // self.px)
        return (row, col) in self.cells


def pattern_cells(pattern):
    return {(r, c) for r, line in enumerate(pattern)
            for c, ch in enumerate(line) if ch == "X"}


def grown(cells):
    """The cells plus their eight neighbours: a one-pixel rim."""
    return {(r + dr, c + dc) for r, c in cells
            for dr in (-1, 0, 1) for dc in (-1, 0, 1)}


def cross_shapes(px):
    """A red cross with a white rim in the lower right corner."""
    if px >= 2:
        cells = pattern_cells(SMALL_CROSS)
        x0 = GRID - (len(SMALL_CROSS) + 1) * px
        return [PixelMask(grown(cells), x0, x0, px, WHITE),
                PixelMask(cells, x0, x0, px, CROSS)]
    rim = 2 * px
    lo, hi = 16, 28
    return [
        Stroke(lo, lo, hi, hi, 4 + 2 * rim, WHITE),
        Stroke(hi, lo, lo, hi, 4 + 2 * rim, WHITE),
        Stroke(lo, lo, hi, hi, 4, CROSS),
        Stroke(hi, lo, lo, hi, 4, CROSS),
    ]


def delicon_shapes(px):
    return box_shapes(px, with_strap=False) + cross_shapes(px)


def kvxicon_shapes(px):
    return box_shapes(px, with_strap=True)


def render(shape_fn, size):
    """Returns rows (top first) of (r, g, b, a) pixels, not premultiplied."""
    unit = GRID / float(size)
    shapes = shape_fn(unit)
    # Later shapes are drawn on top, so test them first.
    shapes.reverse()
    rows = []
    n = SUBSAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                y = (py + (sy + 0.5) / n) * unit
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) * unit
                    for shape in shapes:
                        if shape.contains(x, y):
                            r, g, b, a = shape.color
                            acc[0] += r * a
                            acc[1] += g * a
                            acc[2] += b * a
                            acc[3] += a
                            break
            samples = n * n
            alpha = acc[3] / samples
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]),
                            round(acc[2] / acc[3]), round(alpha)))
        rows.append(row)
    return rows


def row_padding(nbytes):
    return b"\0" * ((4 - nbytes % 4) % 4)


def and_mask(rows, size):
    """1 bit per pixel, set where the screen shows through; bottom row first."""
    out = bytearray()
    for row in reversed(rows):
        bits = bytearray((size + 7) // 8)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits + row_padding(len(bits))
    return bytes(out)


def bitmap_header(size, bit_count, image_bytes, colors_used=0):
    # The height counts the colour image and the mask together.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bit_count, 0,
                       image_bytes, 0, 0, colors_used, 0)


def image_32bit(rows, size):
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask = and_mask(rows, size)
    return bitmap_header(size, 32, len(xor) + len(mask)) + bytes(xor) + mask


def build_palette(rows):
    """Opaque colours of the image, coarsened until 255 of them fit.

    Index 0 stays black for the transparent pixels, whose colour the mask
    hides: black XORed onto the screen leaves it unchanged.
    """
    opaque = [p[:3] for row in rows for p in row if p[3] >= 128]
    for shift in range(0, 8):
        def key(c, s=shift):
            return tuple((v >> s) << s for v in c)
        colors = sorted(set(key(c) for c in opaque))
        if len(colors) <= 255:
            return [(0, 0, 0)] + colors, key
    raise ValueError("no palette found")


def image_8bit(rows, size):
    palette, key = build_palette(rows)
    index = {c: i for i, c in enumerate(palette)}
    xor = bytearray()
    for row in reversed(rows):
        line = bytes(index[key(p[:3])] if p[3] >= 128 else 0 for p in row)
        xor += line + row_padding(len(line))
    mask = and_mask(rows, size)
    table = bytearray()
    for i in range(256):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    return (bitmap_header(size, 8, len(xor) + len(mask), 256) + bytes(table)
            + bytes(xor) + mask)


def write_ico(path, shape_fn):
    images = []  # (size, bit count, data)
    renders = {size: render(shape_fn, size) for size in (32, 16)}
    for bits, encode in ((32, image_32bit), (8, image_8bit)):
        for size in (32, 16):
            images.append((size, bits, encode(renders[size], size)))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for size, bits, data in images:
        # The colour count is 0 for 256 colours and more.
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits,
                               len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(header + entries + b"".join(d for _, _, d in images))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(here, os.pardir, "src", "resources")
    out = sys.argv[1] if len(sys.argv) > 1 else default_out
    for name, shape_fn in (("delicon.ico", delicon_shapes),
                           ("kvxicon.ico", kvxicon_shapes)):
        path = os.path.normpath(os.path.join(out, name))
        write_ico(path, shape_fn)
        print("wrote", path)


if __name__ == "__main__":
    main()
