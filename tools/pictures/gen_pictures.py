#!/usr/bin/python3
"""Generate the Duvella picture library: assets/pictures/00.ico .. 79.ico and cover.ico,
the pictures' names in assets/pictures/names.txt, and the application icon in
assets/icons/hicolor/<size>x<size>/apps/duvella.png.

The 80 numbered pictures are Twemoji artwork (CC-BY 4.0) taken from the npm
package twemoji-svg and turned into 32 x 32, 16-colour icons with a 1-bit mask:

  1. rsvg-convert renders the SVG at 512 x 512;
     (the clocks get wider hands first, see TWEAKS);
  2. the picture is cropped to its visible area, padded to a square and scaled
     smoothly (premultiplied alpha) so that its longer side is 32 pixels;
  3. a pixel is opaque when its alpha is at least 128, and its colour is the
     colour it shows over black (the board is black);
  4. the opaque colours are reduced to 15 colours plus black with k-means in
     CIELAB, seeded deterministically (most common colour, then farthest point);
  5. the result is written as a single-image .ico of 766 bytes.

The cover picture (the back of a playing card) is drawn here from scratch.

Every numbered picture is named after the subject of its artwork (the second
column of PICTURES); a screen reader says that name for an uncovered block.

The application icon is the artwork of the window icon (picture 24), rendered
by rsvg-convert straight at each size of ICON_SIZES, so that no size is an
enlarged copy of a smaller one.

Run with (Debian 12 packages):
  python3        3.11.2-1+b1
  python3-pil    9.4.0-1.1+deb12u1
  python3-numpy  1:1.24.2-1+deb12u1
  librsvg2-bin   2.54.7+dfsg-1~deb12u2   (rsvg-convert)
  npm package twemoji-svg 17.0.2, installed with `npm ci` beside this script.
The same versions give byte-identical output.

Usage: python3 gen_pictures.py [--sheet contact.png]
"""

import argparse
import io
import os
import re
import struct
import subprocess
import sys

import numpy as np
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SVG_DIR = os.path.join(HERE, "node_modules", "twemoji-svg", "dist")
ASSETS = os.path.normpath(os.path.join(HERE, "..", "..", "assets"))
OUT_DIR = os.path.join(ASSETS, "pictures")
ICON_DIR = os.path.join(ASSETS, "icons", "hicolor")
ICON_SIZES = (16, 32, 48, 64, 128, 256)
WINDOW_ICON = 24

SIZE = 32
RENDER = 512
COLOURS = 16  # index 0 is always black; transparent pixels use it too

