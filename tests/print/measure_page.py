#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures a printed page rendered by pdftoppm as a binary PPM: prints the width and height
in inches of what is drawn on it (everything not white), how many pure red pixels it has, and
how far in inches what is drawn lies from the paper's left and top edges."""
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:  # magic, width, height, maximum
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6" and fields[3] == b"255", fields
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def main():
    path, dpi = sys.argv[1], float(sys.argv[2])
    width, height, pixels = read_ppm(path)
    left, top, right, bottom, red = width, height, -1, -1, 0
    for y in range(height):
        row = pixels[3 * width * y:3 * width * (y + 1)]
        for x in range(width):
            r, g, b = row[3 * x], row[3 * x + 1], row[3 * x + 2]
            if r < 250 or g < 250 or b < 250:
                left, right = min(left, x), max(right, x)
                top, bottom = min(top, y), max(bottom, y)
                if r > 200 and g < 60 and b < 60:
                    red += 1
    print(f"{(right - left + 1) / dpi:.3f} {(bottom - top + 1) / dpi:.3f} {red}"
          f" {left / dpi:.3f} {top / dpi:.3f}")


main()
