#!/usr/bin/env python3
"""Writes the desktop icon into resources/icons/ from the same source as the
built-in icon (icon.py), with its corners rounded and transparent:
orvane-v7.svg (scalable, the lettering as outlines so it looks the same without
the font), orvane-v7-<N>.png for the hicolor theme and orvane-v7.ico, the
Windows program's icon, from the same PNG pictures.

Needs (Debian packages): python3, librsvg2-bin (rsvg-convert), fonts-dejavu-core.
Run from anywhere: python3 resources/art/make-icons.py
"""

import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # keep the source folder clean

import ico  # noqa: E402
import icon  # noqa: E402

OUT = os.path.join(os.path.dirname(HERE), "icons")
SIZES = (16, 24, 32, 48, 64, 128, 256)
# The sizes Windows draws a program's icon at (lists, title bars, Explorer views).
ICO_SIZES = (16, 24, 32, 48, 64, 256)


def rsvg(source, target, *options):
    subprocess.run(["rsvg-convert", *options, "-o", target, source], check=True)


def main():
    if not shutil.which("rsvg-convert"):
        sys.exit("make-icons: missing rsvg-convert (librsvg2-bin)")
    os.makedirs(OUT, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        source = os.path.join(work, "icon.svg")
        with open(source, "w", encoding="utf-8") as f:
            f.write(icon.picture(32, rounded=True))
        # Cairo's SVG output draws text as glyph outlines.
        rsvg(source, os.path.join(OUT, "orvane-v7.svg"), "-f", "svg", "-w", "256", "-h", "256")
        for size in SIZES:
            rsvg(source, os.path.join(OUT, f"orvane-v7-{size}.png"), "-w", str(size), "-h", str(size))
    pictures = []
    for size in ICO_SIZES:
        with open(os.path.join(OUT, f"orvane-v7-{size}.png"), "rb") as f:
            pictures.append(f.read())
    with open(os.path.join(OUT, "orvane-v7.ico"), "wb") as f:
        f.write(ico.pack(pictures))
    print(f"make-icons: wrote {len(SIZES) + 2} icons to {OUT}")


if __name__ == "__main__":
    main()
