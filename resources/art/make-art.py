#!/usr/bin/env python3
"""Regenerates every picture of the program into resources/bitmaps/ in one run:
the 32 button pictures, the background V7BG and the icon ICON128.

Needs (Debian packages): python3, librsvg2-bin (rsvg-convert), imagemagick
(convert), fonts-dejavu-core. Run from anywhere: python3 resources/art/make-art.py
"""

import os
import shutil
import subprocess
import sys
import tempfile
from collections import Counter

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # keep the source folder clean

import background  # noqa: E402
import bmp8  # noqa: E402
import buttons  # noqa: E402
import icon  # noqa: E402
from layout import BUTTONS, STATES, FORM_W, FORM_H  # noqa: E402

OUT = os.path.join(os.path.dirname(HERE), "bitmaps")
TOOLS = {"rsvg-convert": "librsvg2-bin", "convert": "imagemagick"}


def _pixels(png_path, *options):
    """The PNG's pixels as raw RGB, after the given ImageMagick options."""
    return subprocess.run(["convert", png_path, "-background", "white", "-alpha", "remove",
                           "-alpha", "off", *options, "-depth", "8", "rgb:-"],
                          check=True, capture_output=True).stdout


def _snap(original, quantized):
    """Gives each quantized colour the most common original colour among its
    pixels, so flat areas keep their exact colour (the form's colour behind the
    buttons must match the corners of the button pictures)."""
    votes = {}
    for i in range(0, len(original), 3):
        q, o = quantized[i:i + 3], original[i:i + 3]
        votes.setdefault(q, Counter())[o] += 1
    best = {q: c.most_common(1)[0][0] for q, c in votes.items()}
    return b"".join(best[quantized[i:i + 3]] for i in range(0, len(quantized), 3))


def render(svg, width, height, work, name):
    """SVG text to raw RGB pixels with at most 256 colours."""
    svg_path = os.path.join(work, name + ".svg")
    png_path = os.path.join(work, name + ".png")
    with open(svg_path, "w", encoding="utf-8") as f:
        f.write(svg)
    subprocess.run(["rsvg-convert", "-w", str(width), "-h", str(height), "-o", png_path, svg_path],
                   check=True)
    rgb = _pixels(png_path)
    if len({rgb[i:i + 3] for i in range(0, len(rgb), 3)}) <= 256:
        return rgb
    # No dithering: flat areas keep one clean colour.
    return _snap(rgb, _pixels(png_path, "+dither", "-colors", "256"))


def write(name, svg, width, height, work):
    data = bmp8.encode(width, height, render(svg, width, height, work, name))
    bmp8.check(data, width, height)
    with open(os.path.join(OUT, name + ".bmp"), "wb") as f:
        f.write(data)


def main():
    missing = [f"{tool} ({pkg})" for tool, pkg in TOOLS.items() if not shutil.which(tool)]
    if missing:
        sys.exit("make-art: missing " + ", ".join(missing))
    os.makedirs(OUT, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        for name, label, _, size in BUTTONS:
            for state in STATES:
                write(name + state, buttons.picture(name, label, state, size), *size, work)
        write("V7BG", background.picture(), FORM_W, FORM_H, work)
        write("ICON128", icon.picture(32), 32, 32, work)
    print(f"make-art: wrote {len(BUTTONS) * len(STATES) + 2} pictures to {OUT}")


if __name__ == "__main__":
    main()
