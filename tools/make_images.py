#!/usr/bin/env python3
"""Draws the toolbar strip and the program icon as plain pixel art and writes
resources/toolbar.bmp and resources/velnoir.ico. Run it again after changing
a picture; the outputs are committed so the build needs no image tools."""
import struct
from pathlib import Path

BG = (0xC0, 0xC0, 0xC0)  # transparent in the toolbar's image list
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
YELLOW = (240, 200, 60)
DARKYELLOW = (170, 130, 20)
RED = (200, 30, 30)
GREEN = (20, 140, 40)
BLUE = (30, 70, 180)
GREY = (90, 90, 90)


def canvas(w, h, colour=BG):
    return [[colour for _ in range(w)] for _ in range(h)]


def rect(img, x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = colour


def frame(img, x0, y0, x1, y1, colour):
    for x in range(x0, x1 + 1):
        img[y0][x] = img[y1][x] = colour
    for y in range(y0, y1 + 1):
        img[y][x0] = img[y][x1] = colour


def triangle_right(img, x0, y0, height, colour):
    for i in range(height):
        half = min(i, height - 1 - i)
        for x in range(x0, x0 + half + 1):
            img[y0 + i][x] = colour


def triangle_left(img, x1, y0, height, colour):
    for i in range(height):
        half = min(i, height - 1 - i)
        for x in range(x1 - half, x1 + 1):
            img[y0 + i][x] = colour


def icon_open():
    img = canvas(16, 16)
    rect(img, 1, 4, 6, 5, DARKYELLOW)        # tab
    rect(img, 1, 5, 13, 13, YELLOW)          # folder body
    frame(img, 1, 5, 13, 13, DARKYELLOW)
    rect(img, 10, 1, 11, 6, GREEN)           # a plus: add
    rect(img, 8, 3, 13, 4, GREEN)
    return img


def icon_delete():
    img = canvas(16, 16)
    for i in range(11):
        for d in (0, 1):
            img[2 + i][2 + i + d] = RED
            img[2 + i][13 - i - d] = RED
    return img


def icon_rename():
    img = canvas(16, 16)
    rect(img, 1, 3, 9, 12, WHITE)            # a page
    frame(img, 1, 3, 9, 12, GREY)
    for y in (5, 7, 9):
        rect(img, 3, y, 7, y, GREY)
    rect(img, 10, 7, 12, 8, BLUE)            # arrow to the new name
    triangle_right(img, 12, 4, 7, BLUE)
    return img


def icon_play():
    img = canvas(16, 16)
    triangle_right(img, 4, 2, 13, GREEN)
    return img


def icon_stop():
    img = canvas(16, 16)
    rect(img, 3, 3, 12, 12, BLUE)
    return img


def icon_prev():
    img = canvas(16, 16)
    rect(img, 2, 3, 3, 12, BLUE)
    triangle_left(img, 9, 3, 10, BLUE)
    triangle_left(img, 14, 3, 10, BLUE)
    return img


def icon_next():
    img = canvas(16, 16)
    triangle_right(img, 1, 3, 10, BLUE)
    triangle_right(img, 6, 3, 10, BLUE)
    rect(img, 12, 3, 13, 12, BLUE)
    return img


def write_bmp24(path, img):
    h, w = len(img), len(img[0])
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for r, g, b in img[y]:
            line += bytes((b, g, r))
        line += b"\0" * (row - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    Path(path).write_bytes(header + info + data)


def icon_image(size):
    """A note on a blue disc, BGRA with an AND mask, as an icon directory entry's data."""
    px = [[None] * size for _ in range(size)]
    c = (size - 1) / 2
    for y in range(size):
        for x in range(size):
            if (x - c) ** 2 + (y - c) ** 2 <= (size / 2 - 0.5) ** 2:
                px[y][x] = (40, 90, 200)
    s = size / 32
    def fill(x0, y0, x1, y1):
        for y in range(int(y0 * s), int(y1 * s) + 1):
            for x in range(int(x0 * s), int(x1 * s) + 1):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = WHITE
    fill(18, 7, 20, 22)        # stem
    fill(18, 7, 25, 10)        # flag
    for y in range(size):      # note head
        for x in range(size):
            if ((x - 15.5 * s) / (4.5 * s)) ** 2 + ((y - 22.5 * s) / (3.2 * s)) ** 2 <= 1:
                px[y][x] = WHITE
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            p = px[y][x]
            xor += bytes((p[2], p[1], p[0], 255)) if p else b"\0\0\0\0"
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(size):
            if px[y][x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    Path(path).write_bytes(out)


def main():
    root = Path(__file__).resolve().parent.parent / "resources"
    icons = [icon_open(), icon_delete(), icon_rename(), icon_play(), icon_stop(), icon_prev(), icon_next()]
    strip = [sum((icons[i][y] for i in range(len(icons))), []) for y in range(16)]
    write_bmp24(root / "toolbar.bmp", strip)
    write_ico(root / "velnoir.ico", [32, 16])


if __name__ == "__main__":
    main()
