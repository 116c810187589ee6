#!/usr/bin/env python3
"""Writes the six 16 x 16, 16-colour glyphs of the picture editor's context menu.

Each glyph is drawn as a character map over the standard 16-colour palette. The
bottom-left pixel holds the background colour (olive here, a colour none of the
glyphs uses), which the menu's image list makes transparent.

Run it from anywhere; it writes next to itself.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour palette, in its usual order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# Map characters to palette indexes.
INK = {
    ".": 3,   # background (olive), made transparent
    "k": 0,   # black
    "g": 8,   # dark grey
    "s": 7,   # light grey
    "w": 15,  # white
    "b": 4,   # navy
    "B": 12,  # blue
    "r": 1,   # maroon
    "R": 9,   # red
    "y": 11,  # yellow
    "t": 6,   # teal
}

GLYPHS = {
    "CXMENUIMAGE_CUT": [
        "................",
        "...k.......k....",
        "...k.......k....",
        "...k.......k....",
        "...kk.....kk....",
        "....k.....k.....",
        "....kk...kk.....",
        ".....k...k......",
        ".....kk.kk......",
        "......kkk.......",
        "......bkb.......",
        "....bbb.bbb.....",
        "...b..b.b..b....",
        "...b..b.b..b....",
        "...b..b.b..b....",
        "....bb...bb.....",
    ],
    "CXMENUIMAGE_COPY": [
        "................",
        "kkkkkk..........",
        "kwwwwkk.........",
        "kwkkwkwk........",
        "kwwwwkkkkkkk....",
        "kwkkkkwwwwkkk...",
        "kwwwwkwkkwkwkk..",
        "kwkkkkwwwwkkkkk.",
        "kwwwwkwkkkkwwwk.",
        "kkkkkkwwwwwwwwk.",
        "......wkkkkkkwk.",
        "......kwwwwwwwk.",
        "......kwkkkkkwk.",
        "......kwwwwwwwk.",
        "......kkkkkkkkk.",
        "................",
    ],
    "CXMENUIMAGE_PASTE": [
        "................",
        ".....kkkk.......",
        "rrrrkyyyykrrr...",
        "rsssksssskssr...",
        "rssskkkkkkssr...",
        "rsssssssssssr...",
        "rsssssbbbbbbbb..",
        "rsssssbwwwwwwbb.",
        "rsssssbwkkkkwbwb",
        "rsssssbwwwwwwbbb",
        "rsssssbwkkkkkwwb",
        "rsssssbwwwwwwwwb",
        "rrrrrrbwkkkkkkwb",
        "......bwwwwwwwwb",
        "......bbbbbbbbbb",
        "................",
    ],
    "CXMENUIMAGE_DELETE": [
        "................",
        "................",
        "..RR.......RR...",
        "..RRR.....RRR...",
        "...RRR...RRR....",
        "....RRR.RRR.....",
        ".....RRRRR......",
        "......RRR.......",
        ".....RRRRR......",
        "....RRR.RRR.....",
        "...RRR...RRR....",
        "..RRR.....RRR...",
        "..RR.......RR...",
        "................",
        "................",
        "................",
    ],
    "CXMENUIMAGE_LOAD": [
        "................",
        "................",
        "..........kkk...",
        ".........k...k.k",
        "..............kk",
        ".kkk.........kkk",
        "kyyykkkkkkk.....",
        "kywyywyywyk.....",
        "kwyywkkkkkkkkkk.",
        "kyywkgggggggggk.",
        "kywkgggggggggk..",
        "kwkgggggggggk...",
        "kkgggggggggk....",
        "kkkkkkkkkkk.....",
        "................",
        "................",
    ],
    "CXMENUIMAGE_SAVE": [
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwwwwwwwwkkk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwwwwwwwwkbk.",
        ".kbbkkkkkkkkbbk.",
        ".kbbbbbbbbbbbbk.",
        ".kbbkkkkkkkkbbk.",
        ".kbbkssssskkbbk.",
        ".kbbksskssskbbk.",
        ".kbbksskssskbbk.",
        ".kbbkssssskkbbk.",
        "..kkkkkkkkkkkkk.",
        "................",
        "................",
    ],
}


def write_bmp4(name, rows):
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), name
    row_size = 8  # 16 pixels at 4 bits, already a multiple of four bytes
    data = bytearray()
    for row in reversed(rows):  # bottom-up rows
        indexes = [INK[c] for c in row]
        for x in range(0, 16, 2):
            data.append((indexes[x] << 4) | indexes[x + 1])
    assert len(data) == 16 * row_size
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(os.path.join(HERE, name + ".bmp"), "wb") as f:
        f.write(file_header + header + palette + data)


for glyph_name, glyph_rows in GLYPHS.items():
    write_bmp4(glyph_name, glyph_rows)
