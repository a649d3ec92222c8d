#!/usr/bin/python3
"""Validate the picture library in assets/pictures (or the folder given).

Checks every file 00.ico .. 79.ico and cover.ico for the exact layout the game
expects (one 32 x 32, 4-bit image with a 1-bit mask, 766 bytes), that each has
transparent pixels drawn in black, and that no two pictures look alike: two
pictures must differ visibly in at least MIN_DIFFERENT pixels.

With --qt, also loads each file through Qt's own ico reader (needs PyQt6) and
compares what Qt decodes with what this script decodes.

Needs only the Python 3 standard library (PyQt6 for --qt).
Exit status 0 when everything passes.
"""

import argparse
import os
import struct
import sys

SIZE = 32
FILE_SIZE = 766
MIN_DIFFERENT = 40      # pixels
VISIBLE_STEP = 48       # sum of |dR|+|dG|+|dB| that counts as a visible difference

NAMES = ["%02d" % i for i in range(80)] + ["cover"]


def decode(data):
    """Parse one icon; returns a list of 32 rows of (r, g, b, a) tuples, top row
    first. Raises ValueError naming the first fault."""
    def need(cond, what):
        if not cond:
            raise ValueError(what)

    need(len(data) == FILE_SIZE, "size %d, expected %d" % (len(data), FILE_SIZE))
    reserved, kind, count = struct.unpack_from("<3H", data, 0)
    need((reserved, kind, count) == (0, 1, 1), "ICONDIR must say: icon, one image")
    w, h, colours, res, planes, bits, nbytes, offset = struct.unpack_from("<4B2H2I", data, 6)
    need((w, h) == (SIZE, SIZE), "directory entry is %dx%d" % (w, h))
    need(colours == 16 and res == 0, "directory entry colour count %d" % colours)
    need(nbytes == FILE_SIZE - 22 and offset == 22, "directory entry size/offset")
    (hsize, bw, bh, bplanes, bbits, compression,
     _img, _xppm, _yppm, used, _important) = struct.unpack_from("<3i2H6I", data, 22)
    need(hsize == 40, "BITMAPINFOHEADER size %d" % hsize)
    need((bw, bh) == (SIZE, 2 * SIZE), "bitmap is %dx%d, expected 32x64" % (bw, bh))
    need(bplanes == 1 and bbits == 4, "bitmap must be 1 plane, 4 bits")
    need(compression == 0, "bitmap must be uncompressed")
    need(used in (0, 16), "palette must have 16 entries")

    pal_at, xor_at = 62, 62 + 64
    and_at = xor_at + SIZE * SIZE // 2
    palette = [tuple(data[pal_at + 4 * i + 2 - c] for c in range(3)) for i in range(16)]
    need(palette[0] == (0, 0, 0), "palette entry 0 must be black")

    rows = []
    for y in range(SIZE):
        src = SIZE - 1 - y                              # bitmaps are stored bottom-up
        xrow = data[xor_at + src * 16: xor_at + src * 16 + 16]
        mrow = struct.unpack_from(">I", data, and_at + src * 4)[0]
        row = []
        for x in range(SIZE):
            index = (xrow[x // 2] >> (4 if x % 2 == 0 else 0)) & 15
            transparent = (mrow >> (SIZE - 1 - x)) & 1
            if transparent:
                need(index == 0, "transparent pixel (%d,%d) is not black" % (x, y))
                row.append((0, 0, 0, 0))
            else:
                row.append(palette[index] + (255,))
        rows.append(row)
    need(any(p[3] == 0 for r in rows for p in r), "no transparent pixels")
    need(sum(p[3] == 255 for r in rows for p in r) >= SIZE * SIZE // 8,
         "too few opaque pixels")
    return rows


def differing_pixels(a, b):
    """Pixels that look different on the black board (transparent = black)."""
    n = 0
    for ra, rb in zip(a, b):
        for pa, pb in zip(ra, rb):
            if sum(abs(pa[c] - pb[c]) for c in range(3)) >= VISIBLE_STEP or \
                    (pa[3] != pb[3] and max(pa[:3] + pb[:3]) > 16):
                n += 1
    return n


def check_with_qt(folder, decoded):
    from PyQt6.QtGui import QImage, QColor  # noqa: F401  (imported for Qt's plugins)
    faults = []
    for name in NAMES:
        img = QImage(os.path.join(folder, name + ".ico"))
        if img.isNull():
            faults.append("%s: Qt cannot load it" % name)
            continue
        if (img.width(), img.height()) != (SIZE, SIZE) or not img.hasAlphaChannel():
            faults.append("%s: Qt reads %dx%d, alpha %s" % (name, img.width(), img.height(),
                                                           img.hasAlphaChannel()))
            continue
        for y in range(SIZE):
            for x in range(SIZE):
                c = img.pixelColor(x, y)
                got = (c.red(), c.green(), c.blue(), c.alpha())
                want = decoded[name][y][x]
                if got[3] != want[3] or (want[3] and got[:3] != want[:3]):
                    faults.append("%s: Qt pixel (%d,%d) is %s, expected %s"
                                  % (name, x, y, got, want))
                    break
            else:
                continue
            break
    return faults


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description="Validate the picture library icons.")
    ap.add_argument("folder", nargs="?",
                    default=os.path.join(here, "..", "..", "assets", "pictures"))
    ap.add_argument("--qt", action="store_true", help="also load every file with Qt")
    args = ap.parse_args()

    faults = []
    decoded = {}
    for name in NAMES:
        path = os.path.join(args.folder, name + ".ico")
        try:
            with open(path, "rb") as f:
                decoded[name] = decode(f.read())
        except (OSError, ValueError) as e:
            faults.append("%s: %s" % (name, e))

    closest = None
    names = [n for n in NAMES if n in decoded]
    for i, a in enumerate(names):
        for b in names[i + 1:]:
            n = differing_pixels(decoded[a], decoded[b])
            if closest is None or n < closest[0]:
                closest = (n, a, b)
            if n < MIN_DIFFERENT:
                faults.append("%s and %s differ in only %d pixels" % (a, b, n))

    if args.qt and not faults:
        faults += check_with_qt(args.folder, decoded)

    for fault in faults:
        print("FAIL", fault)
    if closest:
        print("closest pair: %s and %s, %d differing pixels" % (closest[1], closest[2], closest[0]))
    print("%d icons checked, %d faults" % (len(NAMES), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
