#!/usr/bin/env python3
"""Writes FwReg's icon: one 16x16 32-bit image, a folder shape, no external tools."""
import struct
import sys

SIZE = 16


def pixel(x, y):
    # y counts from the top; a folder with a tab, on a transparent ground.
    body = 3 <= x <= 13 and 5 <= y <= 12
    tab = 3 <= x <= 7 and y == 4
    if body or tab:
        edge = x in (3, 13) or y in (4, 12) or (y == 5 and x > 7)
        return (0x20, 0x70, 0xB0, 0xFF) if edge else (0x50, 0xC0, 0xF0, 0xFF)  # BGRA
    return (0, 0, 0, 0)


def image():
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        rows.append(b"".join(bytes(pixel(x, y)) for x in range(SIZE)))
    xor = b"".join(rows)
    and_mask = b"\x00" * (4 * SIZE)  # rows padded to 32 bits; alpha does the masking
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(out):
    img = image()
    data = struct.pack("<HHH", 0, 1, 1)
    data += struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(img), 6 + 16)
    data += img
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
