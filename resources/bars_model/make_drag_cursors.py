#!/usr/bin/env python3
"""Writes the toolbar system's drag cursors (32 x 32, two colours, .cur),
with the drawing helpers of the base controls' cursor script.

DXBARDRAGCURSOR: the arrow pointer (hot spot at its tip) carrying an item.
DXBARDRAGCOPYCURSOR: the same with a plus sign: the item is copied.
DXBARDRAGNODROPCURSOR: the pointer with a barred circle: nothing can be
dropped here.
DXBAREDITSIZINGCURSOR: a double arrow across two bars (hot spot in the
middle): the width of an edit item is being changed.

Run it from anywhere; it writes next to itself.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "foundation"))
import make_control_resources as base  # noqa: E402

base.HERE = HERE  # write_cur writes into the folder named here


def item_drag(sign=None):
    g = base.blank()
    base.pointer(g)
    base.rect(g, 9, 19, 23, 26)
    base.rect(g, 11, 21, 13, 24, fill=True)
    if sign == "plus":
        base.plus(g, 27, 28)
    elif sign == "nodrop":
        base.ring(g, 25, 24, 6)
        for d in range(-3, 4):
            base.put(g, 25 + d, 24 + d)
    base.outline(g)
    return g


def edit_sizing():
    g = base.blank()
    for y in range(8, 25):
        base.put(g, 14, y)
        base.put(g, 18, y)
    for x in range(6, 27):
        base.put(g, x, 16)
    base.triangle(g, 4, 16, "left", 4)
    base.triangle(g, 28, 16, "right", 4)
    base.outline(g)
    return g


CURSORS = [
    ("DXBARDRAGCURSOR", item_drag(), base.TIP),
    ("DXBARDRAGCOPYCURSOR", item_drag("plus"), base.TIP),
    ("DXBARDRAGNODROPCURSOR", item_drag("nodrop"), base.TIP),
    ("DXBAREDITSIZINGCURSOR", edit_sizing(), base.CENTER),
]

if __name__ == "__main__":
    for name, grid, hot in CURSORS:
        base.write_cur(name, grid, hot)
