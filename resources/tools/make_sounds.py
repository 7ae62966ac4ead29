#!/usr/bin/env python3
"""Synthesises the built-in sounds in ../kaynak (16-bit mono WAV, 22050 Hz).

Not part of the build; run once after a change and commit the output:
    python3 make_sounds.py ../kaynak
"""
import math
import struct
import sys
import wave
from pathlib import Path

RATE = 22050


def tone(freq, seconds, volume=0.5, decay=4.0, harmonics=(1.0, 0.3, 0.1)):
    """A plucked tone: a few harmonics under an exponential decay, with a short attack."""
    samples = []
    count = int(RATE * seconds)
    for i in range(count):
        t = i / RATE
        envelope = math.exp(-decay * t) * min(1.0, t / 0.01)
        value = sum(a * math.sin(2 * math.pi * freq * (k + 1) * t) for k, a in enumerate(harmonics))
        samples.append(volume * envelope * value / sum(harmonics))
    return samples


def mix(*parts):
    """Places each (start_seconds, samples) on one track."""
    length = max(int(start * RATE) + len(s) for start, s in parts)
    track = [0.0] * length
    for start, s in parts:
        offset = int(start * RATE)
        for i, v in enumerate(s):
            track[offset + i] += v
    return track


def write(path, samples):
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, v)) * 32000)) for v in samples))


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    # All correct: a bright rising C major arpeggio.
    write(folder / "app6.wav", mix((0.00, tone(523.25, 0.5)), (0.12, tone(659.25, 0.5)),
                                   (0.24, tone(783.99, 0.5)), (0.36, tone(1046.5, 0.7, decay=3.0))))
    # All blank: one low, soft tone.
    write(folder / "HepsiBos.wav", tone(220.0, 0.6, volume=0.45, decay=5.0))
    # All wrong: two falling low tones.
    write(folder / "HepsiYanlis.wav", mix((0.0, tone(311.13, 0.35, decay=6.0)), (0.25, tone(207.65, 0.5, decay=5.0))))


if __name__ == "__main__":
    main()
