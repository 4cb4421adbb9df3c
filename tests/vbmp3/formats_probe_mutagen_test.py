#!/usr/bin/env python3
"""vbmp3probe against mutagen on every format whose tag is not ID3.

    formats_probe_mutagen_test.py VBMP3PROBE WORK_DIR

Makes FLAC (16 and 24 bits), AAC and ALAC in .m4a, Ogg Vorbis and Opus files
with the real encoders, tags them with mutagen (Japanese, emoji, a
200-character album, two artists, a date, track and disc, album artist) and
checks what the library's exports hand over, as the probe prints them:
the texts whole, the format, channels, rate, sample size and length. Exits
77 (skipped) without mutagen or an encoder.
"""
import json
import os
import subprocess
import sys

from mutagen_needs import skip_without

skip_without("sox", "flac", "ffmpeg", "oggenc", "opusenc")
import mutagen
from mutagen.flac import FLAC
from mutagen.mp4 import MP4
from mutagen.oggopus import OggOpus
from mutagen.oggvorbis import OggVorbis

probe, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
TITLE, ARTISTS, ALBUM = "日本語の題名🎵", ["一人目", "😀 two"], "あ" * 200


def wav(name, rate, bits, channels):
    path = os.path.join(work, name)
    subprocess.run(["sox", "-q", "-n", "-r", str(rate), "-b", str(bits), "-c", str(channels), path,
                    "synth", "2.5", "sine", "440", "vol", "0.5"], check=True)
    return path


def vorbis_tags(f):
    f.update({"TITLE": [TITLE], "ARTIST": ARTISTS, "ALBUM": [ALBUM], "DATE": ["2001-02-03"],
              "GENRE": ["Rock"], "TRACKNUMBER": ["3/12"], "DISCNUMBER": ["1/2"],
              "ALBUMARTIST": ["全員"], "COMMENT": ["メモ"]})
    f.save()


def mp4_tags(f):
    f.update({"\xa9nam": [TITLE], "\xa9ART": ARTISTS, "\xa9alb": [ALBUM],
              "\xa9day": ["2001-02-03"], "\xa9gen": ["Rock"], "trkn": [(3, 12)],
              "disk": [(1, 2)], "aART": ["全員"], "\xa9cmt": ["メモ"]})
    f.save()


files = []  # (path, format, channels, rate, bits)
w16 = wav("s16.wav", 44100, 16, 2)
w24 = wav("m24.wav", 96000, 24, 1)
for name, source, channels, rate, bits in (("a.flac", w16, 2, 44100, 16),
                                           ("b.flac", w24, 1, 96000, 24)):
    path = os.path.join(work, name)
    subprocess.run(["flac", "-s", "-f", "-o", path, source], check=True)
    vorbis_tags(FLAC(path))
    files.append((path, "FLAC", channels, rate, bits))
for name, codec, fmt, bits in (("c.m4a", "aac", "AAC", 0), ("d.m4a", "alac", "ALAC", 16)):
    path = os.path.join(work, name)
    subprocess.run(["ffmpeg", "-v", "quiet", "-y", "-i", w16, "-c:a", codec, path], check=True)
    mp4_tags(MP4(path))
    files.append((path, fmt, 2, 44100, bits))
path = os.path.join(work, "e.ogg")
subprocess.run(["oggenc", "-Q", "-o", path, w16], check=True)
vorbis_tags(OggVorbis(path))
files.append((path, "Vorbis", 2, 44100, 0))
path = os.path.join(work, "f.opus")
subprocess.run(["opusenc", "--quiet", w16, path], check=True)
vorbis_tags(OggOpus(path))
files.append((path, "Opus", 2, 48000, 0))

faults = 0
for path, fmt, channels, rate, bits in files:
    out = subprocess.run([probe, path], capture_output=True, text=True).stdout
    got = json.loads(out)
    expect = {"ID3v2Title": TITLE, "ID3v2Artist": "; ".join(ARTISTS), "ID3v2Album": ALBUM,
              "ID3v2Year": "2001", "ID3v2Comment": "メモ", "ID3v2Genre": "Rock",
              "ID3v2Track": "3/12", "AlbumArtist": "全員", "Disc": "1/2", "Format": fmt,
              "Channels": channels, "SamplingRate": rate, "BitsPerSample": bits,
              "GenreNumber": 17, "Version": 0, "Layer": 0}
    for key, value in expect.items():
        if got.get(key) != value:
            print("%s: %s is %r, not %r" % (os.path.basename(path), key, got.get(key), value))
            faults += 1
    length = mutagen.File(path).info.length
    if abs(got.get("TotalSeconds", -9) - length) > 1:
        print("%s: TotalSeconds %r, mutagen %.2f" % (path, got.get("TotalSeconds"), length))
        faults += 1
print("%d files, %d faults" % (len(files), faults))
sys.exit(1 if faults else 0)
