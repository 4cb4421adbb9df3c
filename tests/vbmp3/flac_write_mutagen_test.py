#!/usr/bin/env python3
"""The FLAC comment writer through the library's own code, against mutagen.

    flac_write_mutagen_test.py VBMP3PROBE WORK_DIR

flac-made files tagged by flac itself (its padding right after the comment,
so the write stays in place) or by mutagen (a picture; 8 KiB of padding at
the end, or none: the file is written anew) get a Japanese and emoji title, two new artists
and an emptied album through `vbmp3probe --set-texts`. mutagen must read
exactly that, every other field and the picture unchanged, `flac -t` must
pass and `flac -d` give the same samples. Exits 77 without the tools.
"""
import hashlib
import os
import subprocess
import sys

from mutagen_needs import skip_without

skip_without("sox", "flac")
from mutagen.flac import FLAC, Picture

probe, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
wav = os.path.join(work, "in.wav")
subprocess.run(["sox", "-q", "-n", "-r", "44100", "-b", "16", "-c", "2", wav, "synth", "3",
                "pinknoise", "vol", "0.3"], check=True)


def samples(path):
    out = subprocess.run(["flac", "-s", "-d", "-c", path], check=True, capture_output=True).stdout
    return hashlib.md5(out).hexdigest()


faults = 0
TITLE = "新しい題名 🎵 Café"
TAGS = {"TITLE": ["古い"], "ARTIST": ["一", "二"], "ALBUM": ["盤"], "DESCRIPTION": ["説明"],
        "TRACKNUMBER": ["3/12"], "DATE": ["2001-02-03"]}
for name, padding in (("encoder.flac", None), ("padded.flac", 8192), ("tight.flac", 0)):
    path = os.path.join(work, name)
    picture = Picture()
    if padding is None:
        tags = ["-T%s=%s" % (k, v) for k, values in TAGS.items() for v in values]
        subprocess.run(["flac", "-s", "-f", "-o", path] + tags + [wav], check=True)
    else:
        subprocess.run(["flac", "-s", "-f", "--no-padding", "-o", path, wav], check=True)
        f = FLAC(path)
        f.update(TAGS)
        picture.type, picture.mime, picture.data = 3, "image/png", os.urandom(20000)
        f.add_picture(picture)
        f.save(padding=lambda info, n=padding: n)
    before = samples(path)
    size = os.path.getsize(path)
    result = subprocess.run([probe, "--set-texts", path, TITLE, "x; y", "", "2001", "", "", "3/12"],
                            capture_output=True, text=True)
    if '"error":0' not in result.stdout:
        print(name, "write failed:", result.stdout, result.stderr)
        faults += 1
        continue
    after = FLAC(path)
    expect = {"title": [TITLE], "artist": ["x", "y"], "description": ["説明"],
              "tracknumber": ["3/12"], "date": ["2001-02-03"]}
    for key, value in expect.items():
        if after.get(key) != value:
            print("%s: %s is %r, not %r" % (name, key, after.get(key), value))
            faults += 1
    if "album" in after:
        print(name + ": the emptied album is still there")
        faults += 1
    if padding is None and os.path.getsize(path) != size:
        print(name + ": not written in place")
        faults += 1
    if [p.data for p in after.pictures] != ([picture.data] if padding is not None else []):
        print(name + ": the picture changed")
        faults += 1
    if subprocess.run(["flac", "-s", "-t", path]).returncode != 0:
        print(name + ": flac -t fails")
        faults += 1
    if samples(path) != before:
        print(name + ": the samples changed")
        faults += 1
print("%d faults" % faults)
sys.exit(1 if faults else 0)
