#!/usr/bin/env python3
"""The FLAC reader against mutagen and the encoder.

    flac_mutagen_test.py PROBE WORK_DIR

Encodes sox-made WAVs with flac (16 and 24 bits, mono and stereo, 44.1 and
96 kHz), tags them with mutagen (Japanese, emoji, 200-character texts,
several values of one field), puts an ID3v2 tag in front of one and an
ID3v1 tag behind it, and compares the probe's reading with mutagen's texts
and the encoder's channels, rate, bits and length. Exits 77 (skipped)
without mutagen, sox or flac.
"""
import os
import subprocess
import sys

from mutagen_needs import skip_without

skip_without("sox", "flac")
from mutagen.flac import FLAC

probe, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
TAGS = {"TITLE": ["日本語の題名🎵"], "ARTIST": ["一人目", "😀 two"], "ALBUM": ["あ" * 200],
        "DATE": ["2001-02-03"], "COMMENT": ["c" * 200], "GENRE": ["Rock"],
        "TRACKNUMBER": ["3/12"], "ALBUMARTIST": ["アルバムの人"], "DISCNUMBER": ["1/2"]}
KEYS = (("title", "TITLE"), ("artist", "ARTIST"), ("album", "ALBUM"), ("comment", "COMMENT"),
        ("genre", "GENRE"), ("track", "TRACKNUMBER"), ("albumartist", "ALBUMARTIST"),
        ("disc", "DISCNUMBER"))


def id3v2_tag():
    """An ID3v2.3 tag with one TIT2 frame, as some tools put before fLaC."""
    text = b"\x00id3v2 title"
    frame = b"TIT2" + len(text).to_bytes(4, "big") + b"\x00\x00" + text
    body = frame + b"\x00" * 100  # padding
    size = len(body)
    syncsafe = bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F])
    return b"ID3\x03\x00\x00" + syncsafe + body


def check(path, rate, channels, bits, seconds, extra_bytes):
    tagged = FLAC(path)
    result = subprocess.run([probe, path], capture_output=True, text=True)
    if result.returncode != 0:
        print("%s: the probe refused it" % path)
        return 1
    got = dict(line.split("=", 1) for line in result.stdout.splitlines())
    expect = {"format": "FLAC", "channels": str(channels), "rate": str(rate), "bits": str(bits),
              "year": "2001"}
    for key, tag in KEYS:
        expect[key] = "; ".join(tagged[tag])
    faults = 0
    for key, value in expect.items():
        if got.get(key) != value:
            print("%s %s: %r, want %r" % (path, key, got.get(key, "")[:60], value[:60]))
            faults += 1
    length = float(got["seconds"])
    if abs(length - tagged.info.length) > 1 or abs(length - seconds) > 1:
        print("%s length %s, want %s" % (path, length, tagged.info.length))
        faults += 1
    if int(got["audiobytes"]) >= os.path.getsize(path) - extra_bytes:
        print("%s audio bytes %s count the tags" % (path, got["audiobytes"]))
        faults += 1
    return faults


faults = 0
for rate, channels, bits, seconds in ((44100, 2, 16, 3.5), (44100, 1, 24, 1.2),
                                      (96000, 2, 24, 0.7), (96000, 1, 16, 2.0)):
    wav = os.path.join(work, "in.wav")
    subprocess.run(["sox", "-n", "-r", str(rate), "-b", str(bits), "-c", str(channels), wav,
                    "synth", str(seconds), "sine", "440"], check=True)
    path = os.path.join(work, "t%d_%d_%d.flac" % (rate, channels, bits))
    subprocess.run(["flac", "--silent", "--force", "-o", path, wav], check=True)
    tagged = FLAC(path)
    tagged.update(TAGS)
    tagged.save()
    faults += check(path, rate, channels, bits, seconds, 0)
    if rate == 44100 and bits == 16:
        with open(path, "rb") as f:
            flac_bytes = f.read()
        front = id3v2_tag()
        back = b"TAG" + b"id3v1 title".ljust(125, b"\x00")
        wrapped = os.path.join(work, "id3v2_front.flac")
        with open(wrapped, "wb") as f:
            f.write(front + flac_bytes + back)
        faults += check(wrapped, rate, channels, bits, seconds, len(front) + len(back))
print("faults:", faults)
sys.exit(1 if faults else 0)
