#!/usr/bin/env python3
"""Packs square RGBA images into one .ico file at the requested colour depths.

usage: make-ico.py OUT.ico SIZE:BPP:RAWFILE ...
RAWFILE holds SIZE*SIZE*4 bytes of straight RGBA, top row first. 32-bit images keep
their alpha; 8-, 4- and 1-bit images get a palette (black, then the colours of the image,
which the caller has already reduced to leave room for black) and a transparency mask
from alpha < 128.
"""
import struct
import sys


def row_pad(nbytes):
    return (nbytes + 3) & ~3


def pack_bits(indices, bpp):
    out = bytearray()
    per_byte = 8 // bpp
    for i in range(0, len(indices), per_byte):
        b = 0
        for j in range(per_byte):
            v = indices[i + j] if i + j < len(indices) else 0
            b |= v << (8 - bpp * (j + 1))
        out.append(b)
    return bytes(out)


def encode(size, bpp, rgba):
    px = [tuple(rgba[i:i + 4]) for i in range(0, len(rgba), 4)]
    rows = [px[y * size:(y + 1) * size] for y in range(size)]
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    palette = b''
    xor = bytearray()
    if bpp == 32:
        for row in reversed(rows):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
    else:
        if bpp == 1:
            colours = [(0, 0, 0), (255, 255, 255)]
            def index(p):
                return 1 if (p[0] * 299 + p[1] * 587 + p[2] * 114) // 1000 >= 128 else 0
        else:
            colours = [(0, 0, 0)] + sorted({p[:3] for p in px if p[3] >= 128} - {(0, 0, 0)})
            if len(colours) > (1 << bpp):
                sys.exit(f'{size}px at {bpp} bpp has {len(colours) - 1} colours besides black')
            slot = {c: i for i, c in enumerate(colours)}
            def index(p):
                return slot[p[:3]]
        colours += [(0, 0, 0)] * ((1 << bpp) - len(colours))
        palette = b''.join(bytes((b, g, r, 0)) for r, g, b in colours)
        for row in reversed(rows):
            # The icon is drawn as screen AND mask, then XOR colour: under a set mask bit
            # the colour must be black (index 0) or the screen comes out tinted.
            line = pack_bits([index(p) if p[3] >= 128 else 0 for p in row], bpp)
            xor += line + b'\0' * (row_pad(len(line)) - len(line))
    mask = bytearray()
    for row in reversed(rows):
        line = pack_bits([1 if p[3] < 128 else 0 for p in row], 1)
        mask += line + b'\0' * (row_pad(len(line)) - len(line))
    return header + palette + bytes(xor) + bytes(mask)


def main():
    out, args = sys.argv[1], sys.argv[2:]
    images = []
    for arg in args:
        size, bpp, path = arg.split(':', 2)
        size, bpp = int(size), int(bpp)
        data = open(path, 'rb').read()
        if len(data) != size * size * 4:
            sys.exit(f'{path}: expected {size * size * 4} bytes')
        images.append((size, bpp, encode(size, bpp, data)))
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    for size, bpp, blob in images:
        count = (1 << bpp) if bpp < 8 else 0
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, count, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    with open(out, 'wb') as f:
        f.write(directory + b''.join(blob for _, _, blob in images))


main()
