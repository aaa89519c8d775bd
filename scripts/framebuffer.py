#!/usr/bin/env python3
"""Reads a window's pixels from the XWD image an Xvfb server keeps of its screen (-fbdir).

  framebuffer.py shot FB X Y W H OUT.png
      the screen rectangle at X,Y of W x H as a PNG
  framebuffer.py compare FB X Y GOLDEN.png [--scale S] PX,PY ...
      the window at X,Y must match the golden PNG in RGB565 at each point (exit 1 otherwise);
      a window S times larger than the golden is read at S times each point
  framebuffer.py await FB X Y TIMEOUT OUT.png GOLDEN.png ... [--except X,Y,W,H ...]
                [--text SHARE X,Y,W,H ...]
      waits up to TIMEOUT s until every pixel of the window at X,Y (the goldens' size), but
      those in the excepted rectangles, matches in RGB565 one of the goldens at that pixel;
      writes the last window seen to OUT.png (exit 1 naming what differs otherwise). Text
      boxes are drawn by another font engine: in each, at most SHARE (0 to 1) of the pixels
      may differ from the goldens
  framebuffer.py first-frame RESULT FB X Y PX PY TIMEOUT -- COMMAND ...
      starts COMMAND and waits until the screen pixel X+PX,Y+PY is no longer black; writes
      "PID MILLISECONDS" to RESULT and exits, leaving the command running

Only the standard library: the checks run wherever Xvfb and python3 do.
"""
import struct
import subprocess
import sys
import time
import zlib


def read_png(path):
    data = open(path, "rb").read()
    pos, idat, width, height, channels = 8, b"", 0, 0, 3
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour not in (2, 6):
                sys.exit("unexpected PNG form in %s" % path)
            channels = 4 if colour == 6 else 3
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return lambda x, y: tuple(rows[y][x * channels:x * channels + 3])


def write_png(path, width, height, pixel):
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width))
                   for y in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body)))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                  chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


class Screen:
    """The server's screen; reads go to the file each time, so they see the live pixels."""

    def __init__(self, path):
        self.file = open(path, "rb", buffering=0)
        head = struct.unpack(">25I", self.file.read(100))
        size, bpp, self.stride, colours = head[0], head[11], head[12], head[19]
        if bpp != 32 or head[7] != 0:
            sys.exit("framebuffer is not 32-bit little-endian")
        self.base = size + 12 * colours

    def row(self, x, y, width):
        self.file.seek(self.base + y * self.stride + x * 4)
        data = self.file.read(width * 4)
        return [(data[i + 2], data[i + 1], data[i]) for i in range(0, len(data), 4)]

    def pixel(self, x, y):
        return self.row(x, y, 1)[0]


def rgb565(c):
    return ((c[0] >> 3) << 11) | ((c[1] >> 2) << 5) | (c[2] >> 3)


def shot(fb, x, y, width, height, out):
    screen = Screen(fb)
    rows = [screen.row(x, y + k, width) for k in range(height)]
    write_png(out, width, height, lambda px, py: rows[py][px])


def compare(fb, x, y, golden_path, points):
    screen = Screen(fb)
    golden = read_png(golden_path)
    scale = 1
    if points[:1] == ["--scale"] and len(points) > 1:
        scale, points = int(points[1]), points[2:]
    bad = []
    for point in points:
        px, py = (int(v) for v in point.split(","))
        seen = rgb565(screen.pixel(x + px * scale, y + py * scale))
        wanted = rgb565(golden(px, py))
        if seen != wanted:
            bad.append("%d,%d: %#06x, not %#06x" % (px, py, seen, wanted))
    if bad:
        sys.exit("window pixels differ from %s: %s" % (golden_path, "; ".join(bad)))


def boxed(boxes, width, height):
    return {(px, py) for bx, by, bw, bh in boxes
            for py in range(max(by, 0), min(by + bh, height))
            for px in range(max(bx, 0), min(bx + bw, width))}


