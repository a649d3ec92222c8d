#!/usr/bin/env python3
"""Generate the game's 24 WAV sound effects.

Every sound is made here from nothing: the effects and animal calls by a
small source-filter synthesiser written in plain Python (harmonic oscillator
with a pitch contour, noise, formant band-pass filters, envelopes), the
voices by the espeak-ng speech synthesizer, and a few touches (pitch bends,
overdrive, echo) by sox.  Every random number comes from a fixed seed and
sox runs with -R, so a rerun writes byte-identical files.

Output: 22050 Hz, mono, 16-bit PCM, trimmed at both ends, peak at -1 dBFS.

Usage: make_sounds.py [OUTPUT_DIR]   (default: assets/sounds of this repo)
"""

import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 22050
TWO_PI = 2.0 * math.pi
PEAK_DBFS = -1.0
TRIM_DB = -38.0  # trim the ends quieter than this, relative to the peak

TMP = tempfile.mkdtemp(prefix="duvella-sounds-")


# ---------------------------------------------------------------- basics

def samples(dur):
    return int(round(dur * RATE))


def curve(points):
    """Piecewise-linear function of time through (t, value) points."""
    pts = sorted(points)

    def f(t):
        if t <= pts[0][0]:
            return pts[0][1]
        for (t0, v0), (t1, v1) in zip(pts, pts[1:]):
            if t <= t1:
                return v0 + (v1 - v0) * (t - t0) / (t1 - t0)
        return pts[-1][1]

    return f


def const_or_curve(v):
    return v if callable(v) else (lambda t, v=v: v)


def silence(dur):
    return [0.0] * samples(dur)


def concat(*parts):
    out = []
    for p in parts:
        out.extend(p)
    return out


def mix(*parts, at=None):
    """Sum signals; at gives each part's start time in seconds."""
    at = at or [0.0] * len(parts)
    length = max(samples(a) + len(p) for p, a in zip(parts, at))
    out = [0.0] * length
    for p, a in zip(parts, at):
        o = samples(a)
        for i, v in enumerate(p):
            out[o + i] += v
    return out


def gain(x, g):
    return [v * g for v in x]


def envelope(x, points):
    e = curve(points)
    return [v * e(i / RATE) for i, v in enumerate(x)]


def exp_decay(x, tau, attack=0.002):
    out = []
    for i, v in enumerate(x):
        t = i / RATE
        a = min(1.0, t / attack) if attack > 0 else 1.0
        out.append(v * a * math.exp(-t / tau))
    return out


def saturate(x, drive):
    return [math.tanh(drive * v) / math.tanh(drive) for v in x]


def normalised(x, peak=1.0):
    m = max(abs(v) for v in x) or 1.0
    return [v * peak / m for v in x]


# ---------------------------------------------------------------- sources

def harmonic(dur, f0, tilt=1.0, odd_only=False, vib_rate=0.0, vib_depth=0.0,
             jitter=0.0, seed=1, max_freq=9500.0, max_harm=60):
    """Band-limited harmonic tone.

    f0 is a number or a function of time (Hz); harmonic k has amplitude
    k**-tilt.  vib_depth (a number or function of time) is the vibrato's
    relative depth; jitter adds a slowly wandering random pitch error of
    that relative size, which makes animal calls rough.
    """
    f0 = const_or_curve(f0)
    vib_depth = const_or_curve(vib_depth)
    amps = [0.0] + [(0.0 if odd_only and k % 2 == 0 else k ** -tilt)
                    for k in range(1, max_harm + 1)]
    step = 2.0 if odd_only else 1.0  # distance to the next harmonic present
    rng = random.Random(seed)
    wander = 0.0
    phase = 0.0
    vphase = 0.0
    out = []
    for i in range(samples(dur)):
        t = i / RATE
        wander += (rng.uniform(-1.0, 1.0) - wander) * 0.02
        f = f0(t) * (1.0 + vib_depth(t) * math.sin(vphase) + jitter * wander)
        vphase += TWO_PI * vib_rate / RATE
        phase = (phase + TWO_PI * f / RATE) % TWO_PI
        # Harmonics near max_freq fade in and out with the pitch, so none
        # ever switches on or off with a click.
        ratio = max_freq / max(f, 1.0)
        kmax = max(1, min(max_harm, int(ratio)))
        s1 = math.sin(phase)
        c2 = 2.0 * math.cos(phase)
        prev, cur = 0.0, s1
        acc = amps[1] * s1
        for k in range(2, kmax + 1):
            prev, cur = cur, c2 * cur - prev
            w = ratio - k
            acc += amps[k] * cur * (1.0 if w >= step else w / step)
        out.append(acc)
    return normalised(out)


