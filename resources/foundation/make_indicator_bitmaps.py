#!/usr/bin/env python3
"""Writes the six row-indicator glyphs of the painters as 8 x 9, 16-colour BMP files.

White is the transparent colour (the painters add them masked with white);
the glyph itself is black. Each picture is drawn as text below: '#' black,
'.' white.

Run it from anywhere; it writes next to itself.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour palette; index 0 black, index 15 white.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

GLYPHS = {
    "CX_ARROWBITMAP": [
        "........",
        "..#.....",
        "..##....",
        "..###...",
        "..####..",
        "..###...",
        "..##....",
        "..#.....",
        "........",
    ],
    "CX_EDITBITMAP": [
        "........",
        ".##.##..",
        "...#....",
        "...#....",
        "...#....",
        "...#....",
        "...#....",
        ".##.##..",
        "........",
    ],
    "CX_INSERTBITMAP": [
        "........",
        "...#....",
        ".#.#.#..",
        "..###...",
        ".#####..",
        "..###...",
        ".#.#.#..",
        "...#....",
        "........",
    ],
    "CX_MULTIDOTBITMAP": [
        "........",
        "........",
        "........",
        "..##....",
        "..##....",
        "........",
        "........",
        "........",
        "........",
    ],
    "CX_MULTIARROWBITMAP": [
        "#.......",
        "##......",
        "###.....",
        "####....",
        "###.....",
        "##......",
        "#...##..",
        "....##..",
        "........",
    ],
    "CX_FILTERBITMAP": [
        "........",
        "#######.",
        ".#####..",
        "..###...",
        "...#....",
        "...#....",
        "...#....",
        "...#....",
        "........",
    ],
}


def write_bmp4(name, rows):
    write_bmp4_indices(name, [[0 if ch == "#" else 15 for ch in line] for line in rows])


def write_bmp4_indices(name, rows):
    """rows: palette indices, the top row first."""
    height = len(rows)
    width = len(rows[0])
    row_size = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for nibbles in reversed(rows):  # bottom-up rows
        row = bytearray()
        for i in range(0, width, 2):
            hi = nibbles[i]
            lo = nibbles[i + 1] if i + 1 < width else 0
            row.append((hi << 4) | lo)
        row += b"\0" * (row_size - len(row))
        data += row
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(os.path.join(HERE, name + ".bmp"), "wb") as f:
        f.write(file_header + header + palette + data)


if __name__ == "__main__":
    for glyph_name, glyph_rows in GLYPHS.items():
        assert len(glyph_rows) == 9 and all(len(r) == 8 for r in glyph_rows), glyph_name
        write_bmp4(glyph_name, glyph_rows)
