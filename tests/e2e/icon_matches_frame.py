# icon_matches_frame.py SHOWN FRAME: the picture SHOWN (a P6 PPM of the tray's
# icon window) shows FRAME (a PAM or PPM of one of the icon's frames), centred,
# pixel for pixel: the frame's own pixels exactly, its transparent ones as the
# window's background (or black where Wine's tray leaves the background under
# a large icon's lowest rows unpainted).
# Prints what it found; exits 2 when a pixel differs, fewer than half are as
# drawn, or unpainted background stands anywhere but in a block of rows at the
# bottom; any other failure (no picture, no frame) is another code.
import sys

def read(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    if data.startswith(b"P7"):  # PAM: a header of lines up to ENDHDR
        end = data.index(b"ENDHDR\n") + 7
        head = dict(l.split(b" ", 1) for l in data[3:end - 7].split(b"\n") if b" " in l)
        w, h, depth = int(head[b"WIDTH"]), int(head[b"HEIGHT"]), int(head[b"DEPTH"])
        if head[b"MAXVAL"] != b"255":
            sys.exit(f"{path}: not 8 bits a channel")
        return w, h, depth, data[end:]
    while len(fields) < 4:  # P6: magic, width, height, maximum, then RGB
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[3] != b"255":
        sys.exit(f"{path}: not 8 bits a channel")
    return int(fields[1]), int(fields[2]), 3, data[pos + 1:]

sw, sh, _, shown = read(sys.argv[1])
fw, fh, depth, frame = read(sys.argv[2])
ox, oy = (sw - fw) // 2, (sh - fh) // 2
background = tuple(shown[0:3])
seen = unpainted = differ = 0
unpainted_rows = set()
transparent = set()
for y in range(fh):
    for x in range(fw):
        f = frame[(y * fw + x) * depth:(y * fw + x + 1) * depth]
        i = ((oy + y) * sw + ox + x) * 3
        got = tuple(shown[i:i + 3])
        if depth == 4 and f[3] == 0:  # transparent: the tray's background shows
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
cut = min(unpainted_rows, default=fh)
in_block = all(tuple(shown[((oy + y) * sw + ox + x) * 3:((oy + y) * sw + ox + x) * 3 + 3]) == (0, 0, 0)
               for (x, y) in transparent if y >= cut)
print(f"{fw}x{fh} frame at +{ox}+{oy} of the {sw}x{sh} icon window: {seen} pixels as drawn, {differ} differ, "
      f"{unpainted} transparent over unpainted background")
sys.exit(0 if differ == 0 and seen * 2 >= fw * fh and in_block else 2)
