#!/usr/bin/env python3
"""Writes the base controls' cursors (32 x 32, two colours, .cur) and the
three panning markers (29 x 29, 16 colours, .bmp).

Cursors are drawn on a grid of characters: '#' black, 'o' white, anything
else transparent; black shapes get a white outline so that they show on any
background.

CX_FULLSCROLLCURSOR ... CX_LEFTSCROLLCURSOR: the panning cursors (hot spot in
the middle): a ring with arrows for the directions panning may take, or one
arrow for the direction it takes. CX_DRAGCOPYCURSOR and the other drag
cursors: the arrow pointer (hot spot at its tip) with a sign below it.

CX_FULLSCROLLBITMAP, CX_HORSCROLLBITMAP, CX_VERSCROLLBITMAP: the marker shown
at the point where panning began: a light disc with arrow heads.

Run it from anywhere; it writes next to itself.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from make_indicator_bitmaps import write_bmp4_indices  # noqa: E402  (16-colour BMP writer)
N = 32


def blank():
    return [[" "] * N for _ in range(N)]


def put(g, x, y, c="#"):
    if 0 <= x < N and 0 <= y < N:
        g[y][x] = c


def outline(g):
    """White outline around every black pixel."""
    black = {(x, y) for y in range(N) for x in range(N) if g[y][x] == "#"}
    for x, y in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                nx, ny = x + dx, y + dy
                if 0 <= nx < N and 0 <= ny < N and g[ny][nx] == " ":
                    g[ny][nx] = "o"


def triangle(g, cx, cy, direction, size=4):
    """A filled arrow head pointing in a direction, its tip at (cx, cy)."""
    for i in range(size):
        for j in range(-i, i + 1):
            if direction == "up":
                put(g, cx + j, cy + i)
            elif direction == "down":
                put(g, cx + j, cy - i)
            elif direction == "left":
                put(g, cx + i, cy + j)
            else:
                put(g, cx - i, cy + j)


def ring(g, cx, cy, r):
    for y in range(N):
        for x in range(N):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if (r - 1) ** 2 <= d <= r ** 2:
                put(g, x, y)


def pointer(g):
    """The arrow pointer, tip at (0, 0)."""
    for y in range(12):
        for x in range(0, y // 1 + 1):
            if x <= y * 2 // 3 + 1 and x < 8:
                put(g, x, y)
    for y in range(10, 16):
        put(g, 3 + (y - 10) // 2, y)
        put(g, 4 + (y - 10) // 2, y)


def rect(g, x0, y0, x1, y1, fill=False):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if fill or x in (x0, x1) or y in (y0, y1):
                put(g, x, y)


def plus(g, cx, cy, r=2):
    for d in range(-r, r + 1):
        put(g, cx + d, cy)
        put(g, cx, cy + d)


def cross(g, cx, cy, r=3):
    for d in range(-r, r + 1):
        put(g, cx + d, cy + d)
        put(g, cx + d, cy - d)


def panning(directions):
    g = blank()
    ring(g, 16, 16, 3)
    put(g, 16, 16)
    tips = {"up": (16, 5), "down": (16, 27), "left": (5, 16), "right": (27, 16)}
    for d in directions:
        triangle(g, *tips[d], d, 5)
    outline(g)
    return g


def drag(sign=None, stacked=False):
    g = blank()
    pointer(g)
    if stacked:
        rect(g, 12, 17, 24, 25)
    rect(g, 9, 20, 21, 28)
    if sign == "plus":
        plus(g, 26, 27)
    elif sign == "cross":
        cross(g, 26, 26)
    outline(g)
    return g


def no_drop():
    g = blank()
    ring(g, 16, 16, 9)
    ring(g, 16, 16, 8)
    for d in range(-6, 7):
        put(g, 16 + d, 16 + d)
        put(g, 17 + d, 16 + d)
    outline(g)
    return g


def size_cursor(vertical):
    g = blank()
    for d in range(-9, 10):
        put(g, 16, 16 + d) if vertical else put(g, 16 + d, 16)
    for d in range(-6, 7):
        put(g, 16 + d, 15) if vertical else put(g, 15, 16 + d)
        put(g, 16 + d, 17) if vertical else put(g, 17, 16 + d)
    if vertical:
        triangle(g, 16, 4, "up", 4)
        triangle(g, 16, 28, "down", 4)
    else:
        triangle(g, 4, 16, "left", 4)
        triangle(g, 28, 16, "right", 4)
    outline(g)
    return g


def color_picker():
    g = blank()
    for i in range(14):
        put(g, 1 + i, 14 - i + 0)
        put(g, 2 + i, 14 - i + 0)
    rect(g, 14, 1, 18, 5, fill=True)
    outline(g)
    return g


def write_cur(name, grid, hot):
    xor_rows, and_rows = [], []
    for y in reversed(range(N)):
        xor_bits = and_bits = 0
        for x in range(N):
            c = grid[y][x]
            bit = 1 << (N - 1 - x)
            if c == " ":
                and_bits |= bit
            elif c == "o":
                xor_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, N, N * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", N, N, 2, 0, hot[0], hot[1], len(image), 22)
    with open(os.path.join(HERE, name + ".cur"), "wb") as f:
        f.write(directory + image)


M = 29


def marker(directions):
    """Palette indices of a 29 x 29 marker, rows from the top."""
    c = M // 2
    rows = []
    for y in range(M):
        row = []
        for x in range(M):
            d = (x - c) ** 2 + (y - c) ** 2
            row.append(15 if d <= (c - 1) ** 2 else 8)
        rows.append(row)

    def head(tx, ty, direction):
        for i in range(5):
            for j in range(-i, i + 1):
                x, y = {"up": (tx + j, ty + i), "down": (tx + j, ty - i),
                        "left": (tx + i, ty + j), "right": (tx - i, ty + j)}[direction]
                rows[y][x] = 0

    tips = {"up": (c, 3), "down": (c, M - 4), "left": (3, c), "right": (M - 4, c)}
    for d in directions:
        head(*tips[d], d)
    for y in range(c - 1, c + 2):
        for x in range(c - 1, c + 2):
            rows[y][x] = 0
    return rows


CENTER = (16, 16)
TIP = (0, 0)
CURSORS = [
    ("CX_DRAGCOPYCURSOR", drag("plus"), TIP),
    ("CX_FULLSCROLLCURSOR", panning(["up", "down", "left", "right"]), CENTER),
    ("CX_HORSCROLLCURSOR", panning(["left", "right"]), CENTER),
    ("CX_VERSCROLLCURSOR", panning(["up", "down"]), CENTER),
    ("CX_UPSCROLLCURSOR", panning(["up"]), CENTER),
    ("CX_RIGHTSCROLLCURSOR", panning(["right"]), CENTER),
    ("CX_DOWNSCROLLCURSOR", panning(["down"]), CENTER),
    ("CX_LEFTSCROLLCURSOR", panning(["left"]), CENTER),
    ("CX_REMOVECURSOR", drag("cross"), TIP),
    ("CX_VERTSIZECURSOR", size_cursor(True), CENTER),
    ("CX_HORZSIZECURSOR", size_cursor(False), CENTER),
    ("CX_MULTIDRAGCURSOR", drag(stacked=True), TIP),
    ("CX_NODROPCURSOR", no_drop(), CENTER),
    ("CX_DRAGCURSOR", drag(), TIP),
    ("CX_COLORPICKERCURSOR", color_picker(), (1, 14)),
    ("CX_MULTIDRAGCOPYCURSOR", drag("plus", stacked=True), TIP),
]

if __name__ == "__main__":
    for name, grid, hot in CURSORS:
        write_cur(name, grid, hot)
    write_bmp4_indices("CX_FULLSCROLLBITMAP", marker(["up", "down", "left", "right"]))
    write_bmp4_indices("CX_HORSCROLLBITMAP", marker(["left", "right"]))
    write_bmp4_indices("CX_VERSCROLLBITMAP", marker(["up", "down"]))
