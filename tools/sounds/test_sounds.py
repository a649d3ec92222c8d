#!/usr/bin/env python3
"""Check the game's sound files: names, WAV format and lengths.

Usage: test_sounds.py [SOUND_DIR]   (default: assets/sounds of this repo)
Prints one line per file and exits non-zero if any check fails.
"""

import os
import struct
import sys

# name -> longest allowed duration in seconds.  The mismatch complaints are
# played back to back (boing3 x3, cow x2, bleep x12, weird x3, ow x4) and
# the pictures stay in view meanwhile, so each group has to stay near 2 s.
MAX_SECONDS = dict(zip(
    "bdrum Thankyou ugh Horse ow bird coyote police pop cow carhorn proceed zhoop denied ooo "
    "boing3 crybaby whine bleep weird donkey over excellent win".split(),
    (1.0, 1.5, 1.0, 1.6, 0.5, 1.0, 1.6, 1.2, 0.25, 1.0, 1.0, 1.2, 0.3, 1.2, 1.2,
     0.65, 2.0, 2.0, 0.15, 0.65, 2.0, 2.0, 2.0, 2.0)))
MAX_SECONDS = {name + ".wav": secs for name, secs in MAX_SECONDS.items()}
GROUPS = [("boing3.wav", 3), ("crybaby.wav", 1), ("whine.wav", 1), ("cow.wav", 2),
          ("bleep.wav", 12), ("weird.wav", 3), ("donkey.wav", 1), ("ow.wav", 4)]
GROUP_MAX = 2.05
MIN_SECONDS = 0.05
RATES = (22050, 44100)


def read_wav(path):
    """Return (format tag, channels, rate, bits, seconds) of a RIFF WAV."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError("not a RIFF/WAVE file")
    pos, fmt, pcm = 12, None, None
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        if cid == b"fmt ":
            fmt = struct.unpack("<HHIIHH", data[pos + 8:pos + 24])
        elif cid == b"data":
            pcm = len(data[pos + 8:pos + 8 + size])
        pos += 8 + size + (size & 1)
    if fmt is None or pcm is None:
        raise ValueError("missing fmt or data chunk")
    tag, channels, rate, _, align, bits = fmt
    return tag, channels, rate, bits, pcm / align / rate


def check(sound_dir):
    problems, durations = [], {}
    present = set(os.listdir(sound_dir))
    for name, longest in MAX_SECONDS.items():
        try:
            tag, channels, rate, bits, secs = read_wav(os.path.join(sound_dir, name))
        except (OSError, ValueError, struct.error, ZeroDivisionError) as e:
            problems.append("%s: missing or unreadable (%s)" % (name, e))
            continue
        durations[name] = secs
        if (tag, bits) != (1, 16) or channels not in (1, 2) or rate not in RATES:
            problems.append("%s: format %d, %d bits, %d ch, %d Hz" % (name, tag, bits, channels, rate))
        if not MIN_SECONDS <= secs <= longest:
            problems.append("%s: %.3f s (want %.2f..%.2f)" % (name, secs, MIN_SECONDS, longest))
    problems += ["%s: not one of the game's sounds" % n for n in sorted(present)
                 if n.lower().endswith(".wav") and n not in MAX_SECONDS]
    for name, times in GROUPS:
        if durations.get(name, 0) * times > GROUP_MAX:
            problems.append("%s x%d lasts %.2f s (want <= %.2f)"
                            % (name, times, durations[name] * times, GROUP_MAX))
    return problems


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    sound_dir = argv[1] if len(argv) > 1 else os.path.join(here, "..", "..", "assets", "sounds")
    problems = check(sound_dir)
    for p in problems:
        print("problem:", p)
    print("%d problem(s)" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