def noise(dur, seed=7):
    rng = random.Random(seed)
    return [rng.uniform(-1.0, 1.0) for _ in range(samples(dur))]


# ---------------------------------------------------------------- filters

def bandpass(x, freq, bw, step=16):
    """Band-pass (0 dB peak) with a centre frequency that may move in time."""
    freq = const_or_curve(freq)
    bw = const_or_curve(bw)
    out = []
    x1 = x2 = y1 = y2 = 0.0
    b0 = a1 = a2 = 0.0
    for i, v in enumerate(x):
        if i % step == 0:
            t = i / RATE
            f = min(max(freq(t), 20.0), RATE * 0.45)
            w0 = TWO_PI * f / RATE
            q = max(f / max(bw(t), 1.0), 0.3)
            alpha = math.sin(w0) / (2.0 * q)
            norm = 1.0 + alpha
            b0 = alpha / norm
            a1 = -2.0 * math.cos(w0) / norm
            a2 = (1.0 - alpha) / norm
        y = b0 * (v - x2) - a1 * y1 - a2 * y2
        x2, x1 = x1, v
        y2, y1 = y1, y
        out.append(y)
    return out


def formants(x, bands):
    """Parallel formant bank: bands is a list of (freq, bandwidth, gain)."""
    return mix(*[gain(bandpass(x, f, b), g) for f, b, g in bands])


def lowpass(x, cutoff):
    a = math.exp(-TWO_PI * cutoff / RATE)
    y = 0.0
    out = []
    for v in x:
        y = (1.0 - a) * v + a * y
        out.append(y)
    return out


# ---------------------------------------------------------------- tools

def _write_raw(path, x):
    with open(path, "wb") as f:
        f.write(struct.pack("<%df" % len(x), *x))


