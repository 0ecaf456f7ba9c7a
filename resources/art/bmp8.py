"""Writes 8-bit, uncompressed, bottom-up BMP files with a full 256-entry colour table."""

import struct
from collections import Counter


def encode(width, height, rgb):
    """A BMP file image of an RGB picture (rows top to bottom, 3 bytes a pixel)
    that has at most 256 colours. The table lists the most used colours first;
    unused entries are black."""
    pixels = [rgb[i:i + 3] for i in range(0, len(rgb), 3)]
    if len(pixels) != width * height:
        raise ValueError(f"expected {width * height} pixels, got {len(pixels)}")
    counts = Counter(pixels)
    if len(counts) > 256:
        raise ValueError(f"{len(counts)} colours: quantize to 256 first")
    colours = sorted(counts, key=lambda c: (-counts[c], c))
    index = {c: i for i, c in enumerate(colours)}
    table = b"".join(bytes((c[2], c[1], c[0], 0)) for c in colours)  # blue, green, red, 0
    table += b"\0" * (1024 - len(table))

    stride = (width + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytes(index[p] for p in pixels[y * width:(y + 1) * width])
        rows.append(row + b"\0" * (stride - width))
    bits = b"".join(rows)

    offset = 14 + 40 + 1024
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return head + info + table + bits


def check(data, width, height):
    """Raises unless data is an 8-bit BI_RGB bottom-up BMP v3 of the given size."""
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    hsize, w, h, planes, bpp, comp = struct.unpack_from("<IiiHHI", data, 14)
    clr_used = struct.unpack_from("<I", data, 46)[0]
    ok = (magic == b"BM" and size == len(data) and hsize == 40 and (w, h) == (width, height)
          and planes == 1 and bpp == 8 and comp == 0 and clr_used in (0, 256)
          and offset == 14 + 40 + 1024)
    if not ok:
        raise ValueError(f"not an 8-bit {width}x{height} BMP v3: {(magic, hsize, w, h, bpp, comp)}")
