#!/usr/bin/env python3
"""Draws the screensaver's application icon (saver.ico) and the link hand
cursor (link_hand.cur). Run from anywhere; writes next to this script.
The files are committed, so the build needs no Python."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, DARK_YELLOW, DARK_CYAN = 0, 2, 3, 6
GREEN, YELLOW, CYAN, WHITE = 10, 11, 14, 15


def shade_ball(light, dark):
    """Colour of a ball pixel by where it sits on the disc (u, v in -1..1)."""
    def colour(u, v):
        lit = -0.55 * u - 0.6 * v + 0.58 * max(0.0, 1 - u * u - v * v) ** 0.5
        if lit > 0.9:
            return WHITE
        if lit > -0.05:
            return light
        return dark
    return colour


def disc_pixels(size, cx, cy, radius, colour):
    """Pixels whose centre lies inside the disc, with their colours."""
    out = {}
    for y in range(size):
        for x in range(size):
            u = (x + 0.5 - cx) / radius
            v = (y + 0.5 - cy) / radius
            if u * u + v * v < 1.0:
                out[(x, y)] = colour(u, v)
    return out


def saver_image(size):
    """On black: a green ball near the top right, a yellow ball near the
    bottom left and four small cyan pins."""
    pixels = [[BLACK] * size for _ in range(size)]
    if size >= 32:
        pins = [(6, 7, 2.0), (15, 15, 2.0), (27, 23, 2.0), (20, 28, 2.0)]
        balls = [(22.5, 9.5, 7.0, GREEN, DARK_GREEN), (9.5, 22.5, 7.0, YELLOW, DARK_YELLOW)]
    else:
        # Too small to scale down: pins become single pixels.
        pins = [(2.5, 3.5, 0.6), (7.5, 8.5, 0.6), (13.5, 11.5, 0.6), (10.5, 14.5, 0.6)]
        balls = [(11.5, 4.5, 3.4, GREEN, DARK_GREEN), (4.5, 11.5, 3.4, YELLOW, DARK_YELLOW)]
    for px, py, r in pins:
        for (x, y), c in disc_pixels(size, px, py, r,
                                     lambda u, v: CYAN if u + v < 0.5 else DARK_CYAN).items():
            pixels[y][x] = c
    for cx, cy, r, light, dark in balls:
        for (x, y), c in disc_pixels(size, cx, cy, r, shade_ball(light, dark)).items():
            pixels[y][x] = c
    return pixels


def icon_entry_image(pixels):
    """A 4-bit DIB with its AND mask (all opaque), bottom-up rows."""
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor = b''
    for row in reversed(pixels):
        data = bytearray(xor_row)
        for x, c in enumerate(row):
            data[x // 2] |= c << (4 if x % 2 == 0 else 0)
        xor += bytes(data)
    mask = bytes(and_row * size)
    return header + palette + xor + mask


def write_icon(path, images):
    entries, blobs = b'', b''
    offset = 6 + 16 * len(images)
    for pixels in images:
        blob = icon_entry_image(pixels)
        size = len(pixels)
        entries += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(blob), offset + len(blobs))
        blobs += blob
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(images)) + entries + blobs)


# The pointing hand: '#' black outline, 'o' white, anything else see-through.
# The hot spot is the top of the index finger, (5, 0).
HAND = [
    "     ##",
    "    #oo#",
    "    #oo#",
    "    #oo#",
    "    #oo#",
    "    #oo###",
    "    #oo#oo###",
    "    #oo#oo#oo###",
    "    #oo#oo#oo#oo#",
    " ## #oo#oo#oo#oo#",
    "#oo##oooooooooooo#",
    "#ooo#ooooooooooooo#",
    " #oooooooooooooooo#",
    "  #ooooooooooooooo#",
    "  #oooooooooooooo#",
    "   #ooooooooooooo#",
    "   #oooooooooooo#",
    "    #ooooooooooo#",
    "    #ooooooooooo#",
    "    #############",
]
HOT_SPOT = (5, 0)


def write_cursor(path, art, hot_spot):
    size = 32
    rows = [line.ljust(size) for line in art] + [' ' * size] * (size - len(art))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack('<BBBBBBBB', 0, 0, 0, 0, 255, 255, 255, 0)
    xor, mask = b'', b''
    for line in reversed(rows):
        xbits, mbits = 0, 0
        for x, ch in enumerate(line):
            bit = 1 << (31 - x)
            if ch == 'o':
                xbits |= bit
            elif ch != '#':
                mbits |= bit
        xor += struct.pack('>I', xbits)
        mask += struct.pack('>I', mbits)
    blob = header + palette + xor + mask
    entry = struct.pack('<BBBBHHII', size, size, 2, 0, hot_spot[0], hot_spot[1], len(blob), 6 + 16)
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 2, 1) + entry + blob)


if __name__ == '__main__':
    assert HAND[HOT_SPOT[1]][HOT_SPOT[0]] == '#', 'the hot spot must sit on the fingertip'
    write_icon(os.path.join(HERE, 'saver.ico'), [saver_image(32), saver_image(16)])
    write_cursor(os.path.join(HERE, 'link_hand.cur'), HAND, HOT_SPOT)
