"""Writers of the generated resources: PNG images and 8-bit indexed bitmaps."""

import struct
import zlib


def write_png(path, size, pixels):
    """pixels: rows of (r, g, b, a) tuples, non-premultiplied, 0..255."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(data)


def write_bmp8(path, width, height, palette, indices):
    """An uncompressed 8-bit indexed bitmap; indices[y][x], top row first."""
    stride = (width + 3) & ~3
    image_size = stride * height
    colours = len(palette)
    offset = 14 + 40 + 4 * colours
    out = bytearray(b"BM")
    out += struct.pack("<IHHI", offset + image_size, 0, 0, offset)
    out += struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, image_size,
                       2835, 2835, colours, 0)
    for r, g, b in palette:
        out += bytes((b, g, r, 0))
    for y in range(height - 1, -1, -1):
        row = bytes(indices[y]) + b"\0" * (stride - width)
        out += row
    with open(path, "wb") as f:
        f.write(out)
