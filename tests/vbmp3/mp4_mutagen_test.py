#!/usr/bin/env python3
"""The MP4 reader against mutagen and ffmpeg.

    mp4_mutagen_test.py PROBE WORK_DIR

Encodes AAC and ALAC .m4a files with ffmpeg (mono and stereo, 44.1 and
48 kHz, 16- and 24-bit ALAC, moov before and after mdat), tags them with
mutagen (Japanese, emoji, 200-character texts, two artists, a date, track
and disc pairs, album artist, cover art, a freeform item, a gnre item in
place of a genre text) and compares the probe's reading with mutagen's
texts and figures and ffprobe's. Exits 77 (skipped) without mutagen or
ffmpeg.
"""
import json
import os
import struct
import subprocess
import sys

from mutagen_needs import skip_without

skip_without("ffmpeg", "ffprobe")
from mutagen.mp4 import MP4, MP4Cover, MP4FreeForm

probe, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)

# codec, sample format, rate, channels, seconds, faststart, gnre
FILES = (("aac", None, 44100, 2, 3.5, False, False),
         ("aac", None, 48000, 1, 1.2, True, True),
         ("alac", "s16p", 44100, 2, 2.0, False, False),
         ("alac", "s32p", 48000, 1, 0.7, True, False))


def top_level_types(path):
    types, at, data = [], 0, open(path, "rb").read()
    while at + 8 <= len(data):
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        if size == 1:
            size = struct.unpack(">Q", data[at + 8:at + 16])[0]
        elif size == 0:
            size = len(data) - at
        types.append(kind)
        at += size
    return types


def patch_gnre(path, number):
    """Turns a two-character genre text item into a gnre item of number."""
    data = bytearray(open(path, "rb").read())
    at = data.find(b"\xa9gen\x00\x00\x00\x12data\x00\x00\x00\x01\x00\x00\x00\x00")
    assert at > 0, "no two-character genre item"
    data[at:at + 4] = b"gnre"
    data[at + 15] = 0
    data[at + 20:at + 22] = number.to_bytes(2, "big")
    open(path, "wb").write(data)


def expected_texts(tags):
    def joined(key):
        return "; ".join(str(v) for v in tags.get(key, []))

    def pair(key):
        if key not in tags:
            return ""
        number, total = tags[key][0]
        return "%d/%d" % (number, total) if total else str(number)

    year = joined("\xa9day")
    if len(year) >= 4 and year[:4].isdigit():
        year = year[:4]
    return {"title": joined("\xa9nam"), "artist": joined("\xa9ART"), "album": joined("\xa9alb"),
            "year": year, "comment": joined("\xa9cmt"), "genre": joined("\xa9gen"),
            "track": pair("trkn"), "albumartist": joined("aART"), "disc": pair("disk")}


faults = 0
for index, (codec, sample_format, rate, channels, seconds, faststart, gnre) in enumerate(FILES):
    path = os.path.join(work, "t%d-%s.m4a" % (index, codec))
    command = ["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
               "sine=frequency=440:sample_rate=%d:duration=%s" % (rate, seconds),
               "-ac", str(channels), "-c:a", codec]
    if sample_format:
        command += ["-sample_fmt", sample_format]
    if faststart:
        command += ["-movflags", "+faststart"]
    subprocess.run(command + [path], check=True)
    tagged = MP4(path)
    tagged["\xa9nam"] = ["日本語の題名🎵"]
    tagged["\xa9ART"] = ["一人目", "😀 two"]
    tagged["\xa9alb"] = ["あ" * 200]
    tagged["\xa9day"] = ["2001-02-03"]
    tagged["\xa9cmt"] = ["c" * 200]
    tagged["\xa9gen"] = ["ab" if gnre else "Jazz"]
    tagged["trkn"] = [(3, 12)]
    tagged["disk"] = [(1, 2)] if index % 2 else [(2, 0)]
    tagged["aART"] = ["アルバムの人"]
    tagged["covr"] = [MP4Cover(b"\xff\xd8\xff" + b"\x00" * 3000, MP4Cover.FORMAT_JPEG)]
    tagged["----:com.apple.iTunes:MOOD"] = [MP4FreeForm(b"calm")]
    tagged.save()
    if gnre:
        patch_gnre(path, 18)  # ID3v1 genre 17, "Rock"
    types = top_level_types(path)
    if (types.index(b"moov") < types.index(b"mdat")) != faststart:
        print("%s: moov and mdat in the wrong order: %r" % (path, types))
        faults += 1
    tagged = MP4(path)
    if gnre and tagged.tags.get("\xa9gen") != ["Rock"]:
        print("%s: mutagen reads the gnre item as %r" % (path, tagged.tags.get("\xa9gen")))
        faults += 1
    stream = json.loads(subprocess.run(
        ["ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
         "stream=channels,sample_rate,bits_per_raw_sample", "-of", "json", path],
        check=True, capture_output=True, text=True).stdout)["streams"][0]
    result = subprocess.run([probe, path], capture_output=True, text=True)
    if result.returncode != 0:
        print("%s: the probe could not read it" % path)
        faults += 1
        continue
    got = dict(line.split("=", 1) for line in result.stdout.splitlines())
    bits = tagged.info.bits_per_sample if codec == "alac" else 0
    expect = expected_texts(tagged.tags)
    expect.update({"format": codec.upper(), "channels": str(channels), "rate": str(rate),
                   "bits": str(bits)})
    if codec == "alac" and int(stream.get("bits_per_raw_sample", 0)) != bits:
        print("%s: mutagen says %d bits, ffprobe %s" % (path, bits, stream["bits_per_raw_sample"]))
        faults += 1
    # A mono AAC configuration could be parametric stereo, so mutagen gives
    # the sample entry's count (2) for it; ffprobe says what the encoder made.
    mutagen_channels = 1 if codec == "aac" and channels == 1 else tagged.info.channels
    if mutagen_channels != channels or tagged.info.sample_rate != rate or \
            int(stream["channels"]) != channels or int(stream["sample_rate"]) != rate:
        print("%s: mutagen or ffprobe disagree with the encoder" % path)
        faults += 1
    for key, value in expect.items():
        if got.get(key) != value:
            print("%s %s: %r, want %r" % (path, key, got.get(key, "")[:60], value[:60]))
            faults += 1
    length = float(got["seconds"])
    if abs(length - tagged.info.length) > 1 or abs(length - seconds) > 1:
        print("%s length %s, want %s" % (path, length, tagged.info.length))
        faults += 1
    if not 0 < int(got["audiobytes"]) < os.path.getsize(path):
        print("%s audio bytes %s" % (path, got["audiobytes"]))
        faults += 1
print("faults:", faults)
sys.exit(1 if faults else 0)
