#!/usr/bin/env python3
"""Draws the suite's small icons (32-bit ICO files, 16x16 and 32x32) from code,
so the artwork can be regenerated: python3 tools/make_icons.py <out-folder>."""
import struct, sys, os

def bitmap(size, paint):
    rows = []
    for y in range(size - 1, -1, -1):          # ICO bitmaps are stored bottom-up
        row = b""
        for x in range(size):
            r, g, b, a = paint(x / size, y / size)
            row += bytes((b, g, r, a))
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    andmask = bytes(mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask

def ico(paint, sizes=(16, 32)):
    images = [bitmap(s, paint) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    return out + b"".join(images)

def disc(colour, inner=None):
    def paint(x, y):
        dx, dy = x - 0.47, y - 0.47
        d = (dx * dx + dy * dy) ** 0.5
        if d > 0.46:
            return (0, 0, 0, 0)
        if inner and inner(x, y):
            return (255, 255, 255, 255)
        return colour + (255,)
    return paint

def wizard_glyph(x, y):   # a white "V" stroke
    return 0.25 < y < 0.75 and abs(abs(x - 0.47) - (0.75 - y) * 0.45) < 0.07

def arrow_glyph(x, y):    # a white up arrow
    return (0.4 < x < 0.56 and 0.35 < y < 0.78) or (0.2 < y < 0.42 and abs(x - 0.48) < (y - 0.2) * 1.1)

def exclamation_glyph(x, y):   # a white "!"
    return abs(x - 0.47) < 0.07 and (0.2 < y < 0.58 or 0.66 < y < 0.78)

def info_glyph(x, y):          # a white "i"
    return abs(x - 0.47) < 0.07 and (0.2 < y < 0.32 or 0.4 < y < 0.78)

if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "wizard.ico"), "wb") as f:
        f.write(ico(disc((30, 110, 200), wizard_glyph)))
    with open(os.path.join(out, "extension.ico"), "wb") as f:
        f.write(ico(disc((20, 150, 70), arrow_glyph)))
    with open(os.path.join(out, "options_note.ico"), "wb") as f:     # extension icon 110
        f.write(ico(disc((220, 150, 20), exclamation_glyph)))
    with open(os.path.join(out, "options_info.ico"), "wb") as f:     # extension icon 121
        f.write(ico(disc((40, 100, 210), info_glyph)))
