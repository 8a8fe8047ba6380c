#!/usr/bin/env python3
"""Draws the programs' own pictures: the loading animation (CUSTOM 101),
the failure picture (CUSTOM 102), the summary panel's bullet (CUSTOM 103)
and the two program icons.

Run from anywhere; writes into resources/. The outputs are committed, so a
build does not need this script; run it again only to change a picture."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "resources")


def lzw_encode(indices, min_code_size):
    """GIF LZW with a full string table; emits a clear code when it fills."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bitbuf = 0
    nbits = 0

    def emit(code, width):
        nonlocal bitbuf, nbits
        bitbuf |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bitbuf & 0xFF)
            bitbuf >>= 8
            nbits -= 8

    width = min_code_size + 1
    table = {}
    next_code = end + 1
    emit(clear, width)
    prefix = None
    for px in indices:
        if prefix is None:
            prefix = (px,)
            continue
        cand = prefix + (px,)
        if cand in table or len(cand) == 1:
            prefix = cand
            continue
        emit(table[prefix] if len(prefix) > 1 else prefix[0], width)
        if next_code < 4096:
            table[cand] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table = {}
            next_code = end + 1
            width = min_code_size + 1
        prefix = (px,)
    if prefix is not None:
        emit(table[prefix] if len(prefix) > 1 else prefix[0], width)
    emit(end, width)
    if nbits:
        out.append(bitbuf & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def gif(width, height, palette, frames, loop=0, transparent=None, local_tables=False):
    """frames: list of (delay_cs, pixels) with full-size index lists.
    With local_tables, frames after the first carry their own colour table
    (the same colours) instead of using the global one."""
    bits = max(1, math.ceil(math.log2(len(palette))))
    size = 1 << bits
    pal = list(palette) + [(0, 0, 0)] * (size - len(palette))
    table = b"".join(bytes(c) for c in pal)
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | 0x70 | (bits - 1), 0, 0)
    out += table
    if len(frames) > 1:
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + struct.pack("<H", loop) + b"\x00"
    min_code = max(2, bits)
    for n, (delay, pixels) in enumerate(frames):
        flags = 0
        tindex = 0
        if transparent is not None:
            flags = 0x01 | (2 << 2)  # transparent, restore to background
            tindex = transparent
        out += b"\x21\xF9\x04" + struct.pack("<BHB", flags, delay, tindex) + b"\x00"
        local = local_tables and n > 0
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, (0x80 | (bits - 1)) if local else 0)
        if local:
            out += table
        out.append(min_code)
        out += sub_blocks(lzw_encode(pixels, min_code))
    out.append(0x3B)
    return bytes(out)


def loading_animation():
    """150 x 100, eight frames of 80 ms, looping: eight dots on a ring, the
    bright one walks round. Opaque (drawn on white), frames 2..8 with local tables."""
    w, h = 150, 100
    palette = [(255, 255, 255), (0x2E, 0x7D, 0xD2), (0x90, 0xBC, 0xEA), (0xD4, 0xE4, 0xF7)]
    frames = []
    for step in range(8):
        px = [0] * (w * h)
        for dot in range(8):
            ang = 2 * math.pi * dot / 8
            cx = 74.5 + 26 * math.cos(ang)
            cy = 49.5 + 26 * math.sin(ang)
            age = (step - dot) % 8
            colour = 1 if age == 0 else 2 if age <= 2 else 3
            for y in range(int(cy) - 8, int(cy) + 9):
                for x in range(int(cx) - 8, int(cx) + 9):
                    if (x - cx) ** 2 + (y - cy) ** 2 <= 6.5 ** 2:
                        px[y * w + x] = colour
        frames.append((8, px))
    return gif(w, h, palette, frames, loop=0, local_tables=True)


def failure_picture():
    """100 x 100: a grey circle with a red cross: the page could not be loaded."""
    w = h = 100
    palette = [(255, 255, 255), (0xC6, 0x28, 0x28), (0xBD, 0xBD, 0xBD), (0xF5, 0xF5, 0xF5)]
    px = [0] * (w * h)
    for y in range(h):
        for x in range(w):
            d = math.hypot(x - 49.5, y - 49.5)
            if d <= 46:
                px[y * w + x] = 2 if d > 41 else 3
            if d <= 33 and (abs((x - 49.5) - (y - 49.5)) <= 5 or abs((x - 49.5) + (y - 49.5)) <= 5):
                px[y * w + x] = 1
    return gif(w, h, palette, [(0, px)])


def bullet_picture():
    """12 x 12: an orange dot with a light rim on a transparent ground, in
    front of each line of the main window's summary panel."""
    w = h = 12
    palette = [(255, 255, 255), (0xF2, 0x9B, 0x1B), (0xF9, 0xCD, 0x8D)]
    px = [0] * (w * h)
    for y in range(h):
        for x in range(w):
            d = math.hypot(x - 5.5, y - 5.5)
            if d <= 5.2:
                px[y * w + x] = 2 if d > 4.2 else 1
    return gif(w, h, palette, [(0, px)], transparent=0)


def icon(draw):
    """A .ico with 16x16 and 32x32 32-bit images drawn by draw(x, y, size)."""
    images = []
    for size in (16, 32):
        rows = []
        for y in range(size - 1, -1, -1):  # bottom-up
            row = bytearray()
            for x in range(size):
                r, g, b, a = draw(x, y, size)
                row += bytes((b, g, r, a))
            rows.append(bytes(row))
        xor = b"".join(rows)
        mask_stride = ((size + 31) // 32) * 4
        andmask = bytes(mask_stride * size)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
        images.append((size, header + xor + andmask))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def ledger_icon(x, y, size):
    """The client: a blue ledger with three rising bars."""
    s = size / 32.0
    if not (3 * s <= x < 29 * s and 2 * s <= y < 30 * s):
        return (0, 0, 0, 0)
    if x < 6 * s:
        return (0x1E, 0x5A, 0xA8, 255)
    for i, top in enumerate((20, 14, 8)):
        x0 = (9 + 6 * i) * s
        if x0 <= x < x0 + 4 * s and top * s <= y < 26 * s:
            return (0xF2, 0x9B, 0x1B, 255)
    return (0x2E, 0x7D, 0xD2, 255)


def update_icon(x, y, size):
    """The updater: a green disc with a white downward arrow."""
    c = (size - 1) / 2.0
    d = math.hypot(x - c, y - c)
    if d > size / 2.0 - 0.5:
        return (0, 0, 0, 0)
    s = size / 32.0
    shaft = abs(x - c) <= 2.5 * s and 7 * s <= y <= 18 * s
    head = 16 * s <= y <= 25 * s and abs(x - c) <= (25 * s - y)
    if shaft or head:
        return (255, 255, 255, 255)
    return (0x2E, 0x9D, 0x4E, 255)


def main():
    files = {
        "loading.gif": loading_animation(),
        "failed.gif": failure_picture(),
        "bullet.gif": bullet_picture(),
        "tallivo.ico": icon(ledger_icon),
        "update.ico": icon(update_icon),
    }
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
        print(name, len(data), "bytes")


if __name__ == "__main__":
    main()
