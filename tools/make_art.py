#!/usr/bin/env python3
"""Draws kobex's own artwork and writes it into src/resources.

kobex.ico: the tray and program icon, 32 x 32 pixels, 256 colours: a speech
bubble with three dots. Run again to regenerate; the output is deterministic.
"""
import os
import struct
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


def main():
    write_ico(os.path.join(RESOURCES, "kobex.ico"), kobex_icon())


if __name__ == "__main__":
    main()