# Picture number -> (Twemoji file name, subject). Number 24 is the window icon.
PICTURES = [
    ("2b50", "star"),                               # 00
    ("1f41e", "ladybird"),                          # 01
    ("1f41d", "honeybee"),                          # 02
    ("1f98b", "butterfly"),                         # 03
    ("1f40c", "snail"),                             # 04
    ("1f41b", "caterpillar"),                       # 05
    ("1f170", "letter A"),                          # 06
    ("1f171", "letter B"),                          # 07
    ("1f17e", "letter O"),                          # 08
    ("1f17f", "letter P"),                          # 09
    ("2139", "letter i (information)"),             # 10
    ("1f4d5", "red book"),                          # 11
    ("1f4d7", "green book"),                        # 12
    ("1f4d8", "blue book"),                         # 13
    ("1f4d6", "open book"),                         # 14
    ("1f4da", "pile of books"),                     # 15
    ("2697", "alembic"),                            # 16
    ("1f9ea", "test tube"),                         # 17
    ("1f52c", "microscope"),                        # 18
    ("1f9eb", "petri dish"),                        # 19
    ("1f321", "thermometer"),                       # 20
    ("269b", "atom"),                               # 21
    ("1f9ec", "DNA double helix"),                  # 22
    ("1f9f2", "magnet"),                            # 23
    ("1f600", "grinning face"),                     # 24
    ("1f604", "laughing face, smiling eyes"),       # 25
    ("1f60a", "smiling face, rosy cheeks"),         # 26
    ("1f642", "slightly smiling face"),             # 27
    ("1f609", "winking face"),                      # 28
    ("1f60d", "smiling face, heart eyes"),          # 29
    ("1f60e", "smiling face, sunglasses"),          # 30
    ("1f607", "smiling face, halo"),                # 31
    ("1f311", "new moon"),                          # 32
    ("1f312", "waxing crescent moon"),              # 33
    ("1f313", "first quarter moon"),                # 34
    ("1f315", "full moon"),                         # 35
    ("1f317", "last quarter moon"),                 # 36
    ("1f318", "waning crescent moon"),              # 37
    ("1f55b", "clock, twelve o'clock"),             # 38
    ("1f552", "clock, three o'clock"),              # 39
    ("1f555", "clock, six o'clock"),                # 40
    ("1f558", "clock, nine o'clock"),               # 41
    ("2600", "sun"),                                # 42
    ("2601", "cloud"),                              # 43
    ("26c5", "sun behind cloud"),                   # 44
    ("1f327", "rain cloud"),                        # 45
    ("26a1", "lightning"),                          # 46
    ("2744", "snowflake"),                          # 47
    ("1f308", "rainbow"),                           # 48
    ("2614", "umbrella in the rain"),               # 49
    ("1f511", "key"),                               # 50
    ("1f4a1", "light bulb"),                        # 51
    ("2702", "scissors"),                           # 52
    ("1f56f", "candle"),                            # 53
    ("260e", "telephone"),                          # 54
    ("1f514", "bell"),                              # 55
    ("1f9f9", "broom"),                             # 56
    ("1f4ce", "paper clip"),                        # 57
    ("1f50d", "magnifying glass"),                  # 58
    ("231b", "hourglass"),                          # 59
    ("1f34e", "red apple"),                         # 60
    ("1f34c", "banana"),                            # 61
    ("1f347", "grapes"),                            # 62
    ("1f353", "strawberry"),                        # 63
    ("1f352", "cherries"),                          # 64
    ("1f349", "watermelon slice"),                  # 65
    ("1f955", "carrot"),                            # 66
    ("1f34b", "lemon"),                             # 67
    ("1f9c0", "cheese"),                            # 68
    ("1f369", "doughnut"),                          # 69
    ("26a0", "warning sign"),                       # 70
    ("1f6ab", "prohibited sign"),                   # 71
    ("26d4", "no entry sign"),                      # 72
    ("2622", "radioactive sign"),                   # 73
    ("267b", "recycling sign"),                     # 74
    ("1f6d1", "stop sign"),                         # 75
    ("2764", "red heart"),                          # 76
    ("2705", "check mark"),                         # 77
    ("2753", "question mark"),                      # 78
    ("2615", "hot drink"),                          # 79
]
assert len(PICTURES) == 80


# ---------------------------------------------------------------- colour space

def srgb_to_lab(rgb):
    """rgb: (..., 3) array of 0..255 values -> CIELAB (D65)."""
    c = np.asarray(rgb, dtype=np.float64) / 255.0
    lin = np.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4)
    m = np.array([[0.4124564, 0.3575761, 0.1804375],
                  [0.2126729, 0.7151522, 0.0721750],
                  [0.0193339, 0.1191920, 0.9503041]])
    xyz = lin @ m.T / np.array([0.95047, 1.0, 1.08883])
    eps = 216 / 24389
    f = np.where(xyz > eps, np.cbrt(xyz), (24389 / 27 * xyz + 16) / 116)
    return np.stack([116 * f[..., 1] - 16,
                     500 * (f[..., 0] - f[..., 1]),
                     200 * (f[..., 1] - f[..., 2])], axis=-1)