def await_match(fb, x, y, timeout, out, goldens, excepted, text_share=0.0, text_boxes=()):
    # Where the goldens disagree (a caret caught in each of its phases), any of them will do.
    images = [read_png(path) for path in goldens]
    width, height = png_size(goldens[0])
    if any(png_size(path) != (width, height) for path in goldens):
        sys.exit("the goldens differ in size")
    skip = boxed(excepted, width, height)
    text = boxed(text_boxes, width, height) - skip
    skip |= text
    wanted = {}
    for py in range(height):
        for px in range(width):
            if (px, py) not in skip:
                wanted[px, py] = {rgb565(image(px, py)) for image in images}
    screen = Screen(fb)
    deadline = time.monotonic() + timeout
    while True:
        rows = [screen.row(x, y + k, width) for k in range(height)]
        bad = [(px, py) for (px, py), allowed in wanted.items()
               if rgb565(rows[py][px]) not in allowed]
        if not bad or time.monotonic() > deadline:
            break
        time.sleep(0.1)
    write_png(out, width, height, lambda px, py: rows[py][px])
    if bad:
        xs, ys = [p[0] for p in bad], [p[1] for p in bad]
        sys.exit("%d window pixels differ from %s, within %d,%d-%d,%d (first at %d,%d)" %
                 (len(bad), " or ".join(goldens), min(xs), min(ys), max(xs), max(ys), *bad[0]))
    worst = []
    for box in text_boxes:
        pixels = boxed([box], width, height) & text
        differ = sum(1 for px, py in pixels
                     if rgb565(rows[py][px]) not in {rgb565(image(px, py)) for image in images})
        if pixels and differ / len(pixels) > text_share:
            worst.append("%d,%d,%d,%d: %.0f%%" % (*box, 100.0 * differ / len(pixels)))
    if worst:
        sys.exit("text differs from %s by more than %.0f%% in %s" %
                 (" or ".join(goldens), 100.0 * text_share, "; ".join(worst)))


def png_size(path):
    return struct.unpack(">II", open(path, "rb").read(24)[16:24])


def first_frame(result, fb, x, y, timeout, command):
    screen = Screen(fb)
    start = time.monotonic()
    child = subprocess.Popen(command)
    while screen.pixel(x, y) == (0, 0, 0):
        if child.poll() is not None:
            sys.exit("the program ended with %d before its first frame" % child.returncode)
        if time.monotonic() - start > timeout:
            sys.exit("no frame on screen after %g s" % timeout)
        time.sleep(0.001)
    elapsed = (time.monotonic() - start) * 1000
    with open(result, "w") as out:
        out.write("%d %.1f\n" % (child.pid, elapsed))


def main(args):
    if len(args) == 7 and args[0] == "shot":
        shot(args[1], *(int(v) for v in args[2:6]), args[6])
    elif len(args) >= 5 and args[0] == "compare":
        compare(args[1], int(args[2]), int(args[3]), args[4], args[5:])
    elif len(args) >= 7 and args[0] == "await":
        rest, text_share, text_boxes = args[6:], 0.0, []
        if "--text" in rest:
            at = rest.index("--text")
            text_share, text_boxes, rest = float(rest[at + 1]), rest[at + 2:], rest[:at]
        rest += ["--except"] * ("--except" not in rest)
        goldens, excepted = rest[:rest.index("--except")], rest[rest.index("--except") + 1:]
        excepted = [tuple(int(v) for v in box.split(",")) for box in excepted]
        text_boxes = [tuple(int(v) for v in box.split(",")) for box in text_boxes]
        if not goldens or any(len(box) != 4 for box in excepted + text_boxes):
            sys.exit(__doc__)
        await_match(args[1], int(args[2]), int(args[3]), float(args[4]), args[5], goldens,
                    excepted, text_share, text_boxes)
    elif len(args) >= 10 and args[0] == "first-frame" and args[8] == "--":
        x, y = int(args[3]) + int(args[5]), int(args[4]) + int(args[6])
        first_frame(args[1], args[2], x, y, float(args[7]), args[9:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
