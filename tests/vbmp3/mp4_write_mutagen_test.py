#!/usr/bin/env python3
"""The MP4 writer against mutagen and ffmpeg.

    mp4_write_mutagen_test.py PROBE WORK_DIR

Encodes AAC and ALAC .m4a files with ffmpeg (moov before and after mdat),
in three forms: tagged by mutagen (cover art, a freeform item, two
artists, Japanese and emoji, track, disc, album artist, a gnre item), the
same with a free box directly after the moov, and with no tag at all.
Writes texts through the probe and checks that mutagen reads back exactly
the texts written, every other item unchanged, and ffmpeg decodes the same
audio. Exits 77 (skipped) without mutagen or ffmpeg.
"""
import os
import struct
import subprocess
import sys

from mutagen_needs import skip_without

skip_without("ffmpeg")
from mutagen.mp4 import MP4, MP4Cover, MP4FreeForm

probe, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)

# mutagen's key of each field the probe writes
KEYS = {"title": "\xa9nam", "artist": "\xa9ART", "album": "\xa9alb", "year": "\xa9day",
        "comment": "\xa9cmt", "genre": "\xa9gen"}
WRITES = (
    {"title": "Café 노래 ☆"},
    {"artist": "新しい人; 😀 two; three", "genre": "Jazz", "comment": ""},
    {"title": "t" * 3000, "year": "2024-05-06", "album": "アルバム🎵"},
    {"title": "short"},
)


def encode(path, codec, faststart, tagless):
    command = ["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
               "sine=frequency=440:sample_rate=44100:duration=2.5", "-ac", "2", "-c:a", codec]
    if faststart:
        command += ["-movflags", "+faststart"]
    if tagless:
        command += ["-map_metadata", "-1", "-fflags", "+bitexact"]
    subprocess.run(command + [path], check=True)


def tag(path):
    tagged = MP4(path)
    tagged["\xa9nam"] = ["日本語の題名🎵"]
    tagged["\xa9ART"] = ["一人目", "😀 two"]
    tagged["\xa9alb"] = ["あ" * 50]
    tagged["\xa9day"] = ["2001-02-03"]
    tagged["\xa9cmt"] = ["a comment"]
    tagged["\xa9gen"] = ["ab"]
    tagged["trkn"] = [(3, 12)]
    tagged["disk"] = [(1, 2)]
    tagged["aART"] = ["アルバムの人"]
    tagged["covr"] = [MP4Cover(b"\xff\xd8\xff" + bytes(range(256)) * 12, MP4Cover.FORMAT_JPEG)]
    tagged["----:com.apple.iTunes:MOOD"] = [MP4FreeForm(b"calm")]
    tagged.save()
    # A two-character genre text turned into a gnre item (ID3v1 17, Rock).
    data = bytearray(open(path, "rb").read())
    at = data.find(b"\xa9gen\x00\x00\x00\x12data\x00\x00\x00\x01\x00\x00\x00\x00")
    assert at > 0, "no genre item"
    data[at:at + 4] = b"gnre"
    data[at + 15] = 0
    data[at + 20:at + 22] = (18).to_bytes(2, "big")
    open(path, "wb").write(data)


def top_level(path):
    boxes, at, data = [], 0, open(path, "rb").read()
    while at + 8 <= len(data):
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        size = len(data) - at if size == 0 else size
        boxes.append((kind, at, size))
        at += size
    return boxes


def add_free_after_moov(path, room):
    """A free box directly after the moov (the file's last box: no offsets move)."""
    kinds = [kind for kind, _, _ in top_level(path)]
    assert kinds[-1] == b"moov", kinds
    with open(path, "ab") as out:
        out.write(struct.pack(">I4s", room, b"free") + bytes(room - 8))


def audio_md5(path):
    result = subprocess.run(["ffmpeg", "-v", "quiet", "-i", path, "-map", "0:a", "-f", "md5", "-"],
                            capture_output=True, text=True)
    return result.stdout.strip() if result.returncode == 0 else "undecodable"


def items(path):
    tags = MP4(path).tags
    return {} if tags is None else {key: list(value) for key, value in tags.items()}


def expected(before, change):
    want = dict(before)
    for field, text in change.items():
        key = KEYS[field]
        values = [v for v in text.split("; ") if v]
        want.pop(key, None)
        if field == "genre":
            want.pop("gnre", None)
        if values:
            want[key] = values
    # mutagen shows a gnre item as the genre text it names.
    return want


def check(path, change, faults, placements):
    before, md5, size = items(path), audio_md5(path), os.path.getsize(path)
    args = ["%s=%s" % (field, text) for field, text in change.items()]
    result = subprocess.run([probe, path] + args, capture_output=True, text=True)
    if result.returncode != 0:
        print("%s %r: the probe failed (%d)" % (path, change, result.returncode))
        return faults + 1
    after = items(path)
    want = expected(before, change)
    if after != want:
        for key in sorted(set(after) | set(want)):
            if after.get(key) != want.get(key):
                print("%s %r: %r is %r, want %r" % (path, change, key,
                                                  str(after.get(key))[:60], str(want.get(key))[:60]))
        faults += 1
    if audio_md5(path) != md5:
        print("%s %r: the decoded audio changed" % (path, change))
        faults += 1
    in_place = result.stdout.strip() == "replaced=0"
    placements.add(in_place)
    if os.environ.get("VERBOSE"):
        print(path, list(change), "in place" if in_place else "anew")
    if in_place and os.path.getsize(path) != size:
        print("%s %r: written in place, yet %d bytes, not %d" % (path, change,
                                                                 os.path.getsize(path), size))
        faults += 1
    return faults


faults, placements = 0, set()
for codec in ("aac", "alac"):
    for faststart in (False, True):
        for form in ("tagged", "free", "tagless"):
            if form == "free" and faststart:
                continue  # the moov is last only without faststart
            path = os.path.join(work, "%s-%s-%s.m4a" % (codec, "fast" if faststart else "end",
                                                         form))
            encode(path, codec, faststart, form == "tagless")
            if form == "tagless":
                if items(path):
                    print("%s: ffmpeg left tags %r" % (path, items(path)))
                    faults += 1
            else:
                tag(path)
            if form == "free":
                add_free_after_moov(path, 8192)
            for change in WRITES:
                faults = check(path, change, faults, placements)
if placements != {True, False}:
    print("the writes were not both in place and anew: %r" % placements)
    faults += 1
print("faults:", faults)
sys.exit(1 if faults else 0)
