# SHOWN W H FRAME SIZE: the tray's icon window SHOWN (W x H, RGB) shows the SIZE-pixel FRAME (RGBA) centred, its
# transparent pixels as the background, or black in rows at the bottom that Wine's tray leaves unpainted. 2: no.
import sys

sw, sh, size = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[5])
shown, frame = open(sys.argv[1], "rb").read(), open(sys.argv[4], "rb").read()
if len(shown) != sw * sh * 3 or len(frame) != size * size * 4 or sw < size or sh < size:
    sys.exit(f"the {sw}x{sh} picture cannot be the icon window holding the {size}-pixel frame")
ox, oy = (sw - size) // 2, (sh - size) // 2
background, black = tuple(shown[0:3]), (0, 0, 0)
pixels = [(y, frame[f + 3] == 0, tuple(frame[f:f + 3]), tuple(shown[s:s + 3]))
          for y in range(size) for x in range(size)
          for f, s in [((y * size + x) * 4, ((oy + y) * sw + ox + x) * 3)]]
seen = differ = 0
unpainted = []
for y, clear, drawn, got in pixels:
    if got == (background if clear else drawn):
        seen += 1
    elif clear and got == black:
        unpainted.append(y)
    else:
        differ += 1
in_block = all(got == black for y, clear, _, got in pixels if clear and y >= min(unpainted, default=size))
print(f"{size}x{size} frame at +{ox}+{oy} of the {sw}x{sh} icon window: {seen} pixels as drawn, {differ} differ, "
      f"{len(unpainted)} transparent over unpainted background")
sys.exit(0 if differ == 0 and seen * 2 >= size * size and in_block else 2)
