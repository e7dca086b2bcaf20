#!/usr/bin/env python3
"""bmp_to_png.py FOLDER: turns the demo's 24-bit BMP pictures in FOLDER into PNG
files (standard library only: zlib and struct) and removes the BMP files.
Each row gets the PNG filter that makes it smallest, so flat window pictures
stay small; black rows at the top (an undrawn frame) are cut off."""
import os
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        raise ValueError(path + ": not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _planes, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        raise ValueError(path + ": only 24-bit pictures are read")
    stride = (width * 3 + 3) & ~3
    rows = []
    bottom_up = height > 0
    height = abs(height)
    for y in range(height):
        start = offset + stride * (height - 1 - y if bottom_up else y)
        bgr = data[start:start + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3] = bgr[2::3]
        rgb[1::3] = bgr[1::3]
        rgb[2::3] = bgr[0::3]
        rows.append(bytes(rgb))
    return width, height, rows


def filtered(row, previous):
    """The row under filter 0 (none), 1 (sub) and 2 (up); the smallest by the
    usual sum-of-magnitudes rule wins."""
    sub = bytes((row[i] - (row[i - 3] if i >= 3 else 0)) & 0xFF for i in range(len(row)))
    up = bytes((row[i] - previous[i]) & 0xFF for i in range(len(row)))
    def cost(line):
        return sum(b if b < 128 else 256 - b for b in line)
    best = min(((cost(row), 0, row), (cost(sub), 1, sub), (cost(up), 2, up)))
    return bytes([best[1]]) + best[2]


def write_png(path, width, height, rows):
    raw = bytearray()
    previous = bytes(width * 3)
    for row in rows:
        raw += filtered(row, previous)
        previous = row
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: bmp_to_png.py FOLDER")
    folder = sys.argv[1]
    for name in sorted(os.listdir(folder)):
        if not name.lower().endswith(".bmp"):
            continue
        source = os.path.join(folder, name)
        target = source[:-4] + ".png"
        width, height, rows = read_bmp(source)
        # A window whose frame was not drawn (no window manager on the private
        # display) leaves black rows at the top: they are cut off.
        while len(rows) > 1 and not any(rows[0]):
            rows.pop(0)
        write_png(target, width, len(rows), rows)
        os.remove(source)


if __name__ == "__main__":
    main()