def _read_raw(path):
    with open(path, "rb") as f:
        data = f.read()
    return list(struct.unpack("<%df" % (len(data) // 4), data))


RAW = ["-t", "f32", "-r", str(RATE), "-c", "1"]


def sox(x, *effects):
    """Run sox effects on a signal (with -R, so the result is repeatable)."""
    src = os.path.join(TMP, "in.f32")
    dst = os.path.join(TMP, "out.f32")
    _write_raw(src, normalised(x, 0.25))  # headroom: sox clips at full scale
    subprocess.run(["sox", "-R", "-D"] + RAW + [src] + RAW + [dst]
                   + [str(e) for e in effects], check=True)
    return _read_raw(dst)


def speak(text, voice="en-us", speed=150, pitch=50, *effects):
    """Speech from espeak-ng, as a float signal at RATE."""
    wav = os.path.join(TMP, "speech.wav")
    dst = os.path.join(TMP, "speech.f32")
    cmd = ["espeak-ng", "-v", voice, "-s", str(speed), "-p", str(pitch),
           "-w", wav]
    subprocess.run(cmd + [text], check=True)
    subprocess.run(["sox", "-R", "-D", wav] + RAW + [dst, "rate", "-v",
                   str(RATE)] + [str(e) for e in effects], check=True)
    return _read_raw(dst)


def trimmed(x, threshold_db=TRIM_DB, keep=0.001):
    m = max(abs(v) for v in x)
    th = m * 10 ** (threshold_db / 20.0)
    first = next(i for i, v in enumerate(x) if abs(v) > th)
    last = len(x) - next(i for i, v in enumerate(reversed(x)) if abs(v) > th)
    return x[max(0, first - samples(keep)):min(len(x), last + samples(keep))]


def finish(x, fade_in=0.0015, fade_out=0.008):
    """Trim, fade the very ends, normalise to PEAK_DBFS; 16-bit ints."""
    x = trimmed(x)
    n_in, n_out = samples(fade_in), samples(fade_out)
    x = list(x)
    for i in range(min(n_in, len(x))):
        x[i] *= i / n_in
    for i in range(min(n_out, len(x))):
        x[-1 - i] *= i / n_out
    peak = 10 ** (PEAK_DBFS / 20.0) * 32767.0
    m = max(abs(v) for v in x)
    return [int(round(v * peak / m)) for v in x]


def write_wav(path, ints):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%dh" % len(ints), *ints))


# ---------------------------------------------------------------- effects

def bdrum():
    dur = 0.42
    f = lambda t: 48.0 + 110.0 * math.exp(-t / 0.035)
    body = exp_decay(harmonic(dur, f, tilt=3.0, max_harm=3), 0.13, 0.001)
    click = exp_decay(lowpass(noise(dur, seed=11), 3000), 0.006, 0.0005)
    return saturate(mix(body, gain(click, 0.35)), 2.5)


def pop():
    dur = 0.09
    f = curve([(0.0, 380.0), (0.025, 1300.0), (0.09, 1500.0)])
    tone = exp_decay(harmonic(dur, f, tilt=2.5, max_harm=4), 0.014, 0.001)
    click = exp_decay(bandpass(noise(dur, seed=3), 1800, 1500), 0.004, 0.0003)
    return mix(tone, gain(click, 0.6))


def bleep():
    dur = 0.11
    tone = harmonic(dur, 1320.0, tilt=1.6, odd_only=True, max_harm=7)
    return envelope(tone, [(0, 0), (0.004, 1), (0.085, 0.8), (dur, 0)])


def zhoop():
    dur = 0.26
    sweep = curve([(0, 350.0), (0.17, 2600.0), (dur, 3200.0)])
    air = bandpass(noise(dur, seed=5), sweep, 500)
    glide = harmonic(dur, curve([(0, 180.0), (0.2, 700.0), (dur, 820.0)]),
                     tilt=1.8, max_harm=8)
    sig = mix(gain(air, 1.6), gain(glide, 0.35))
    return envelope(sig, [(0, 0), (0.15, 1.0), (0.2, 0.8), (dur, 0)])


def boing3():
    dur = 0.6
    glide = curve([(0, 110.0), (0.05, 235.0), (dur, 260.0)])
    wobble = lambda t: 0.28 * math.exp(-t / 0.22)
    tone = harmonic(dur, glide, tilt=1.6, vib_rate=13.0, vib_depth=wobble,
                    max_harm=12)
    tone = formants(tone, [(900, 700, 1.0), (350, 300, 0.8)])
    return exp_decay(tone, 0.22, 0.004)


def weird():
    dur = 0.6
    f = lambda t: 520 + 260 * math.sin(TWO_PI * 2.5 * t) \
        + 180 * math.sin(TWO_PI * 21.0 * t)
    tone = harmonic(dur, f, tilt=2.2, max_harm=6)
    ring = [v * math.sin(TWO_PI * 173.0 * i / RATE) for i, v in enumerate(tone)]
    sig = envelope(mix(gain(tone, 0.6), ring), [(0, 0), (0.03, 1), (0.5, 0.9), (dur, 0)])
    return sox(sig, "echo", 0.8, 0.7, 45, 0.35)


def police():
    dur = 1.0
    f = curve([(0, 640.0), (0.55, 1480.0), (dur, 660.0)])
    tone = harmonic(dur, f, tilt=1.3, odd_only=True, max_harm=9)
    tone = lowpass(tone, 4000)
    return envelope(tone, [(0, 0), (0.015, 1), (0.97, 1), (dur, 0)])


def carhorn():
    dur = 0.55
    lo = harmonic(dur, 392.0, tilt=0.9, max_harm=24, vib_rate=31, vib_depth=0.004)
    hi = harmonic(dur, 494.0, tilt=0.9, max_harm=20, vib_rate=37, vib_depth=0.004,
                  seed=2)
    sig = saturate(mix(lo, hi), 3.0)
    sig = formants(sig, [(500, 400, 1.0), (1600, 900, 0.7), (2800, 1200, 0.3)])
    return envelope(sig, [(0, 0), (0.012, 1), (0.5, 0.95), (dur, 0)])


def cow():
    dur = 0.95
    f0 = curve([(0, 112.0), (0.25, 138.0), (0.6, 128.0), (dur, 96.0)])
    src = harmonic(dur, f0, tilt=0.9, vib_rate=5.5, vib_depth=0.012,
                   jitter=0.03, seed=21, max_freq=5000)
    # "m": a closed mouth lets through little but the first resonance,
    # then the jaw opens to a dark "oo-ah" and closes again.
    f1 = curve([(0, 260.0), (0.16, 300.0), (0.4, 620.0), (0.75, 520.0), (dur, 350.0)])
    f2 = curve([(0, 700.0), (0.16, 760.0), (0.4, 1050.0), (0.75, 900.0), (dur, 750.0)])
    open_ = curve([(0, 0.08), (0.16, 0.12), (0.3, 1.0), (0.8, 0.8), (dur, 0.3)])
    nasal = gain(bandpass(src, 250, 120), 1.0)
    vowel = formants(src, [(f1, 140, 1.0), (f2, 180, 0.7), (2400, 300, 0.12)])
    vowel = [v * open_(i / RATE) for i, v in enumerate(vowel)]
    breath = gain(bandpass(noise(dur, seed=22), 900, 800), 0.06)
    sig = mix(nasal, gain(vowel, 1.5), breath)
    return envelope(sig, [(0, 0), (0.08, 0.8), (0.3, 1.0), (0.8, 0.85), (dur, 0)])


def _hee(dur, seed):
    f0 = curve([(0, 700.0), (dur * 0.4, 960.0), (dur, 880.0)])
    src = harmonic(dur, f0, tilt=0.7, jitter=0.06, seed=seed, max_freq=9000)
    rough = [v * (1.0 + 0.6 * math.sin(TWO_PI * 55 * i / RATE)) for i, v in enumerate(src)]
    voiced = formants(rough, [(1000, 300, 0.8), (2400, 500, 1.0), (3300, 700, 0.5)])
    air = formants(noise(dur, seed=seed + 1), [(2500, 1200, 1.0), (5000, 2000, 0.5)])
    sig = mix(gain(voiced, 0.8), gain(air, 0.7))
    return envelope(sig, [(0, 0), (0.05, 1), (dur * 0.8, 0.9), (dur, 0)])


def _haw(dur, seed):
    f0 = curve([(0, 330.0), (0.1, 300.0), (dur, 230.0)])
    src = harmonic(dur, f0, tilt=0.6, jitter=0.08, seed=seed, max_freq=7000)
    rough = [v * (1.0 + 0.7 * math.sin(TWO_PI * f0(i / RATE) / 2 * i / RATE))
             for i, v in enumerate(src)]  # subharmonic growl
    sig = formants(rough, [(750, 200, 1.0), (1200, 250, 0.8), (2600, 400, 0.35)])
    return envelope(saturate(normalised(sig), 2.0),
                    [(0, 0), (0.03, 1), (dur * 0.7, 0.9), (dur, 0)])


def donkey():
    parts = [_hee(0.3, 31), _haw(0.42, 33), _hee(0.28, 35), _haw(0.5, 37)]
    gap = silence(0.04)
    return concat(parts[0], gap, parts[1], gap, parts[2], gap, parts[3])


def horse():
    dur = 1.25
    f0 = curve([(0, 520.0), (0.08, 1050.0), (0.35, 950.0), (0.9, 620.0), (dur, 430.0)])
    depth = curve([(0, 0.02), (0.2, 0.07), (0.9, 0.12), (dur, 0.14)])
    src = harmonic(dur, f0, tilt=0.8, vib_rate=14.0, vib_depth=depth,
                   jitter=0.04, seed=41, max_freq=8000)
    trill = [v * (0.6 + 0.4 * math.sin(TWO_PI * 14.0 * i / RATE)) for i, v in enumerate(src)]
    voiced = formants(trill, [(1100, 500, 1.0), (2300, 600, 0.6), (3400, 800, 0.3)])
    voiced = envelope(voiced, [(0, 0), (0.05, 1), (0.9, 0.8), (dur, 0)])
    snort = bandpass(noise(0.22, seed=43), 700, 900)
    snort = envelope(snort, [(0, 0), (0.02, 1), (0.08, 0.6), (0.22, 0)])
    breath = gain(bandpass(noise(dur, seed=42), 3000, 2500), 0.08)
    return mix(voiced, breath, gain(snort, 0.7), at=[0, 0, dur + 0.02])


def bird():
    def chirp(seed, top):
        d = 0.075
        f = curve([(0, top * 0.6), (0.012, top), (d, top * 0.55)])
        tone = harmonic(d, f, tilt=3.0, max_harm=2, vib_rate=45, vib_depth=0.03,
                        seed=seed)
        return envelope(tone, [(0, 0), (0.008, 1), (0.05, 0.7), (d, 0)])

    gap = silence(0.045)
    return concat(chirp(1, 4800), gap, chirp(2, 5200), gap, chirp(3, 4600),
                  silence(0.02), chirp(4, 5600))


def coyote():
    dur = 1.3
    f0 = curve([(0, 380.0), (0.3, 880.0), (0.8, 830.0), (1.1, 640.0), (dur, 470.0)])
    depth = curve([(0, 0.0), (0.35, 0.01), (0.8, 0.03), (dur, 0.035)])
    src = harmonic(dur, f0, tilt=2.0, vib_rate=6.0, vib_depth=depth, jitter=0.01,
                   seed=51, max_freq=6000)
    f1 = curve([(0, 500.0), (0.3, 900.0), (1.0, 800.0), (dur, 500.0)])
    sig = mix(formants(src, [(f1, 400, 1.0), (1800, 600, 0.3)]), gain(src, 0.3))
    sig = envelope(sig, [(0, 0), (0.1, 0.6), (0.3, 1.0), (1.05, 0.8), (dur, 0)])
    return sox(sig, "reverb", 30, 50, 60, "gain", -3)


def crybaby():
    def wail(dur, seed, peak):
        f0 = curve([(0, 380.0), (0.12, peak), (dur * 0.6, peak * 0.95), (dur, 360.0)])
        src = harmonic(dur, f0, tilt=0.9, vib_rate=7.0, vib_depth=0.02, jitter=0.05,
                       seed=seed, max_freq=9000)
        f1 = curve([(0, 450.0), (0.12, 1150.0), (dur * 0.8, 1050.0), (dur, 700.0)])
        f2 = curve([(0, 1000.0), (0.12, 1900.0), (dur, 1700.0)])
        sig = formants(src, [(f1, 250, 1.0), (f2, 350, 0.7), (3600, 600, 0.3)])
        return envelope(sig, [(0, 0), (0.06, 0.7), (0.15, 1.0), (dur * 0.85, 0.8), (dur, 0)])

    gasp = envelope(bandpass(noise(0.12, seed=63), 2500, 2000),
                    [(0, 0), (0.06, 1), (0.12, 0)])
    return concat(wail(0.55, 61, 560.0), silence(0.05), gain(gasp, 0.12),
                  silence(0.03), wail(0.75, 62, 610.0))


def whine():
    def one(dur, seed, top):
        f0 = curve([(0, top * 0.75), (dur * 0.35, top), (dur, top * 0.7)])
        src = harmonic(dur, f0, tilt=2.2, vib_rate=9.0, vib_depth=0.02, jitter=0.02,
                       seed=seed, max_harm=6)
        src = formants(src, [(1300, 700, 1.0), (2600, 900, 0.4)])
        return envelope(src, [(0, 0), (0.06, 1), (dur * 0.7, 0.8), (dur, 0)])

    return concat(one(0.45, 71, 1250.0), silence(0.06), one(0.6, 72, 1380.0))


def win():
    def note(freq, dur, seed, vib=0.0):
        t = harmonic(dur, freq, tilt=1.1, vib_rate=5.5, vib_depth=vib, seed=seed,
                     max_freq=7000)
        t = formants(t, [(1200, 1400, 1.0), (2600, 1500, 0.4)])
        return envelope(t, [(0, 0), (0.015, 1), (dur * 0.7, 0.85), (dur, 0)])

    c5, e5, g5, c6 = 523.25, 659.25, 783.99, 1046.5
    run = concat(note(c5, 0.11, 1), note(e5, 0.11, 2), note(g5, 0.11, 3),
                 note(c6, 0.16, 4), note(g5, 0.11, 5))
    chord = mix(note(c6, 0.7, 6, 0.006), gain(note(g5, 0.7, 7, 0.006), 0.6),
                gain(note(e5, 0.7, 8, 0.006), 0.5), gain(note(c5, 0.7, 9), 0.4))
    sig = concat(run, chord)
    return sox(sig, "reverb", 25, 50, 40)


def over_tones():
    notes = [392.0, 370.0, 349.2, 329.6]
    out = []
    for i, f in enumerate(notes):
        d = 0.16 if i < 3 else 0.36
        t = harmonic(d, curve([(0, f), (d, f * (0.94 if i == 3 else 1.0))]),
                     tilt=1.2, vib_rate=6.0, vib_depth=0.012 if i == 3 else 0.0,
                     seed=80 + i, max_freq=5000)
        t = formants(t, [(700, 600, 1.0), (1400, 800, 0.4)])
        out += envelope(t, [(0, 0), (0.01, 1), (d * 0.8, 0.8), (d, 0)])
    return out


# ---------------------------------------------------------------- voices

def v_thankyou():
    return speak("Thank you!", "en-us", 150, 55)


def v_ugh():
    return speak("[['Vx]]", "en-us+m3", 120, 20, "overdrive", 6, "gain", -6)


def v_ow():
    return speak("[['aU]]", "en-us", 190, 80,
                 "bend", "0,300,0.08", "0.04,-500,0.18")


def v_proceed():
    return speak("Proceed!", "en-us", 150, 50)


def v_denied():
    buzz = harmonic(0.22, 110.0, tilt=0.7, odd_only=False, max_freq=6000, seed=90)
    buzz = envelope(saturate(buzz, 3.0), [(0, 0), (0.005, 1), (0.2, 1), (0.22, 0)])
    voice = speak("Denied!", "en-us", 145, 35)
    return concat(gain(normalised(buzz), 0.5), silence(0.05), normalised(voice))


def v_ooo():
    return speak("[[u:::]]", "en-us+f2", 120, 70,
                 "bend", "0.02,400,0.22", "0.06,-800,0.32")


def v_excellent():
    return speak("Excellent!", "en-us", 140, 60)


def v_over():
    voice = speak("Game over.", "en-us", 125, 25)
    return concat(gain(normalised(over_tones()), 0.6), silence(0.06), normalised(voice))


SOUNDS = {
    "bdrum.wav": bdrum,
    "Thankyou.wav": v_thankyou,
    "ugh.wav": v_ugh,
    "Horse.wav": horse,
    "ow.wav": v_ow,
    "bird.wav": bird,
    "coyote.wav": coyote,
    "police.wav": police,
    "pop.wav": pop,
    "cow.wav": cow,
    "carhorn.wav": carhorn,
    "proceed.wav": v_proceed,
    "zhoop.wav": zhoop,
    "denied.wav": v_denied,
    "ooo.wav": v_ooo,
    "boing3.wav": boing3,
    "crybaby.wav": crybaby,
    "whine.wav": whine,
    "bleep.wav": bleep,
    "weird.wav": weird,
    "donkey.wav": donkey,
    "over.wav": v_over,
    "excellent.wav": v_excellent,
    "win.wav": win,
}


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = argv[1] if len(argv) > 1 else os.path.join(here, "..", "..", "assets", "sounds")
    only = set(argv[2:])
    os.makedirs(out_dir, exist_ok=True)
    for name, make in SOUNDS.items():
        if only and name not in only:
            continue
        ints = finish(make())
        write_wav(os.path.join(out_dir, name), ints)
        print("%-14s %.3f s" % (name, len(ints) / RATE))


if __name__ == "__main__":
    try:
        main(sys.argv)
    finally:
        shutil.rmtree(TMP, ignore_errors=True)
