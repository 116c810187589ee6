#!/usr/bin/env python3
"""Writes the Office 2003 bitmaps of the foundation as 24-bit BMP files.

DXSUBMENUEXPAND: the "show all items" button of menus: a shaded disc on a key
colour (the pixel at 0, 0) with a black double chevron. The library recolours
the shades at run time to the toolbar gradient: the greatest red byte becomes
the light end, the least the dark end; the key colour and black stay.

DXEXPANDBUTTON_MINUS / _PLUS: 11 x 11 expand buttons; their four corner
pixels are blended with the background at run time.

Run it from anywhere; it writes next to itself.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp(name, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y counted from the top."""
    row_size = (width * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(height)):  # bottom-up rows
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 14 + len(header))
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(file_header + header + data)


KEY = (255, 0, 255)
BLACK = (0, 0, 0)


def submenu_expand(x, y):
    size = 15
    c = (size - 1) / 2
    if (x - c) ** 2 + (y - c) ** 2 > 6.6 ** 2:
        return KEY
    # Two chevrons pointing down, centred.
    for top in (4, 8):
        r = y - top
        if r in (0, 1, 2) and x in {5 + r, 6 + r, 9 - r, 8 - r}:
            return BLACK
    shade = 250 - (y * 90) // (size - 1)   # light at the top, dark at the bottom
    return (shade, shade, shade)


def expand_button(plus):
    frame = (0x5F, 0x7A, 0x99)
    sign = (0x1F, 0x2F, 0x4F)

    def pixel(x, y):
        if x in (0, 10) or y in (0, 10):
            return frame
        if y == 5 and 3 <= x <= 7:
            return sign
        if plus and x == 5 and 3 <= y <= 7:
            return sign
        t = (y - 1) / 8
        return (round(255 - t * (255 - 0xD8)), round(255 - t * (255 - 0xE4)), round(255 - t * (255 - 0xF2)))

    return pixel


write_bmp("DXSUBMENUEXPAND.bmp", 15, 15, submenu_expand)
write_bmp("DXEXPANDBUTTON_MINUS.bmp", 11, 11, expand_button(False))
write_bmp("DXEXPANDBUTTON_PLUS.bmp", 11, 11, expand_button(True))
