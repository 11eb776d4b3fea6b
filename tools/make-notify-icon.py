#!/usr/bin/env python3
"""make-notify-icon.py: draws the notification window's icon (resource 108)
and writes it as notify/win32/notify.ico, in 32x32 and 16x16, 32 bits per pixel.

The picture: a small window with a blue title bar and three lines of
message text, and a red notification dot in its upper right corner.

    tools/make-notify-icon.py [output.ico]
"""
import os
import struct
import sys

BLUE = (0x1F, 0x4E, 0xA8)
WHITE = (0xFF, 0xFF, 0xFF)
GREY = (0x70, 0x70, 0x70)
FRAME = (0x20, 0x20, 0x20)
RED = (0xD8, 0x20, 0x20)


def draw(size):
    """Rows of (r, g, b, a), top row first."""
    s = size / 32.0
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def box(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                pixels[y][x] = colour + (255,)

    box(1, 4, 29, 30, FRAME)           # window frame
    box(2, 5, 28, 10, BLUE)            # title bar
    box(2, 10, 28, 29, WHITE)          # message area
    for top in (13, 18, 23):           # message lines
        box(5, top, 24 if top != 18 else 19, top + 2, GREY)
    radius = 5.5 * s                   # notification dot
    cx, cy = 26.0 * s, 5.5 * s
    for y in range(size):
        for x in range(size):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius ** 2:
                pixels[y][x] = RED + (255,)
    return pixels


def dib(pixels):
    """The icon image: BITMAPINFOHEADER, BGRA rows bottom up, AND mask."""
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''.join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (mask_row * 8 - 1 - x)
        mask += bits.to_bytes(mask_row, 'big')
    return header + colour + mask


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'notify', 'win32', 'notify.ico')
    images = [dib(draw(size)) for size in (32, 16)]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((32, 16), images):
        data += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data += b''.join(images)
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
