#!/usr/bin/env python3
"""Draws code.gif, the busy animation of the progress windows.

A ring of eight dots in which a dark "head" walks round once per loop and
leaves a fading trail. 32 x 32 pixels, eight frames, looping for ever, with a
transparent background so that it sits on any window colour.

Standard library only: the GIF89a encoder (LZW included) is written out
below. Run it from anywhere; it writes code.gif next to itself.

    python3 resources/make_code_gif.py
"""

import math
import os
import struct

SIZE = 32
FRAMES = 8
DOTS = 8
RING_RADIUS = 10.5
DOT_RADIUS = 3.1
DELAY_CS = 10  # hundredths of a second per frame

# Index 0 is the transparent background; 1..8 run from the head of the trail
# (deep blue) to its faintest end (pale grey-blue). The table is padded to
# sixteen entries, the power of two a GIF colour table needs.
PALETTE = [
    (255, 255, 255),
    (20, 60, 160),
    (45, 85, 175),
    (75, 110, 185),
    (105, 135, 195),
    (135, 160, 205),
    (160, 180, 215),
    (185, 200, 225),
    (205, 215, 232),
]
PALETTE += [(0, 0, 0)] * (16 - len(PALETTE))
COLOUR_BITS = 4


def draw_frame(frame):
    """Returns SIZE * SIZE palette indices, row by row."""
    centre = (SIZE - 1) / 2.0
    centres = []
    for dot in range(DOTS):
        angle = 2.0 * math.pi * dot / DOTS - math.pi / 2.0
        centres.append((centre + RING_RADIUS * math.cos(angle),
                        centre + RING_RADIUS * math.sin(angle)))
    pixels = bytearray(SIZE * SIZE)
    for y in range(SIZE):
        for x in range(SIZE):
            for dot, (cx, cy) in enumerate(centres):
                if math.hypot(x - cx, y - cy) <= DOT_RADIUS:
                    # The head is the dot the frame number points at; the
                    # dots behind it in the direction of travel fade out.
                    age = (frame - dot) % DOTS
                    pixels[y * SIZE + x] = 1 + age
                    break
    return bytes(pixels)


def lzw_encode(indices, min_code_size):
    """GIF flavour of LZW: variable code width, codes packed LSB first."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bit_buffer = 0
    bit_count = 0

    def emit(code, width):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += width
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    def fresh_table():
        return {(None, i): i for i in range(clear)}

    table = fresh_table()
    next_code = end + 1
    width = min_code_size + 1
    emit(clear, width)

    prefix = indices[0]
    for value in indices[1:]:
        key = (prefix, value)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix, width)
        if next_code < 4096:
            table[key] = next_code
            # The decoder adds each entry one code later than we do, so it
            # widens its codes after the entry numbered 1 << width arrives;
            # widening here at the same entry keeps both sides in step.
            if next_code == (1 << width) and width < 12:
                width += 1
            next_code += 1
        else:
            # A full table starts over rather than running on unchanged.
            emit(clear, width)
            table = fresh_table()
            next_code = end + 1
            width = min_code_size + 1
        prefix = value
    emit(prefix, width)
    emit(end, width)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def sub_blocks(data):
    """Splits data into the length-prefixed blocks of at most 255 bytes."""
    out = bytearray()
    for start in range(0, len(data), 255):
        chunk = data[start:start + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def encode_gif(frames):
    out = bytearray(b"GIF89a")
    # Logical screen with a global colour table of 2 ** COLOUR_BITS entries.
    packed = 0x80 | ((COLOUR_BITS - 1) << 4) | (COLOUR_BITS - 1)
    out += struct.pack("<HHBBB", SIZE, SIZE, packed, 0, 0)
    for r, g, b in PALETTE:
        out += bytes((r, g, b))
    # NETSCAPE2.0 application extension: loop count 0 means for ever.
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + struct.pack("<H", 0) + b"\x00"
    for pixels in frames:
        # Graphic control: restore to background between frames (disposal
        # 2) with index 0 transparent, so the trail never smears.
        out += b"\x21\xF9\x04" + struct.pack("<BHB", (2 << 2) | 0x01, DELAY_CS, 0) + b"\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        out.append(COLOUR_BITS)
        out += sub_blocks(lzw_encode(pixels, COLOUR_BITS))
    out.append(0x3B)
    return bytes(out)


def main():
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "code.gif")
    data = encode_gif([draw_frame(f) for f in range(FRAMES)])
    with open(target, "wb") as f:
        f.write(data)
    print(f"wrote {target} ({len(data)} bytes, {FRAMES} frames)")


if __name__ == "__main__":
    main()
