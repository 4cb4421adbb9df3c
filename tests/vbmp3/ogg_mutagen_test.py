#!/usr/bin/env python3
"""The Ogg reader against mutagen and the encoders.

    ogg_mutagen_test.py PROBE WORK_DIR

Encodes sox-made WAVs with oggenc and opusenc, tags them with mutagen
(Japanese, emoji, 200-character texts, several values of one field, a
comment that spans several pages) and compares the probe's reading with
mutagen's texts and the encoder's channels, rate and length. Exits 77
(skipped) without mutagen or an encoder.
"""
import os
import subprocess
import sys

from mutagen_needs import skip_without

skip_without("sox", "oggenc", "opusenc")
from mutagen.oggvorbis import OggVorbis
from mutagen.oggopus import OggOpus

probe, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
TAGS = {"TITLE": ["日本語の題名🎵"], "ARTIST": ["一人目", "😀 two"], "ALBUM": ["あ" * 200],
        "COMMENT": ["c" * 150000], "GENRE": ["Rock"], "TRACKNUMBER": ["3/12"]}
faults = 0
for rate, channels, seconds in ((44100, 2, 3.5), (22050, 1, 1.2), (48000, 2, 0.3)):
    wav = os.path.join(work, "in.wav")
    subprocess.run(["sox", "-n", "-r", str(rate), "-b", "16", "-c", str(channels), wav,
                    "synth", str(seconds), "sine", "440"], check=True)
    for ext, encode, kind in (("ogg", ["oggenc", "-Q", wav, "-o"], OggVorbis),
                              ("opus", ["opusenc", "--quiet", wav], OggOpus)):
        path = os.path.join(work, "t%d.%s" % (rate, ext))
        subprocess.run(encode + [path], check=True)
        tagged = kind(path)
        tagged.update(TAGS)
        tagged.save()
        tagged = kind(path)
        got = dict(line.split("=", 1) for line in subprocess.run(
            [probe, path], check=True, capture_output=True, text=True).stdout.splitlines())
        expect = {"format": "Vorbis" if ext == "ogg" else "Opus", "channels": str(channels),
                  "rate": str(rate if ext == "ogg" else 48000)}
        for key, tag in (("title", "TITLE"), ("artist", "ARTIST"), ("album", "ALBUM"),
                         ("comment", "COMMENT"), ("genre", "GENRE"), ("track", "TRACKNUMBER")):
            expect[key] = "; ".join(tagged[tag])
        for key, value in expect.items():
            if got.get(key) != value:
                print("%s %s: %r, want %r" % (path, key, got.get(key, "")[:60], value[:60]))
                faults += 1
        if abs(float(got["seconds"]) - tagged.info.length) > 1 or abs(float(got["seconds"]) - seconds) > 1:
            print("%s length %s, want %s" % (path, got["seconds"], tagged.info.length))
            faults += 1
print("faults:", faults)
sys.exit(1 if faults else 0)
