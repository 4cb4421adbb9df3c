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


# The toolbar pictures are drawn on a 16-unit grid and rasterised at each
# size the program uses (16, 24 and 32 pixels, for 96, 144 and 192 dpi):
# shapes are filled where a pixel's centre falls inside them, so a larger
# picture has finer edges, not bigger pixels.


class Picture:
    def __init__(self, size):
        self.size = size
        self.scale = size / 16
        self.px = [[BG for _ in range(size)] for _ in range(size)]

    def fill(self, inside, colour):
        """Colours the pixels whose centre (in grid units) satisfies inside(x, y)."""
        for py in range(self.size):
            for px in range(self.size):
                if inside((px + 0.5) / self.scale, (py + 0.5) / self.scale):
                    self.px[py][px] = colour


def rect(img, x0, y0, x1, y1, colour):
    """Grid cells x0..x1, y0..y1 inclusive."""
    img.fill(lambda x, y: x0 <= x < x1 + 1 and y0 <= y < y1 + 1, colour)


def frame(img, x0, y0, x1, y1, colour):
    t = 1  # one grid unit thick at every size
    img.fill(lambda x, y: x0 <= x < x1 + 1 and y0 <= y < y1 + 1 and
             (x < x0 + t or x >= x1 + 1 - t or y < y0 + t or y >= y1 + 1 - t), colour)


def triangle_right(img, x0, y0, height, colour):
    """Points right: its left side is the cells x0, y0..y0+height-1."""
    mid = y0 + height / 2
    img.fill(lambda x, y: y0 <= y < y0 + height and x >= x0 and
             x - x0 < height / 2 - abs(y - mid) + 0.5, colour)


def triangle_left(img, x1, y0, height, colour):
    """Points left: its right side is the cells x1, y0..y0+height-1."""
    mid = y0 + height / 2
    img.fill(lambda x, y: y0 <= y < y0 + height and x < x1 + 1 and
             x1 + 1 - x < height / 2 - abs(y - mid) + 0.5, colour)


def stroke(img, ax, ay, bx, by, width, colour):
    """A line of the given width (grid units) from point a to point b."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        ex, ey = ax + t * dx - x, ay + t * dy - y
        return ex * ex + ey * ey <= (width / 2) ** 2
    img.fill(inside, colour)


def icon_open(size):
    img = Picture(size)
    rect(img, 1, 4, 6, 5, DARKYELLOW)        # tab
    rect(img, 1, 5, 13, 13, YELLOW)          # folder body
    frame(img, 1, 5, 13, 13, DARKYELLOW)
    rect(img, 10, 1, 11, 6, GREEN)           # a plus: add
    rect(img, 8, 3, 13, 4, GREEN)
    return img


def icon_delete(size):
    img = Picture(size)
    if size == 16:
        # Hand-placed pixels read better than a rasterised stroke at this size.
        for i in range(11):
            for d in (0, 1):
                img.px[2 + i][2 + i + d] = RED
                img.px[2 + i][13 - i - d] = RED
        return img
    stroke(img, 2.5, 2.5, 13.5, 13.5, 2, RED)
    stroke(img, 13.5, 2.5, 2.5, 13.5, 2, RED)
    return img


def icon_rename(size):
    img = Picture(size)
    rect(img, 1, 3, 9, 12, WHITE)            # a page
    frame(img, 1, 3, 9, 12, GREY)
    for y in (5, 7, 9):
        rect(img, 3, y, 7, y, GREY)
    rect(img, 10, 7, 12, 8, BLUE)            # arrow to the new name
    triangle_right(img, 12, 4, 7, BLUE)
    return img


def icon_play(size):
    img = Picture(size)
    triangle_right(img, 4, 2, 13, GREEN)
    return img


def icon_stop(size):
    img = Picture(size)
    rect(img, 3, 3, 12, 12, BLUE)
    return img


def icon_prev(size):
    img = Picture(size)
    rect(img, 2, 3, 3, 12, BLUE)
    triangle_left(img, 9, 3, 10, BLUE)
    triangle_left(img, 14, 3, 10, BLUE)
    return img


def icon_next(size):
    img = Picture(size)
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
    drawers = [icon_open, icon_delete, icon_rename, icon_play, icon_stop, icon_prev, icon_next]
    for size, name in ((16, "toolbar.bmp"), (24, "toolbar24.bmp"), (32, "toolbar32.bmp")):
        icons = [draw(size).px for draw in drawers]
        strip = [sum((icons[i][y] for i in range(len(icons))), []) for y in range(size)]
        write_bmp24(root / name, strip)
    write_ico(root / "velnoir.ico", [32, 16])


if __name__ == "__main__":
    main()
