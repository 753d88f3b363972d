#!/usr/bin/env python3
"""Draws kobex's own artwork and writes it into src/resources.

kobex.ico: the tray and program icon, 256 colours: a speech bubble with three
dots, drawn anew for each size the shell shows it at: 16, 20, 24, 32, 40 and
48 pixels (small icons at 100, 125, 150, 200, 250 and 300 % scaling).
about.ico: the About box's icon, the same sizes: a round "i".
about_logo.jpg: the About box's logo, 296 x 72: the wordmark on a gradient
band (written as PPM, then turned into a JPEG by ImageMagick's convert).
Run again to regenerate; the output is deterministic.
"""
import math
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.join(HERE, "..", "src", "resources")


SIZES = (16, 20, 24, 32, 40, 48)


def icon_image(pixels):
    """One frame: a 256-colour bitmap and its mask."""
    size = len(pixels)
    palette = [(0, 0, 0)]
    for row in pixels:
        for p in row:
            if p is not None and p not in palette:
                palette.append(p)
    if len(palette) > 256:
        sys.exit("too many colours for a 256-colour icon")
    # The full 256 entries, as the program's 32-pixel icon has always had them:
    # its bytes stay what they were.
    palette += [(0, 0, 0)] * (256 - len(palette))
    index = {c: i for i, c in reversed(list(enumerate(palette)))}

    xor = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(pixels):  # bitmaps are stored bottom-up
        xor += bytes(0 if p is None else index[p] for p in row)
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    assert size % 4 == 0, "rows of 8-bit pixels are padded to 4 bytes: sizes are multiples of 4"
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + bytes(xor) + bytes(mask)


def write_ico(path, frames):
    """frames: one picture per size, each size x size rows of (r, g, b) or None for transparent."""
    images = [icon_image(pixels) for pixels in frames]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for pixels, image in zip(frames, images):
        size = len(pixels)
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(directory + b"".join(images))


def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def design_point(x, y, size):
    """The centre of pixel (x, y) of a frame of `size`, in the 32-pixel design's coordinates."""
    f = size / 32
    return (x + 0.5) / f - 0.5, (y + 0.5) / f - 0.5


def kobex_icon(size=32):
    outline = (12, 52, 64)
    top, bottom = (64, 196, 204), (20, 118, 140)
    white = (255, 255, 255)
    px = [[None] * size for _ in range(size)]

    def in_bubble(u, v):
        # A rounded rectangle from (2, 3) to (29, 22), corner radius 6.
        l, t, r, b, rad = 2, 3, 29, 22, 6
        if not (l <= u <= r and t <= v <= b):
            return False
        cx = min(max(u, l + rad), r - rad)
        cy = min(max(v, t + rad), b - rad)
        return (u - cx) ** 2 + (v - cy) ** 2 <= rad * rad

    def in_tail(u, v):
        # A tail leaning to the lower left, from the bubble's bottom edge.
        return 22 <= v <= 29 and 7 - math.floor((v - 22) / 2) <= u <= 14 - (v - 22)

    def inside(x, y):
        u, v = design_point(x, y, size)
        return in_bubble(u, v) or in_tail(u, v)

    for y in range(size):
        for x in range(size):
            if not inside(x, y):
                continue
            edge = any(not inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            px[y][x] = outline if edge else blend(top, bottom, design_point(x, y, size)[1] / 26)
    for x, y in typing_dots(size):  # three dots: someone is typing
        px[y][x] = white
    return px


# The dots' diameter and the distance between their centres, in pixels, for
# each size: even diameters, so that the middle dot sits on the frame's centre
# line, and whole distances, so that all three dots are alike.
DOTS = {16: (2, 4), 20: (2, 4), 24: (4, 6), 40: (6, 9), 48: (8, 10)}


def typing_dots(size):
    if size == 32:  # the design itself: discs of radius 2.45 at 9, 16 and 23
        return [(x, y) for y in range(size) for x in range(size) for cx in (9, 16, 23)
                if (x - cx) ** 2 + (y - 13) ** 2 <= 6]
    diameter, step = DOTS[size]
    middle = size / 2 - 0.5
    centre_y = round(13.5 * size / 32 - 0.5 - (diameter / 2 - 0.5)) + diameter / 2 - 0.5
    r2 = (diameter / 2) ** 2
    return [(x, y) for y in range(size) for x in range(size) for cx in (middle - step, middle, middle + step)
            if (x - cx) ** 2 + (y - centre_y) ** 2 <= r2]


def about_icon(size=32):
    ring, fill, white = (58, 36, 112), (118, 84, 196), (255, 255, 255)
    px = [[None] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            u, v = design_point(x, y, size)
            d = (u - 15.5) ** 2 + (v - 15.5) ** 2
            if d <= 15 ** 2:
                px[y][x] = ring if d > 13 ** 2 else blend(fill, ring, v / 40)
            if 14 <= u < 18 and (7 <= v < 11 or 13 <= v < 25):  # the dot of the i, its stem
                px[y][x] = white
            if 12 <= u < 20 and 24 <= v < 26:  # its foot
                px[y][x] = white
    return px


# A 5 x 7 pixel font for the wordmark, one string of rows per letter.
GLYPHS = {
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "I": ["111", "010", "010", "010", "010", "010", "111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    " ": ["000", "000", "000", "000", "000", "000", "000"],
}


def draw_text(px, text, left, top, scale, colour):
    x = left
    for ch in text:
        glyph = GLYPHS[ch]
        for gy, row in enumerate(glyph):
            for gx, bit in enumerate(row):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            px[top + gy * scale + dy][x + gx * scale + dx] = colour
        x += (len(glyph[0]) + 1) * scale
    return x


def about_logo():
    width, height = 296, 72
    left, right = (14, 92, 112), (64, 196, 204)
    px = [[blend(left, right, x / (width - 1)) for x in range(width)] for _ in range(height)]
    bubble = kobex_icon()
    for y in range(32):  # the tray picture, twice its size, at the left
        for x in range(32):
            if bubble[y][x] is not None:
                for dy in range(2):
                    for dx in range(2):
                        px[4 + 2 * y + dy][8 + 2 * x + dx] = bubble[y][x]
    # The box shows only the first 240 pixels: the wordmark stays within them.
    end = draw_text(px, "VELTRANO", 84, 16, 3, (255, 255, 255))
    draw_text(px, "IM", 84, 44, 2, (220, 246, 248))
    assert end <= 240
    return px


def write_jpeg(path, px):
    height, width = len(px), len(px[0])
    ppm = path + ".ppm"
    with open(ppm, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (width, height))
        f.write(bytes(c for row in px for p in row for c in p))
    try:
        subprocess.run(["/usr/bin/convert", ppm, "-strip", "-quality", "92", "-sampling-factor", "4:2:0",
                        "jpg:" + path], check=True)
    finally:
        os.remove(ppm)


def main():
    write_ico(os.path.join(RESOURCES, "kobex.ico"), [kobex_icon(size) for size in SIZES])
    write_ico(os.path.join(RESOURCES, "about.ico"), [about_icon(size) for size in SIZES])
    write_jpeg(os.path.join(RESOURCES, "about_logo.jpg"), about_logo())


if __name__ == "__main__":
    main()