def lab_to_srgb(lab):
    lab = np.asarray(lab, dtype=np.float64)
    fy = (lab[..., 0] + 16) / 116
    fx = fy + lab[..., 1] / 500
    fz = fy - lab[..., 2] / 200
    f = np.stack([fx, fy, fz], axis=-1)
    eps = 6 / 29
    xyz = np.where(f > eps, f ** 3, 3 * eps * eps * (f - 4 / 29))
    xyz = xyz * np.array([0.95047, 1.0, 1.08883])
    m = np.array([[3.2404542, -1.5371385, -0.4985314],
                  [-0.9692660, 1.8760108, 0.0415560],
                  [0.0556434, -0.2040259, 1.0572252]])
    lin = np.clip(xyz @ m.T, 0.0, 1.0)
    c = np.where(lin <= 0.0031308, 12.92 * lin,
                 1.055 * lin ** (1 / 2.4) - 0.055)
    return np.clip(np.round(c * 255), 0, 255).astype(np.uint8)


# ---------------------------------------------------------------- quantiser

def build_palette(colours, k=COLOURS - 1, iterations=40):
    """Pick k colours (plus fixed black) for the given (n, 3) uint8 colours.

    K-means in CIELAB, weighted by how often each distinct colour occurs.
    Seeding is deterministic: the most common colour first, then repeatedly
    the colour farthest from every centre chosen so far (black counts as a
    centre from the start, so near-black pixels do not waste a slot).
    Returns a (16, 3) uint8 palette whose entry 0 is black.
    """
    uniq, counts = np.unique(colours.reshape(-1, 3), axis=0, return_counts=True)
    lab = srgb_to_lab(uniq)
    weights = counts.astype(np.float64)
    black = srgb_to_lab(np.zeros(3))

    if len(uniq) <= k:
        centres = lab.copy()
    else:
        first = int(np.argmax(counts))
        centres = [lab[first]]
        dist = np.minimum(np.sum((lab - black) ** 2, axis=1),
                          np.sum((lab - lab[first]) ** 2, axis=1))
        while len(centres) < k:
            nxt = int(np.argmax(dist))
            if dist[nxt] <= 0:
                break
            centres.append(lab[nxt])
            dist = np.minimum(dist, np.sum((lab - lab[nxt]) ** 2, axis=1))
        centres = np.array(centres)
        for _ in range(iterations):
            allc = np.vstack([black[None, :], centres])
            d = np.sum((lab[:, None, :] - allc[None, :, :]) ** 2, axis=2)
            label = np.argmin(d, axis=1)
            moved = centres.copy()
            for j in range(len(centres)):
                sel = label == j + 1
                if np.any(sel):
                    w = weights[sel]
                    moved[j] = (lab[sel] * w[:, None]).sum(axis=0) / w.sum()
            if np.allclose(moved, centres, atol=1e-9):
                break
            centres = moved

    pal = np.zeros((COLOURS, 3), dtype=np.uint8)
    rgb = lab_to_srgb(centres)
    # Sort the colours by lightness so the palette order does not depend on
    # seeding order quirks; duplicates (possible after rounding) are harmless.
    order = np.lexsort((rgb[:, 2], rgb[:, 1], rgb[:, 0], srgb_to_lab(rgb)[:, 0]))
    pal[1:1 + len(rgb)] = rgb[order]
    return pal


def quantise(rgb, opaque):
    """rgb: (32, 32, 3) uint8 colours over black; opaque: (32, 32) bool.

    Returns (palette (16, 3) uint8, indices (32, 32) uint8). Transparent
    pixels get index 0 (black)."""
    pal = build_palette(rgb[opaque])
    pal_lab = srgb_to_lab(pal)
    d = np.sum((srgb_to_lab(rgb)[:, :, None, :] - pal_lab[None, None]) ** 2, axis=3)
    idx = np.argmin(d, axis=2).astype(np.uint8)
    idx[~opaque] = 0
    return pal, idx


