#!/usr/bin/env python3
"""Draws the program icon and the two 16 x 16 shortcut images of the launch buttons.

Run it after changing a picture: python3 draw_images.py (writes next to this file).
Standard library only, so it runs anywhere the build runs.
"""
import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent


def blank(size, color):
    return [[color for _ in range(size)] for _ in range(size)]


def rect(img, x0, y0, x1, y1, fill=None, outline=None):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            edge = x in (x0, x1) or y in (y0, y1)
            if edge and outline is not None:
                img[y][x] = outline
            elif fill is not None:
                img[y][x] = fill


def line(img, x0, y0, x1, y1, color, width=1):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        x = x0 + (x1 - x0) * i / steps
        y = y0 + (y1 - y0) * i / steps
        for dx in range(width):
            for dy in range(width):
                xi, yi = int(round(x)) + dx, int(round(y)) + dy
                if 0 <= yi < len(img) and 0 <= xi < len(img):
                    img[yi][xi] = color


def arrow_symbol(size, background):
    """A blue shortcut arrow leading from one grey-outlined square to another."""
    s = size / 16.0
    img = blank(size, background)
    grey, white, blue = (128, 128, 128, 255), (255, 255, 255, 255), (0, 84, 200, 255)
    q = lambda v: int(round(v * s))
    rect(img, q(0), q(8), q(6), q(14), fill=white, outline=grey)
    rect(img, q(9), q(1), q(15), q(7), fill=white, outline=grey)
    w = max(1, q(1.6))
    line(img, q(3), q(11), q(11), q(4), blue, w)
    line(img, q(7), q(4), q(11), q(4), blue, w)
    line(img, q(11), q(4), q(11), q(8), blue, w)
    return img


def icon_picture(size):
    """The program icon: a document and a program window joined by the shortcut arrow."""
    s = size / 48.0
    q = lambda v: int(round(v * s))
    img = blank(size, (0, 0, 0, 0))
    paper, ink, frame = (255, 255, 255, 255), (90, 90, 90, 255), (40, 40, 40, 255)
    title, blue, gold = (30, 110, 210, 255), (0, 84, 200, 255), (250, 196, 40, 255)
    rect(img, q(2), q(16), q(22), q(44), fill=paper, outline=frame)
    for y in (22, 27, 32, 37):
        line(img, q(6), q(y), q(18), q(y), ink)
    rect(img, q(24), q(2), q(46), q(26), fill=paper, outline=frame)
    rect(img, q(25), q(3), q(45), q(7), fill=title)
    rect(img, q(30), q(30), q(46), q(46), fill=gold, outline=frame)
    w = max(1, q(3))
    line(img, q(12), q(32), q(35), q(13), blue, w)
    line(img, q(25), q(13), q(35), q(13), blue, w)
    line(img, q(35), q(13), q(35), q(23), blue, w)
    return img


def dib(img):
    """A 32-bit BITMAPINFOHEADER image with its AND mask, as an icon entry holds it."""
    size = len(img)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(struct.pack('BBBB', b, g, r, a) for row in reversed(img) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(img):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def write_ico(path, images):
    entries, blobs = b'', b''
    offset = 6 + 16 * len(images)
    for img in images:
        data = dib(img)
        size = len(img)
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        blobs += data
        offset += len(data)
    path.write_bytes(struct.pack('<HHH', 0, 1, len(images)) + entries + blobs)


def write_bmp(path, img):
    size = len(img)
    stride = (size * 3 + 3) & ~3
    rows = b''
    for row in reversed(img):
        data = b''.join(struct.pack('BBB', b, g, r) for (r, g, b, _) in row)
        rows += data + b'\0' * (stride - len(data))
    header = struct.pack('<IiiHHIIiiII', 40, size, size, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    path.write_bytes(b'BM' + struct.pack('<IHHI', 14 + 40 + len(rows), 0, 0, 54) + header + rows)


if __name__ == '__main__':
    write_ico(HERE / 'Pallendo.ico', [icon_picture(n) for n in (16, 20, 24, 32, 40, 48)])
    write_bmp(HERE / 'ShortcutPlain.bmp', arrow_symbol(16, (212, 212, 212, 255)))
    write_bmp(HERE / 'ShortcutHighlight.bmp', arrow_symbol(16, (255, 230, 60, 255)))
