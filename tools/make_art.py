#!/usr/bin/env python3
"""Draws kobex's own artwork and writes it into src/resources.

kobex.ico: the tray and program icon, 32 x 32 pixels, 256 colours: a speech
bubble with three dots.
about.ico: the About box's icon, 32 x 32, 256 colours: a round "i".
about_logo.jpg: the About box's logo, 296 x 72: the wordmark on a gradient
band (written as PPM, then turned into a JPEG by ImageMagick's convert).
Run again to regenerate; the output is deterministic.
"""
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.join(HERE, "..", "src", "resources")


def write_ico(path, pixels, size=32):
    """pixels: size x size rows of (r, g, b) or None for transparent."""
    palette = [(0, 0, 0)]
    for row in pixels:
        for p in row:
            if p is not None and p not in palette:
                palette.append(p)
    if len(palette) > 256:
        sys.exit("too many colours for a 256-colour icon")
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
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    image = header + colours + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", size % 256, size % 256, 0, 0, 1, 8, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + image)


def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def kobex_icon():
    size = 32
    outline = (12, 52, 64)
    top, bottom = (64, 196, 204), (20, 118, 140)
    white = (255, 255, 255)
    px = [[None] * size for _ in range(size)]

    def in_bubble(x, y):
        # A rounded rectangle from (2, 3) to (29, 22), corner radius 6.
        l, t, r, b, rad = 2, 3, 29, 22, 6
        if not (l <= x <= r and t <= y <= b):
            return False
        cx = min(max(x, l + rad), r - rad)
        cy = min(max(y, t + rad), b - rad)
        return (x - cx) ** 2 + (y - cy) ** 2 <= rad * rad

    def in_tail(x, y):
        # A tail leaning to the lower left, from the bubble's bottom edge.
        return 22 <= y <= 29 and 7 - (y - 22) // 2 <= x <= 14 - (y - 22)

    def inside(x, y):
        return in_bubble(x, y) or in_tail(x, y)

    for y in range(size):
        for x in range(size):
            if not inside(x, y):
                continue
            edge = any(not inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            px[y][x] = outline if edge else blend(top, bottom, y / 26)
    for cx in (9, 16, 23):  # three dots: someone is typing
        for y in range(10, 17):
            for x in range(cx - 3, cx + 4):
                if (x - cx) ** 2 + (y - 13) ** 2 <= 6:
                    px[y][x] = white
    return px


def about_icon():
    size = 32
    ring, fill, white = (58, 36, 112), (118, 84, 196), (255, 255, 255)
    px = [[None] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            d = (x - 15.5) ** 2 + (y - 15.5) ** 2
            if d <= 15 ** 2:
                px[y][x] = ring if d > 13 ** 2 else blend(fill, ring, y / 40)
    for y in range(7, 11):  # the dot of the i
        for x in range(14, 18):
            px[y][x] = white
    for y in range(13, 25):  # its stem, with a foot
        for x in range(14, 18):
            px[y][x] = white
    for x in range(12, 20):
        px[24][x] = px[25][x] = white
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
    write_ico(os.path.join(RESOURCES, "kobex.ico"), kobex_icon())
    write_ico(os.path.join(RESOURCES, "about.ico"), about_icon())
    write_jpeg(os.path.join(RESOURCES, "about_logo.jpg"), about_logo())


if __name__ == "__main__":
    main()