# ---------------------------------------------------------------- artwork

def thicker_clock_hands(svg):
    """The hands are under two pixels wide at 32 x 32; widen them so that
    clocks showing different times stay easy to tell apart."""
    return re.sub(r'<path fill="(#6[67]757F)"',
                  r'<path fill="\1" stroke="\1" stroke-width="1.5" stroke-linecap="round"',
                  svg)


# Changes made to individual artworks before rendering.
TWEAKS = {code: thicker_clock_hands for code in ("1f55b", "1f552", "1f555", "1f558")}


def render_png(code, size):
    """The artwork as PNG bytes, size x size pixels."""
    with open(os.path.join(SVG_DIR, code + ".svg"), encoding="utf-8") as f:
        svg = f.read()
    if code in TWEAKS:
        svg = TWEAKS[code](svg)
    return subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size)],
                          input=svg.encode("utf-8"), check=True,
                          capture_output=True).stdout


def render_svg(code):
    return Image.open(io.BytesIO(render_png(code, RENDER))).convert("RGBA")


def names_text():
    """One line per numbered picture: its number, a blank, its name."""
    return "".join("%02d %s\n" % (n, subject) for n, (_code, subject) in enumerate(PICTURES))


def write_app_icons(icon_dir):
    code = PICTURES[WINDOW_ICON][0]
    for size in ICON_SIZES:
        folder = os.path.join(icon_dir, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "duvella.png"), "wb") as f:
            f.write(render_png(code, size))


