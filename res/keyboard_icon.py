#!/usr/bin/env python3
"""Writes res/keystrum.ico: the keyboard picture at 16 and 32 pixels as first drawn, and at
the sizes 125 %, 150 % and 200 % displays show it (20, 24, 40, 48, 64), each drawn on its own
pixel grid rather than stretched from another size.

Usage: python3 res/keyboard_icon.py res/keystrum.ico
"""
import struct
import sys

BLACK, WHITE, GREY, SILVER, BLUE = (0, 0, 0), (255, 255, 255), (128, 128, 128), (192, 192, 192), (0, 0, 255)


def keyboard(size):
    """The picture as rows of (r, g, b) or None for transparent pixels."""
    px = [[None] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, c):
        for y in range(max(y0, 0), min(y1, size)):
            for x in range(max(x0, 0), min(x1, size)):
                px[y][x] = c

    u = size / 32.0  # pixels per unit of the 32-pixel design
    line = max(1, round(u))
    left, right = line, size - line
    # Key pitch, key size and the body's height follow from whole pixels.
    pitch = max(3, round(4 * u))
    key = pitch - line
    rows = 3
    body_h = 2 * line + rows * pitch + line + key // 2 + line
    top = (size - body_h - 2 * line) // 2
    bottom = top + body_h + 2 * line
    rect(left, top, right, bottom, BLACK)  # frame
    rect(left + line, top + line, right - line, bottom - line, GREY)
    rect(left + line, top + line, right - line, top + 2 * line, WHITE)  # the lit top edge

    def cap(x, y, face):
        rect(x, y, x + key, y + key, face)
        rect(x, y, x + key, y + line, WHITE)
        rect(x, y, x + line, y + key, WHITE)

    y = top + 2 * line + line
    x0 = left + 2 * line
    count = (right - 2 * line - x0 + line) // pitch
    for r in range(rows):
        shift = (pitch // 4) * (r % 2)
        for i in range(count - (1 if shift else 0)):
            x = x0 + shift + i * pitch
            if r == 0 and i == 0:
                rect(x, y, x + key, y + key, BLUE)
            else:
                cap(x, y, SILVER)
        y += pitch
    # The space bar under the middle keys.
    rect(x0 + pitch, y - pitch + key - line, x0 + (count - 1) * pitch - line, y + key // 2, WHITE)
    return px


def dib(px):
    """A 32-bit icon image: BITMAPINFOHEADER, bottom-up BGRA rows, the AND mask."""
    size = len(px)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    color = b"".join(
        bytes((c[2], c[1], c[0], 255)) if c else b"\0\0\0\0" for row in reversed(px) for c in row)
    stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(px):
        bits = 0
        for x, c in enumerate(row):
            if c is None:
                bits |= 1 << (stride * 8 - 1 - x)
        mask += bits.to_bytes(stride, "big")
    return header + color + mask


def entries(path):
    """The images of an existing .ico as (width, height, directory fields, data)."""
    data = open(path, "rb").read()
    _, _, n = struct.unpack("<HHH", data[:6])
    out = []
    for i in range(n):
        w, h, colors, res, planes, bpp, length, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        out.append(((w or 256), (h or 256), colors, planes, bpp, data[offset:offset + length]))
    return out


def main(path):
    # The 16- and 32-pixel images stay as they were, bit for bit.
    keep = [e for e in entries(path) if e[0] in (16, 32)]
    images = keep + [(s, s, 0, 1, 32, dib(keyboard(s))) for s in (20, 24, 40, 48, 64)]
    images.sort(key=lambda e: e[0])
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for w, h, colors, planes, bpp, data in images:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colors, 0, planes, bpp, len(data), offset)
        offset += len(data)
    out += b"".join(e[5] for e in images)
    open(path, "wb").write(out)


if __name__ == "__main__":
    main(sys.argv[1])
