#!/usr/bin/env python3
"""Composes a preview of the panel from the generated pictures: the background
with every button at its place (station off: On enabled, Off disabled), and
beside it one row per button with its U, D, F and X pictures.

Needs imagemagick (convert). Usage: make-preview.py OUT.png [SCALE]
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # keep the source folder clean

from layout import BUTTONS, STATES, button_rect  # noqa: E402

BITMAPS = os.path.join(os.path.dirname(HERE), "bitmaps")


def bmp(name):
    return os.path.join(BITMAPS, name + ".bmp")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "panel-preview.png"
    scale = sys.argv[2] if len(sys.argv) > 2 else "200%"
    panel = ["(", bmp("V7BG")]
    for name, *_ in BUTTONS:
        x, y, _, _ = button_rect(name)
        state = "X" if name == "OFF" else "U"
        panel += [bmp(name + state), "-geometry", f"+{x}+{y}", "-composite"]
    panel += [")"]
    sheet = ["(", "-background", "#b8c2cf"]
    for name, *_ in BUTTONS:
        sheet += ["("] + [bmp(name + s) for s in STATES] + ["-gravity", "northwest",
                                                             "-splice", "6x6", "+append", ")"]
    sheet += ["-append", ")"]
    icon = ["(", bmp("ICON128"), "-splice", "6x6", ")"]
    cmd = (["convert", "-background", "#b8c2cf"] + panel + sheet + icon
           + ["-gravity", "north", "+append", "-filter", "point", "-resize", scale, out])
    subprocess.run(cmd, check=True)


if __name__ == "__main__":
    main()
