#!/usr/bin/env python3
"""The Ogg writer against mutagen, ogginfo and ffmpeg.

    ogg_write_mutagen_test.py PROBE WORK_DIR

Encodes a sox-made WAV with oggenc and opusenc, tags the files with mutagen
(a picture, several values of one field, Japanese and emoji texts, a
freeform field, a DESCRIPTION; no padding and 8 KiB of padding), writes
boxes through the probe (small changes, removals, a title that needs many
new pages) and checks: mutagen reads back exactly the values written, every
other field is unchanged and in its order, the vendor text stays, the audio
packets and their granule positions are identical, every page's CRC and
sequence number is right, and ogginfo and ffmpeg find nothing new to say.
Exits 77 (skipped) without mutagen or an encoder.
"""
import base64
import os
import shutil
import subprocess
import sys

from mutagen_needs import skip_without

skip_without("sox", "oggenc", "opusenc")
from mutagen.flac import Picture
from mutagen.oggopus import OggOpus
from mutagen.oggvorbis import OggVorbis

probe, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
BOX_FIELD = {"title": "TITLE", "artist": "ARTIST", "album": "ALBUM", "year": "DATE",
             "comment": "COMMENT", "genre": "GENRE"}
CRC_TABLE = []
for i in range(256):
    r = i << 24
    for _ in range(8):
        r = ((r << 1) ^ 0x04C11DB7) & 0xFFFFFFFF if r & 0x80000000 else (r << 1) & 0xFFFFFFFF
    CRC_TABLE.append(r)


def crc(data):
    c = 0
    for b in data:
        c = ((c << 8) & 0xFFFFFFFF) ^ CRC_TABLE[((c >> 24) ^ b) & 0xFF]
    return c


def pages_and_packets(path):
    """([(sequence, granule, good crc)], [(packet, index of its last page)])."""
    data = open(path, "rb").read()
    pages, packets, current, at = [], [], b"", 0
    while at < len(data):
        assert data[at:at + 4] == b"OggS", "no page at %d" % at
        count = data[at + 26]
        lacing = data[at + 27:at + 27 + count]
        size = 27 + count + sum(lacing)
        page = data[at:at + size]
        zeroed = page[:22] + b"\0\0\0\0" + page[26:]
        granule = int.from_bytes(page[6:14], "little")
        pages.append((int.from_bytes(page[18:22], "little"), granule,
                      crc(zeroed) == int.from_bytes(page[22:26], "little")))
        body = 27 + count
        for length in lacing:
            current += page[body:body + length]
            body += length
            if length < 255:
                packets.append((current, len(pages) - 1))
                current = b""
        at += size
    return pages, packets


def fields(tagged):
    return [(k, v) for k, v in list.__iter__(tagged.tags)]


def ogginfo_problems(path):
    if not shutil.which("ogginfo"):
        return 0
    out = subprocess.run(["ogginfo", path], capture_output=True, text=True, errors="replace")
    return out.returncode + sum(1 for line in out.stdout.splitlines()
                                if line.startswith(("WARNING", "ERROR")))


def decoded(path):
    if not shutil.which("ffmpeg"):
        return ""
    return subprocess.run(["ffmpeg", "-v", "quiet", "-i", path, "-f", "md5", "-"],
                          capture_output=True, text=True).stdout


def tag(path, kind, padding):
    tagged = kind(path)
    picture = Picture()
    picture.type, picture.mime, picture.desc = 3, "image/png", "表紙"
    picture.data = bytes(range(256)) * 40
    tagged.update({"TITLE": ["日本語の題名🎵"], "ARTIST": ["一人目", "😀 two"],
                   "ALBUM": ["Album"], "GENRE": ["Rock"], "DESCRIPTION": ["desc"],
                   "TRACKNUMBER": ["3/12"], "MY_FREEFORM": ["自由"],
                   "METADATA_BLOCK_PICTURE": [base64.b64encode(picture.write()).decode("ascii")]})
    tagged.save(padding=lambda info: padding)


def check(path, kind, boxes):
    faults = 0
    before = kind(path)
    old_fields, old_vendor = fields(before), before.tags.vendor
    old_pages, old_packets = pages_and_packets(path)
    old_problems, old_audio = ogginfo_problems(path), decoded(path)
    headers = 3 if kind is OggVorbis else 2
    run = subprocess.run([probe, path] + ["%s=%s" % kv for kv in boxes.items()],
                         capture_output=True, text=True)
    if run.returncode != 0:
        print("%s: probe failed with %d" % (path, run.returncode))
        return 1
    after = kind(path)
    changed = {BOX_FIELD[box] for box in boxes}
    for box, text in boxes.items():
        want = text.split("; ") if text else []
        got = after.tags.get(BOX_FIELD[box], [])
        if got != want:
            print("%s %s: %r, want %r" % (path, box, [g[:40] for g in got], want[:3]))
            faults += 1
    kept = [(k, v) for k, v in old_fields if k.upper() not in changed]
    if [(k, v) for k, v in fields(after) if k.upper() not in changed] != kept:
        print("%s: the other fields changed" % path)
        faults += 1
    if after.tags.vendor != old_vendor:
        print("%s: vendor %r, want %r" % (path, after.tags.vendor, old_vendor))
        faults += 1
    new_pages, new_packets = pages_and_packets(path)
    if [p for p, _ in new_packets[headers:]] != [p for p, _ in old_packets[headers:]] or \
            new_packets[2][0] != old_packets[2][0]:
        print("%s: the audio packets or the setup header changed" % path)
        faults += 1
    old_audio_pages = old_pages[old_packets[headers - 1][1] + 1:]
    if [g for _, g, _ in new_pages[new_packets[headers - 1][1] + 1:]] != \
            [g for _, g, _ in old_audio_pages]:
        print("%s: granule positions changed" % path)
        faults += 1
    if [s for s, _, _ in new_pages] != list(range(len(new_pages))) or \
            not all(good for _, _, good in new_pages):
        print("%s: sequence numbers or CRCs wrong" % path)
        faults += 1
    if ogginfo_problems(path) > old_problems or decoded(path) != old_audio:
        print("%s: ogginfo or ffmpeg finds the file changed" % path)
        faults += 1
    print("%s %s: %s" % (os.path.basename(path), list(boxes), run.stdout.strip()))
    return faults


EDITS = [
    {"title": "Café 노래 ☆"},
    {"artist": "X; Y; 三人目", "genre": "", "comment": "新しい 🎶", "year": "2024-05-01"},
    {"title": "長" * 30000, "album": ""},
    {"title": "short again"},
    {"title": "短い; 二つ目"},
]
wav = os.path.join(work, "in.wav")
subprocess.run(["sox", "-n", "-r", "44100", "-b", "16", "-c", "2", wav,
                "synth", "2.5", "sine", "440"], check=True)
faults = 0
for ext, encode, kind in (("ogg", ["oggenc", "-Q", wav, "-o"], OggVorbis),
                          ("opus", ["opusenc", "--quiet", wav], OggOpus)):
    for padding in (0, 8192):
        path = os.path.join(work, "t%d.%s" % (padding, ext))
        subprocess.run(encode + [path], check=True)
        tag(path, kind, padding)
        for boxes in EDITS:
            faults += check(path, kind, boxes)
print("faults:", faults)
sys.exit(1 if faults else 0)
