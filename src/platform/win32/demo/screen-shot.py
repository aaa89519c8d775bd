#!/usr/bin/env python3
"""Writes the screen an Xvfb server keeps in its -fbdir file as a PNG, at 32 or 8 bits.

  screen-shot.py FB OUT.png

An 8-bit screen is read through the colour map the file holds at that moment, so a palette
the program realised shows as it does on the screen. Only the standard library.
"""
import struct
import sys
import zlib


def read_screen(path):
    data = open(path, "rb").read()
    head = struct.unpack(">25I", data[:100])
    size, width, height = head[0], head[4], head[5]
    bpp, stride, colours = head[11], head[12], head[19]
    table = {}
    for k in range(colours):
        pixel, red, green, blue = struct.unpack(">IHHH", data[size + 12 * k:size + 12 * k + 10])
        table[pixel] = (red >> 8, green >> 8, blue >> 8)
    base = size + 12 * colours
    rows = []
    for y in range(height):
        line = data[base + y * stride:base + y * stride + width * bpp // 8]
        if bpp == 32:
            rows.append(b"".join(bytes((line[i + 2], line[i + 1], line[i]))
                                 for i in range(0, len(line), 4)))
        elif bpp == 8:
            rows.append(b"".join(bytes(table.get(value, (0, 0, 0))) for value in line))
        else:
            sys.exit("a %d-bit screen is not read here" % bpp)
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body)))

    raw = b"".join(b"\0" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                  chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    write_png(sys.argv[2], *read_screen(sys.argv[1]))
