"""Packs square RGBA PNG pictures into one Windows icon file (.ico).

Pictures up to 64 pixels go in as 32-bit DIBs with their AND mask, which every
Windows loader reads; larger ones go in as the PNG file itself, as Windows
keeps its 256-pixel icons. Only what the icon script writes is read: 8-bit
RGBA, not interlaced.
"""

import struct
import zlib

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
LARGEST_DIB = 64


def _chunks(data):
    if not data.startswith(PNG_SIGNATURE):
        raise ValueError("not a PNG file")
    at = len(PNG_SIGNATURE)
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind = data[at + 4:at + 8]
        yield kind, data[at + 8:at + 8 + length]
        at += 12 + length


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def decode_rgba(data):
    """(width, height, rows): rows top to bottom, 4 bytes a pixel."""
    header, packed = None, b""
    for kind, body in _chunks(data):
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            packed += body
    if header is None:
        raise ValueError("PNG without a header")
    width, height, depth, colour, _, _, interlace = header
    if (depth, colour, interlace) != (8, 6, 0):
        raise ValueError("only 8-bit RGBA PNG without interlacing is read")
    raw = zlib.decompress(packed)
    stride = width * 4
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for x in range(stride):
            left = line[x - 4] if x >= 4 else 0
            up = previous[x]
            corner = previous[x - 4] if x >= 4 else 0
            if kind == 1:
                line[x] = (line[x] + left) & 0xFF
            elif kind == 2:
                line[x] = (line[x] + up) & 0xFF
            elif kind == 3:
                line[x] = (line[x] + ((left + up) >> 1)) & 0xFF
            elif kind == 4:
                line[x] = (line[x] + _paeth(left, up, corner)) & 0xFF
            elif kind != 0:
                raise ValueError(f"unknown PNG filter {kind}")
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def _dib(width, height, rows):
    """A 32-bit bottom-up DIB with its 1-bit AND mask (set where transparent)."""
    info = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(
        bytes(b for i in range(0, len(row), 4) for b in (row[i + 2], row[i + 1], row[i], row[i + 3]))
        for row in reversed(rows))
    mask_stride = ((width + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(width):
            if row[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return info + colour + mask


def pack(pngs):
    """The .ico file image of the PNG file images given, in the order given."""
    images = []
    for data in pngs:
        width, height, rows = decode_rgba(data)
        if width != height or width > 256:
            raise ValueError(f"an icon picture must be square and at most 256 pixels, not {width}x{height}")
        images.append((width, data if width > LARGEST_DIB else _dib(width, height, rows)))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, body in images:
        edge = size % 256  # 0 stands for 256
        directory += struct.pack("<BBBBHHII", edge, edge, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
    return directory + b"".join(body for _, body in images)
