#!/usr/bin/env python3
"""Draws the wizard's artwork from code: the watermark and header bitmaps and the
page icons, so they can be regenerated: python3 tools/make_wizard_art.py <out-folder>."""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_icons import disc, ico  # noqa: E402


def bmp(width, height, paint):
    """A 24-bit bottom-up BMP file."""
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for y in range(height - 1, -1, -1):
        row = b""
        for x in range(width):
            r, g, b = paint(x / width, y / height)
            row += bytes((b, g, r))
        pixels += row + bytes(stride - width * 3)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def watermark(x, y):
    # A blue gradient with a pale diagonal band.
    base = (int(20 + 40 * y), int(70 + 80 * y), int(160 + 80 * y))
    if abs((x + y * 0.5) - 0.75) < 0.06:
        return tuple(min(255, c + 60) for c in base)
    return base


def header(x, y):
    # A white field with a blue disc: the top-left pixel is the transparent colour.
    dx, dy = x - 0.5, y - 0.5
    if dx * dx + dy * dy < 0.16:
        return (30, 110, 200) if abs(dx - dy) > 0.08 else (255, 255, 255)
    return (255, 255, 255)


def person(x, y):
    return ((x - 0.47) ** 2 + (y - 0.33) ** 2 < 0.02) or (0.55 < y < 0.75 and abs(x - 0.47) < 0.22)


def plug(x, y):
    return (0.3 < x < 0.64 and 0.38 < y < 0.62) or (0.12 < x < 0.3 and abs(y - 0.5) < 0.04) \
        or (0.64 < x < 0.82 and (abs(y - 0.43) < 0.03 or abs(y - 0.57) < 0.03))


def folder(x, y):
    return (0.2 < x < 0.78 and 0.4 < y < 0.72) or (0.2 < x < 0.45 and 0.32 < y < 0.42)


def note(x, y):
    return 0.28 < x < 0.66 and 0.22 < y < 0.76 and not (0.34 < x < 0.6 and int(y * 20) % 3 == 0 and y > 0.3)


def stop(x, y):
    return abs(x - 0.47) < 0.07 and (0.22 < y < 0.58 or 0.66 < y < 0.76)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "watermark.bmp"), "wb") as f:
        f.write(bmp(164, 314, watermark))
    with open(os.path.join(out, "header.bmp"), "wb") as f:
        f.write(bmp(49, 49, header))
    icons = {"user.ico": ((30, 110, 200), person), "connection.ico": ((20, 150, 70), plug),
             "folder.ico": ((210, 160, 30), folder), "notes.ico": ((120, 120, 140), note),
             "running.ico": ((200, 50, 40), stop)}
    for name, (colour, glyph) in icons.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(ico(disc(colour, glyph)))
