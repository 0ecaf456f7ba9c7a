#!/usr/bin/env python3
"""Regenerates every picture of the program into resources/bitmaps/ in one run:
the 32 button pictures, the background V7BG and the icon ICON128, as 8-bit BMPs;
and the button pictures and the background again at twice the size, full
colour, as PNGs in resources/bitmaps/2x/ for HiDPI screens. The panel's pictures
come again in the dark theme's colours, named with the suffix _DARK.

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
from layout import BUTTONS, C, C_DARK, DARK_SUFFIX, STATES, FORM_W, FORM_H  # noqa: E402

OUT = os.path.join(os.path.dirname(HERE), "bitmaps")
OUT_2X = os.path.join(OUT, "2x")
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


def write_2x(name, svg, width, height, work):
    """The picture at twice its size: the SVG scales, nothing is quantized. The
    PNG keeps no alpha and no time stamps, so a re-run gives the same bytes."""
    svg_path = os.path.join(work, name + "@2x.svg")
    png_path = os.path.join(work, name + "@2x.png")
    with open(svg_path, "w", encoding="utf-8") as f:
        f.write(svg)
    subprocess.run(["rsvg-convert", "-w", str(2 * width), "-h", str(2 * height), "-o", png_path,
                    svg_path], check=True)
    subprocess.run(["convert", png_path, "-background", "white", "-alpha", "remove", "-alpha", "off",
                    "-strip", "-define", "png:compression-level=9", "PNG24:" +
                    os.path.join(OUT_2X, name + ".png")], check=True)


def main():
    missing = [f"{tool} ({pkg})" for tool, pkg in TOOLS.items() if not shutil.which(tool)]
    if missing:
        sys.exit("make-art: missing " + ", ".join(missing))
    os.makedirs(OUT_2X, exist_ok=True)
    light = dict(C)
    with tempfile.TemporaryDirectory() as work:
        write("ICON128", icon.picture(32), 32, 32, work)
        # The panel twice: in its own colours, then in the dark theme's (the
        # drawing code reads the shared colour table, swapped in place).
        for colours, suffix in ((light, ""), (C_DARK, DARK_SUFFIX)):
            C.clear()
            C.update(colours)
            for name, label, _, size in BUTTONS:
                for state in STATES:
                    svg = buttons.picture(name, label, state, size)
                    write(name + state + suffix, svg, *size, work)
                    write_2x(name + state + suffix, svg, *size, work)
            write("V7BG" + suffix, background.picture(), FORM_W, FORM_H, work)
            write_2x("V7BG" + suffix, background.picture(), FORM_W, FORM_H, work)
        C.clear()
        C.update(light)
    panel = len(BUTTONS) * len(STATES) + 1
    print(f"make-art: wrote {2 * panel + 1} pictures to {OUT}, {2 * panel} at 2x to {OUT_2X}")


if __name__ == "__main__":
    main()
