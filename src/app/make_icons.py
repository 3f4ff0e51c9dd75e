#!/usr/bin/env python3
"""Draws Raidkit's two icons and writes them as .ico files (no third-party modules).

raidkit_main.ico: 32x32, 24-bit colour, the main window's icon.
raidkit_info.ico: 32x32 and 16x16, 16 colours (the standard VGA palette), the info window's
icon, which the tray shows.

The motif is a crosshair over a dark keycap: a key watched while the game runs.
Usage: make_icons.py OUTPUT_FOLDER
"""
import math
import struct
import sys
from pathlib import Path

# The 16 colours of the standard Windows palette, as (r, g, b).
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def inside_rounded_square(x, y, size, radius):
    """Pixel centre (x, y) within a size x size square with rounded corners."""
    cx, cy = x + 0.5, y + 0.5
    nx = min(max(cx, radius), size - radius)
    ny = min(max(cy, radius), size - radius)
    return (cx - nx) ** 2 + (cy - ny) ** 2 <= radius ** 2


def shape(x, y, size):
    """What the motif puts at a pixel: None (transparent), 'cap', 'rim', 'ring', 'cross', 'dot'."""
    s = size / 32.0
    if not inside_rounded_square(x, y, size, 5 * s):
        return None
    cx = cy = size / 2.0
    px, py = x + 0.5, y + 0.5
    r = math.hypot(px - cx, py - cy)
    if r <= 1.6 * s:
        return "dot"
    if abs(r - 9.5 * s) <= 1.2 * s:
        return "ring"
    arm = 1.0 * s
    if (abs(px - cx) <= arm and 4 * s <= abs(py - cy) <= 14 * s) or (
        abs(py - cy) <= arm and 4 * s <= abs(px - cx) <= 14 * s
    ):
        return "cross"
    if not inside_rounded_square(x - 1 * s, y - 1 * s, size - 2 * s, 4 * s):
        return "rim"
    return "cap"


def true_colour(x, y, size):
    kind = shape(x, y, size)
    if kind is None:
        return None
    if kind in ("ring", "dot"):
        return (232, 80, 42)
    if kind == "cross":
        return (250, 236, 200)
    if kind == "rim":
        return (12, 24, 40)
    t = y / (size - 1)  # top light, bottom dark, like a lit keycap
    top, bottom = (58, 104, 150), (18, 40, 66)
    return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))


def palette_index(x, y, size):
    kind = shape(x, y, size)
    if kind is None:
        return None
    return {"ring": 9, "dot": 9, "cross": 15, "rim": 0, "cap": 4}[kind]


def mask_rows(size, opaque):
    """AND mask, bottom-up, 1 bit a pixel, rows padded to 4 bytes; 1 = transparent."""
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if not opaque(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def bitmap_header(size, bits, colours):
    # Height counts both the colour bitmap and the mask.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def image_24(size):
    stride = (size * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in reversed(range(size)):
        row = bytearray()
        for x in range(size):
            r, g, b = true_colour(x, y, size) or (0, 0, 0)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        pixels += row
    mask = mask_rows(size, lambda x, y: true_colour(x, y, size) is not None)
    return bitmap_header(size, 24, 0) + bytes(pixels) + mask


def image_4(size):
    stride = (size // 2 + 3) // 4 * 4
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    pixels = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            index = palette_index(x, y, size) or 0
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += row
    mask = mask_rows(size, lambda x, y: palette_index(x, y, size) is not None)
    return bitmap_header(size, 4, 16) + pal + bytes(pixels) + mask


def ico(images):
    """images: list of (size, colour count field, bits per pixel, data)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, colours, bits, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(data),
                           offset)
        offset += len(data)
        body += data
    return out + body


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "raidkit_main.ico").write_bytes(ico([(32, 0, 24, image_24(32))]))
    (folder / "raidkit_info.ico").write_bytes(
        ico([(32, 16, 4, image_4(32)), (16, 16, 4, image_4(16))]))


if __name__ == "__main__":
    main()
