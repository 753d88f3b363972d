# icon_matches_frame.py SHOWN W H FRAME SIZE: SHOWN, the tray's icon window
# (W x H pixels, 8-bit RGB), shows FRAME, one of the icon's frames (SIZE x SIZE
# pixels, 8-bit RGBA), centred, pixel for pixel: the frame's own pixels
# exactly, its transparent ones as the window's background (or black where
# Wine's tray leaves the background under a large icon's lowest rows
# unpainted).
# Prints what it found; exits 2 when a pixel differs, fewer than half are as
# drawn, or unpainted background stands anywhere but in a block of rows at the
# bottom; any other failure (no picture, no frame) is another code.
import sys

sw, sh, size = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[5])
shown, frame = open(sys.argv[1], "rb").read(), open(sys.argv[4], "rb").read()
if len(shown) != sw * sh * 3 or len(frame) != size * size * 4:
    sys.exit("the pictures are not of the sizes given")
if sw < size or sh < size:
    sys.exit(f"the {sw}x{sh} icon window cannot hold the {size}-pixel frame")
ox, oy = (sw - size) // 2, (sh - size) // 2


def shown_at(x, y):
    i = ((oy + y) * sw + ox + x) * 3
    return tuple(shown[i:i + 3])


background = tuple(shown[0:3])
seen = unpainted = differ = 0
unpainted_rows = set()
transparent = set()
for y in range(size):
    for x in range(size):
        f = frame[(y * size + x) * 4:(y * size + x + 1) * 4]
        got = shown_at(x, y)
        if f[3] == 0:  # transparent: the tray's background shows
            transparent.add((x, y))
            if got == background:
                seen += 1
            elif got == (0, 0, 0):
                unpainted += 1
                unpainted_rows.add(y)
            else:
                differ += 1
        elif got == tuple(f[:3]):
            seen += 1
        else:
            differ += 1
# Where the tray leaves its background unpainted it is a block of rows at the
# bottom, black behind every transparent pixel of those rows.
cut = min(unpainted_rows, default=size)
in_block = all(shown_at(x, y) == (0, 0, 0) for (x, y) in transparent if y >= cut)
print(f"{size}x{size} frame at +{ox}+{oy} of the {sw}x{sh} icon window: {seen} pixels as drawn, {differ} differ, "
      f"{unpainted} transparent over unpainted background")
sys.exit(0 if differ == 0 and seen * 2 >= size * size and in_block else 2)
