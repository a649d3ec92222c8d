#!/usr/bin/python3
"""Tests for the icon writer, the quantiser and the checker.

Run: /usr/bin/python3 -m unittest test_pictures   (in tools/pictures)
"""

import struct
import unittest

import numpy as np

import check_icons
import gen_pictures as gen


def sample_picture():
    """A picture using every palette entry, with a transparent corner."""
    pal = np.array([(0, 0, 0)] + [(16 * i, 255 - 16 * i, 7 * i) for i in range(1, 16)],
                   dtype=np.uint8)
    idx = np.fromfunction(lambda y, x: (x + 3 * y) % 15 + 1, (32, 32), dtype=int).astype(np.uint8)
    opaque = np.ones((32, 32), dtype=bool)
    opaque[:4, :5] = False
    idx[~opaque] = 0
    return pal, idx, opaque


class IconRoundTrip(unittest.TestCase):
    def test_written_icon_decodes_to_the_same_pixels(self):
        pal, idx, opaque = sample_picture()
        rows = check_icons.decode(gen.ico_bytes(pal, idx, opaque))
        want = gen.to_rgba(pal, idx, opaque)
        got = np.array(rows, dtype=np.uint8)
        # Row order (bottom-up storage), nibble order and mask bit order all
        # show up here: the corner must stay top-left.
        np.testing.assert_array_equal(got, want)
        self.assertEqual(got[0, 0, 3], 0)
        self.assertEqual(got[31, 31, 3], 255)

    def test_cover_is_valid_and_has_transparent_corners(self):
        pal, idx = gen.draw_cover()
        rows = check_icons.decode(gen.ico_bytes(pal, idx, idx != 0))
        for y, x in [(0, 0), (0, 31), (31, 0), (31, 31)]:
            self.assertEqual(rows[y][x][3], 0)
        self.assertGreater(len({p for r in rows for p in r}), 4)


class CheckerRejects(unittest.TestCase):
    def setUp(self):
        self.good = bytearray(gen.ico_bytes(*sample_picture()))

    def assertRejected(self, data, words):
        with self.assertRaises(ValueError) as ctx:
            check_icons.decode(bytes(data))
        self.assertIn(words, str(ctx.exception))

    def test_wrong_length(self):
        self.assertRejected(self.good + b"\0", "size")

    def test_single_height_bitmap(self):
        struct.pack_into("<i", self.good, 22 + 8, 32)
        self.assertRejected(self.good, "32x64")

    def test_other_bit_depth(self):
        struct.pack_into("<H", self.good, 22 + 14, 8)
        self.assertRejected(self.good, "4 bits")

    def test_transparent_pixel_that_is_not_black(self):
        # Top-left pixel lives in the last XOR row (bottom-up), high nibble.
        self.good[62 + 64 + 31 * 16] |= 0x50
        self.assertRejected(self.good, "not black")

    def test_fully_opaque_picture(self):
        pal, idx, opaque = sample_picture()
        opaque[:] = True
        idx[idx == 0] = 1
        self.assertRejected(gen.ico_bytes(pal, idx, opaque), "no transparent")

    def test_near_identical_pictures_are_counted_as_alike(self):
        pal, idx, opaque = sample_picture()
        a = check_icons.decode(gen.ico_bytes(pal, idx, opaque))
        idx2 = idx.copy()
        idx2[20, 20:25] = (idx2[20, 20:25] + 7) % 15 + 1
        b = check_icons.decode(gen.ico_bytes(pal, idx2, opaque))
        self.assertLessEqual(check_icons.differing_pixels(a, b), 5)
        self.assertEqual(check_icons.differing_pixels(a, a), 0)


class Quantiser(unittest.TestCase):
    def test_keeps_black_first_and_distinct_colours_exactly(self):
        colours = np.array([(255, 0, 0), (0, 255, 0), (0, 0, 255), (250, 250, 250)] * 10,
                           dtype=np.uint8)
        pal = gen.build_palette(colours)
        self.assertEqual(tuple(pal[0]), (0, 0, 0))
        found = {tuple(int(v) for v in c) for c in pal[1:]}
        for c in [(255, 0, 0), (0, 255, 0), (0, 0, 255), (250, 250, 250)]:
            self.assertTrue(any(sum(abs(a - b) for a, b in zip(c, f)) <= 3 for f in found), c)

    def test_many_colours_reduce_to_sixteen_deterministically(self):
        ramp = np.stack(np.meshgrid(np.arange(0, 256, 8), np.arange(0, 256, 8)), -1)
        rgb = np.concatenate([ramp, ramp[..., :1]], axis=-1).astype(np.uint8)
        opaque = np.ones((32, 32), dtype=bool)
        opaque[0, 0] = False
        pal1, idx1 = gen.quantise(rgb, opaque)
        pal2, idx2 = gen.quantise(rgb.copy(), opaque.copy())
        np.testing.assert_array_equal(pal1, pal2)
        np.testing.assert_array_equal(idx1, idx2)
        self.assertEqual(idx1[0, 0], 0)
        self.assertGreaterEqual(len(np.unique(idx1[opaque])), 12)

    def test_lab_conversion_round_trips(self):
        rgb = np.array([(0, 0, 0), (255, 255, 255), (12, 200, 99), (255, 128, 0)], dtype=np.uint8)
        np.testing.assert_array_equal(gen.lab_to_srgb(gen.srgb_to_lab(rgb)), rgb)


if __name__ == "__main__":
    unittest.main()
