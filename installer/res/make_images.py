#!/usr/bin/env python3
"""Draws the installer's icons and link cursor and writes them as .ico/.cur.

    installer/res/make_images.py [OUTPUT_DIR]

installer.ico  the program's icon: a monitor showing falling balls over a blue
               gradient, at 32 and 16 pixels
welcome.ico    the welcome dialog's icon: a blue ball dropping into an open box
hand.cur       a pointing hand, monochrome 32 by 32, hot spot on the fingertip

The outputs are committed; run this again only after changing a drawing.
"""
import math
import os
import struct
import sys

SAMPLES = 4  # supersampling per axis, for smooth edges at 16 and 32 pixels


def render(scene, size):
    """Rasterises scene(x, y) -> (r, g, b, a) over the unit square, a in 0..1."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = scene((px + (sx + 0.5) / SAMPLES) / size,
                                       (py + (sy + 0.5) / SAMPLES) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha > 0:
                row.append(tuple(int(round(c / acc[3])) for c in acc[:3]) + (int(round(alpha * 255)),))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def in_rect(x, y, left, top, right, bottom):
    return left <= x < right and top <= y < bottom


def in_round_rect(x, y, left, top, right, bottom, radius):
    if not in_rect(x, y, left, top, right, bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def ball(x, y, cx, cy, radius, colour):
    """A shaded ball with a highlight toward the upper left, or None outside."""
    d2 = (x - cx) ** 2 + (y - cy) ** 2
    if d2 > radius ** 2:
        return None
    hx, hy = cx - radius * 0.35, cy - radius * 0.35
    light = 1.0 - min(1.0, math.sqrt((x - hx) ** 2 + (y - hy) ** 2) / (radius * 1.6))
    shade = 0.55 + 0.45 * light
    glint = max(0.0, 1.0 - math.sqrt((x - hx) ** 2 + (y - hy) ** 2) / (radius * 0.35))
    return tuple(min(255, c * shade + 255 * glint * 0.8) for c in colour) + (1.0,)


def installer_icon(x, y):
    # Monitor frame, screen with the backdrop's gradient, pins and three balls, stand.
    if in_round_rect(x, y, 0.06, 0.08, 0.94, 0.76, 0.06):
        if in_rect(x, y, 0.13, 0.15, 0.87, 0.69):
            t = (y - 0.15) / 0.54
            for cx, cy, colour in ((0.30, 0.30, (230, 40, 40)), (0.55, 0.46, (250, 200, 30)),
                                   (0.74, 0.26, (60, 200, 70))):
                hit = ball(x, y, cx, cy, 0.085, colour)
                if hit:
                    return hit
            for cx, cy in ((0.24, 0.56), (0.42, 0.60), (0.64, 0.62), (0.80, 0.52), (0.46, 0.34)):
                if (x - cx) ** 2 + (y - cy) ** 2 <= 0.035 ** 2:
                    return (190, 190, 190, 1.0)
            return (0, 0, 255 * (1 - t), 1.0)
        return (70, 74, 82, 1.0)
    if in_rect(x, y, 0.42, 0.76, 0.58, 0.86):
        return (90, 94, 102, 1.0)
    if in_round_rect(x, y, 0.26, 0.86, 0.74, 0.94, 0.03):
        return (70, 74, 82, 1.0)
    return (0, 0, 0, 0.0)


def welcome_icon(x, y):
    # A blue ball above an open cardboard box, with a short motion trail.
    hit = ball(x, y, 0.50, 0.27, 0.19, (40, 90, 255))
    if hit:
        return hit
    for i, (cy, w) in enumerate(((0.03, 0.05), (0.00, 0.03))):
        if abs(x - 0.5) < w and in_rect(x, y, 0, cy, 1, cy + 0.03):
            return (120, 150, 255, 0.6 - 0.2 * i)
    # Flaps open outward, then the box front.
    if 0.48 <= y < 0.58:
        f = (y - 0.48) / 0.10
        if 0.06 + 0.08 * f <= x < 0.22 + 0.0 * f or 0.78 <= x < 0.94 - 0.08 * f:
            return (214, 170, 110, 1.0)
    if in_rect(x, y, 0.16, 0.56, 0.84, 0.96):
        edge = in_rect(x, y, 0.16, 0.56, 0.84, 0.60)
        tape = abs(x - 0.5) < 0.05
        if edge:
            return (120, 80, 40, 1.0)
        if tape:
            return (230, 210, 160, 1.0)
        return (196, 146, 86, 1.0)
    return (0, 0, 0, 0.0)


# B black, W white, . transparent. The fingertip is the top of column 5.
HAND = [
    ".....BB..........",
    "....BWWB.........",
    "....BWWB.........",
    "....BWWB.........",
    "....BWWB.........",
    "....BWWBBB.......",
    "....BWWBWWBBB....",
    "....BWWBWWBWWBB..",
    "BB..BWWBWWBWWBWB.",
    "BWB.BWWBWWBWWBWWB",
    "BWWBBWWWWWWWWWWWB",
    ".BWWBWWWWWWWWWWWB",
    "..BWBWWWWWWWWWWWB",
    "..BWWWWWWWWWWWWWB",
    "...BWWWWWWWWWWWWB",
    "...BWWWWWWWWWWWB.",
    "....BWWWWWWWWWWB.",
    "....BWWWWWWWWWB..",
    ".....BWWWWWWWWB..",
    ".....BWWWWWWWWB..",
    ".....BBBBBBBBBB..",
]
HAND_HOTSPOT = (5, 0)


def bitmap_info(width, height, bits, colours=0):
    # Icon and cursor images store the colour and the mask one above the other.
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def and_mask(size, transparent):
    stride = ((size + 31) // 32) * 4
    out = b""
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += bytes(row)
    return out


def icon_image(pixels):
    size = len(pixels)
    body = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            body += bytes((b, g, r, a))
    return bitmap_info(size, size, 32) + bytes(body) + and_mask(size, lambda x, y: pixels[y][x][3] == 0)


def write_group(path, kind, images):
    """images: list of (width, height, colour count, planes or hot x, bits or hot y, data)."""
    header = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for width, height, colours, field1, field2, data in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, field1, field2,
                               len(data), offset + len(blobs))
        blobs += data
    with open(path, "wb") as f:
        f.write(header + entries + blobs)


def hand_cursor():
    size = 32
    cell = lambda x, y: HAND[y][x] if y < len(HAND) and x < len(HAND[y]) else "."
    xor = b""
    for y in reversed(range(size)):
        row = bytearray(4)
        for x in range(size):
            if cell(x, y) == "W":
                row[x // 8] |= 0x80 >> (x % 8)
        xor += bytes(row)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    data = bitmap_info(size, size, 1, 2) + palette + xor + and_mask(size, lambda x, y: cell(x, y) == ".")
    return [(size, size, 2, HAND_HOTSPOT[0], HAND_HOTSPOT[1], data)]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_group(os.path.join(out, "installer.ico"), 1,
                [(s, s, 0, 1, 32, icon_image(render(installer_icon, s))) for s in (32, 16)])
    write_group(os.path.join(out, "welcome.ico"), 1,
                [(32, 32, 0, 1, 32, icon_image(render(welcome_icon, 32)))])
    write_group(os.path.join(out, "hand.cur"), 2, hand_cursor())


if __name__ == "__main__":
    main()