def shrink(img):
    """Crop to the visible area, centre in a square, scale to 32 x 32.

    Returns (rgb over black (32, 32, 3) uint8, opaque mask (32, 32) bool)."""
    box = img.getchannel("A").point(lambda a: 255 if a >= 8 else 0).getbbox()
    img = img.crop(box)
    w, h = img.size
    side = max(w, h)
    square = Image.new("RGBA", (side, side), (0, 0, 0, 0))
    square.paste(img, ((side - w) // 2, (side - h) // 2))
    # Premultiplied scaling keeps transparent black from bleeding into edges;
    # the premultiplied colour is also exactly the colour seen over black.
    small = square.convert("RGBa").resize((SIZE, SIZE), Image.LANCZOS)
    a = np.asarray(small, dtype=np.uint8)
    return a[:, :, :3].copy(), a[:, :, 3] >= 128


def draw_cover():
    """The back of a playing card: white frame, red lattice on blue."""
    pal = np.array([
        (0, 0, 0),         # 0 black / transparent
        (16, 32, 96),      # 1 dark blue edge
        (240, 240, 240),   # 2 white frame
        (32, 72, 176),     # 3 blue field
        (200, 32, 40),     # 4 red lattice
        (255, 208, 64),    # 5 gold knots
        (96, 144, 232),    # 6 light blue inner line
    ] + [(0, 0, 0)] * 9, dtype=np.uint8)
    idx = np.zeros((SIZE, SIZE), dtype=np.uint8)
    opaque = np.ones((SIZE, SIZE), dtype=bool)
    # Rounded corners.
    for y, x in [(0, 0), (0, 1), (1, 0)]:
        for yy, xx in [(y, x), (y, SIZE - 1 - x), (SIZE - 1 - y, x),
                       (SIZE - 1 - y, SIZE - 1 - x)]:
            opaque[yy, xx] = False
    for y in range(SIZE):
        for x in range(SIZE):
            ring = min(x, y, SIZE - 1 - x, SIZE - 1 - y)
            if ring == 0 or (ring == 1 and min(x, SIZE - 1 - x) + min(y, SIZE - 1 - y) <= 3):
                c = 1
            elif ring <= 2:
                c = 2
            elif ring == 3:
                c = 6
            else:
                # Diagonal lattice with a 6-pixel pitch, knots where lines cross.
                u, v = (x + y) % 6, (x - y) % 6
                if u == 1 and v == 1:
                    c = 5
                elif u == 1 or v == 1:
                    c = 4
                else:
                    c = 3
            idx[y, x] = c
    idx[~opaque] = 0
    return pal, idx


# ---------------------------------------------------------------- .ico writer

def ico_bytes(pal, idx, opaque):
    """Single 32 x 32 4-bit image with AND mask: 766 bytes."""
    xor_size = SIZE * SIZE // 2
    and_size = SIZE * 4
    header = struct.pack("<3H", 0, 1, 1)
    entry = struct.pack("<4B2H2I", SIZE, SIZE, 16, 0, 1, 4,
                        40 + 64 + xor_size + and_size, 22)
    info = struct.pack("<3i2H6I", 40, SIZE, SIZE * 2, 1, 4, 0,
                       xor_size + and_size, 0, 0, 0, 0)
    quads = b"".join(struct.pack("4B", int(b), int(g), int(r), 0) for r, g, b in pal)
    xor = bytearray()
    mask = bytearray()
    for y in range(SIZE - 1, -1, -1):
        row = idx[y]
        xor += bytes((int(row[x]) << 4) | int(row[x + 1]) for x in range(0, SIZE, 2))
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (0 if opaque[y, x] else 1)
        mask += struct.pack(">I", bits)
    data = header + entry + info + quads + bytes(xor) + bytes(mask)
    assert len(data) == 766
    return data


def to_rgba(pal, idx, opaque):
    rgba = np.zeros((SIZE, SIZE, 4), dtype=np.uint8)
    rgba[:, :, :3] = pal[idx]
    rgba[:, :, 3] = np.where(opaque, 255, 0)
    return rgba


def contact_sheet(images, path, cell=48):
    """All pictures scaled to cell x cell (pixel repeat) on black, numbered."""
    cols = 10
    rows = (len(images) + cols - 1) // cols
    pad = 14
    sheet = Image.new("RGB", (cols * (cell + 8), rows * (cell + pad + 6)), (0, 0, 0))
    draw = ImageDraw.Draw(sheet)
    for i, (name, rgba) in enumerate(images):
        im = Image.fromarray(rgba, "RGBA").resize((cell, cell), Image.NEAREST)
        x = (i % cols) * (cell + 8) + 4
        y = (i // cols) * (cell + pad + 6) + pad
        sheet.paste(im, (x, y), im)
        draw.text((x, y - pad + 2), name, fill=(160, 160, 160))
    sheet.save(path)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--sheet", help="also write a contact sheet PNG here")
    ap.add_argument("--out", default=OUT_DIR, help="output folder")
    ap.add_argument("--icons", default=ICON_DIR, help="output folder of the application icon")
    args = ap.parse_args()

    if not os.path.isdir(SVG_DIR):
        sys.exit("twemoji-svg not found: run `npm ci` in " + HERE)
    os.makedirs(args.out, exist_ok=True)
    shown = []
    for number, (code, _subject) in enumerate(PICTURES):
        rgb, opaque = shrink(render_svg(code))
        pal, idx = quantise(rgb, opaque)
        name = "%02d" % number
        with open(os.path.join(args.out, name + ".ico"), "wb") as f:
            f.write(ico_bytes(pal, idx, opaque))
        shown.append((name, to_rgba(pal, idx, opaque)))
    pal, idx = draw_cover()
    opaque = idx != 0
    with open(os.path.join(args.out, "cover.ico"), "wb") as f:
        f.write(ico_bytes(pal, idx, opaque))
    shown.append(("cover", to_rgba(pal, idx, opaque)))
    with open(os.path.join(args.out, "names.txt"), "w", encoding="utf-8") as f:
        f.write(names_text())
    write_app_icons(args.icons)
    if args.sheet:
        contact_sheet(shown, args.sheet)


if __name__ == "__main__":
    main()
