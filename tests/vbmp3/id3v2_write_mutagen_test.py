#!/usr/bin/env python3
"""Writing ID3v2 values with the probe, checked with mutagen.

    id3v2_write_mutagen_test.py PROBE WORK_DIR

Makes MP3 files with mutagen (2.3 and 2.4 tags with a picture, lyrics,
TXXX, PRIV and two COMM frames; padding of 0 and of 4 KiB; Shift_JIS in
Latin-1 frames; an ID3v1 tag beside; no tag at all) and by hand (2.2, which
mutagen reads but never writes); writes new values with
`PROBE --set-texts`; then checks that mutagen reads exactly the values
written, that every frame of another kind is unchanged (its bytes, or for
a 2.2 tag what mutagen makes of it), that the audio after the tag is the
same stream, and that the probe reads what mutagen reads. Exits 77
(skipped) without mutagen.
"""
import hashlib
import json
import os
import subprocess
import sys

from mutagen_needs import skip_without

skip_without()
from mutagen.id3 import (ID3, TIT2, TPE1, TALB, TYER, TDRC, COMM, TCON, TRCK, TXXX, APIC,
                         USLT, PRIV, Encoding, MakeID3v1)

AUDIO = (b"\xff\xfb\x90\x40" + bytes(413)) * 20
SEVEN = {"TIT2", "TPE1", "TALB", "TYER", "TDRC", "COMM", "TCON", "TRCK"}
FIELDS = ["ID3v2Title", "ID3v2Artist", "ID3v2Album", "ID3v2Year", "ID3v2Comment", "ID3v2Genre",
          "ID3v2Track"]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def sjis_in_latin1(text):
    return text.encode("cp932").decode("latin-1")


def others(version):
    year = TYER(encoding=Encoding.LATIN1, text=["1999"]) if version == 3 else \
        TDRC(encoding=Encoding.UTF8, text=["1999-04-01"])
    return [
        APIC(encoding=Encoding.UTF16, mime="image/png", type=3, desc="表紙",
             data=b"\x89PNG\r\n\x1a\n" + bytes(range(256)) * 8),
        USLT(encoding=Encoding.UTF16, lang="jpn", desc="", text="歌詞\nの二行目"),
        TXXX(encoding=Encoding.UTF16, desc="CATALOG", text=["ABC-123"]),
        PRIV(owner="velnoir@example", data=b"\x00\xff\x00\xfe"),
        COMM(encoding=Encoding.UTF16, lang="eng", desc="iTunNORM", text=[" 0000 0001"]),
        COMM(encoding=Encoding.UTF16, lang="jpn", desc="", text=["古いコメント"]),
        year,
        TCON(encoding=Encoding.LATIN1, text=["(17)"]),
        TRCK(encoding=Encoding.LATIN1, text=["3/12"]),
    ]


def mutagen_file(path, frames, version, padding, v1=False):
    with open(path, "wb") as f:
        f.write(AUDIO)
    tags = ID3()
    for fr in frames:
        tags.add(fr)
    tags.save(path, v2_version=version, v1=2 if v1 else 0, padding=lambda info: padding)


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def v22_file(path):
    def fr(fid, data):
        return fid.encode() + len(data).to_bytes(3, "big") + data
    body = (fr("PIC", b"\x00PNG\x03\x00" + b"\x89PNG" + bytes(50)) + fr("TT2", b"\x00Old title") +
            fr("TP1", b"\x00" + "歌手".encode("cp932")) + fr("ULT", b"\x00eng\x00words") +
            fr("TXX", b"\x00KEY\x00value") + fr("COM", b"\x00eng\x00old") + bytes(16))
    with open(path, "wb") as f:
        f.write(b"ID3\x02\x00\x00" + syncsafe(len(body)) + body + AUDIO)


def tag_length(data):
    if data[:3] != b"ID3":
        return 0
    s = data[6:10]
    return 10 + ((s[0] << 21) | (s[1] << 14) | (s[2] << 7) | s[3])


def raw_frames(data):
    """(id, bytes) of every frame of a 2.3/2.4 tag at the start of `data`."""
    end, pos, major, out = tag_length(data), 10, data[3], []
    while pos + 10 <= end and data[pos:pos + 4].isalnum():
        s = data[pos + 4:pos + 8]
        size = ((s[0] << 21) | (s[1] << 14) | (s[2] << 7) | s[3]) if major == 4 else \
            int.from_bytes(s, "big")
        out.append((data[pos:pos + 4].decode(), data[pos:pos + 10 + size]))
        pos += 10 + size
    return out


def audio_digest(data):
    start = tag_length(data)
    end = len(data) - 128 if data[-128:-125] == b"TAG" else len(data)
    return hashlib.sha256(data[start:end]).hexdigest()


def probe(exe, path):
    return json.loads(subprocess.run([exe, path], capture_output=True, check=False).stdout)


def kept_frames(tags):
    """What mutagen makes of every frame not of the seven kinds, as comparable text."""
    return sorted(repr(f) for f in tags.values() if f.FrameID not in SEVEN)


def mutagen_values(path):
    tags = ID3(path, load_v1=False)
    comm = next((c for c in tags.getall("COMM") if c.desc == ""), None)
    tdrc = tags.get("TDRC")

    def joined(f):
        return "/".join(str(t) for t in f.text) if f is not None else ""
    return {
        "ID3v2Title": joined(tags.get("TIT2")), "ID3v2Artist": joined(tags.get("TPE1")),
        "ID3v2Album": joined(tags.get("TALB")), "ID3v2Year": str(tdrc.text[0])[:4] if tdrc else "",
        "ID3v2Comment": joined(comm), "ID3v2Genre": "/".join(tags["TCON"].genres) if "TCON" in tags else "",
        "ID3v2Track": joined(tags.get("TRCK")),
    }


def write_and_check(exe, name, path, changes, repair=False, fits=None):
    before = open(path, "rb").read()
    old_probe = probe(exe, path)
    old_tags = ID3(path, load_v1=False) if before[:3] == b"ID3" else None
    values = {f: old_probe.get(f, "") for f in FIELDS}
    values.update(changes)
    args = [exe, "--set-texts", path] + [values[f] for f in FIELDS] + (["repair"] if repair else [])
    result = subprocess.run(args, capture_output=True, text=True, check=False)
    check(result.returncode == 0, f"{name}: write failed: {result.stdout.strip()}")
    after = open(path, "rb").read()
    check(audio_digest(after) == audio_digest(before), f"{name}: audio changed")
    if fits is not None:
        check((len(after) == len(before)) == fits, f"{name}: in place {fits} expected")
    got = mutagen_values(path)
    for f in FIELDS:
        check(got[f] == values[f], f"{name}: mutagen {f} {got[f]!r} != {values[f]!r}")
    new_probe = probe(exe, path)
    for f in FIELDS:
        check(new_probe.get(f) == values[f], f"{name}: probe {f} {new_probe.get(f)!r} != {values[f]!r}")
    check(new_probe.get("ID3v2Shift_JIS") is None, f"{name}: stray field")
    if old_tags is not None and before[3] in (3, 4):
        kept_before = [b for i, b in raw_frames(before) if i not in SEVEN]
        kept_after = [b for i, b in raw_frames(after) if i not in SEVEN]
        check(kept_before == kept_after, f"{name}: other frames changed")
        plain = [b for i, b in raw_frames(before) if i == "COMM" and b"iTunNORM" in b]
        check(all(b in [x for _, x in raw_frames(after)] for b in plain), f"{name}: described COMM changed")
        check(after[3] == before[3], f"{name}: version changed")
    elif old_tags is not None:
        check(kept_frames(ID3(path, load_v1=False)) == kept_frames(old_tags), f"{name}: 2.2 frames lost")
        check(after[3] == 3, f"{name}: 2.2 not written as 2.3")
    if before[-128:-125] == b"TAG":
        v1 = after[-128:]
        title = values["ID3v2Title"].encode("cp932", "replace")[:30]
        check(v1[3:3 + len(title)].rstrip(b"\0").startswith(title.rstrip(b"\0")[:28]),
              f"{name}: ID3v1 title {v1[3:33]!r}")
    return after


def main():
    exe, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    new = {"ID3v2Title": "Café 노래", "ID3v2Artist": "新しい歌手", "ID3v2Comment": "新コメント"}
    for version in (3, 4):
        for padding in (0, 4096):
            name = f"v2{version}-pad{padding}"
            path = os.path.join(work, name + ".mp3")
            mutagen_file(path, others(version) + [TIT2(encoding=Encoding.UTF16, text=["Old"])], version, padding)
            write_and_check(exe, name, path, new, fits=padding > 0)
            # And once more, an ASCII year and an emptied album: smaller, in place.
            write_and_check(exe, name + "-again", path, {"ID3v2Year": "2024", "ID3v2Title": "T"}, fits=True)
        # Shift_JIS bytes in Latin-1 frames, repaired without a change.
        name = f"v2{version}-sjis"
        path = os.path.join(work, name + ".mp3")
        mutagen_file(path, [TIT2(encoding=Encoding.LATIN1, text=[sjis_in_latin1("表示ソフトの歌")]),
                            TPE1(encoding=Encoding.LATIN1, text=[sjis_in_latin1("歌手")]),
                            PRIV(owner="x", data=b"\x01")], version, 1024)
        check(probe(exe, path).get("ID3v2Title") == "表示ソフトの歌", f"{name}: not read as Shift_JIS")
        write_and_check(exe, name, path, {}, repair=True, fits=True)
        raw = ID3(path, load_v1=False)
        check(raw["TIT2"].encoding == (Encoding.UTF16 if version == 3 else Encoding.UTF8),
              f"{name}: not Unicode")
    # Both tags; no ID3v2 tag; neither.
    path = os.path.join(work, "both.mp3")
    mutagen_file(path, others(3), 3, 0, v1=True)
    write_and_check(exe, "both", path, new)
    path = os.path.join(work, "v1only.mp3")
    with open(path, "wb") as f:
        v1 = ID3()
        v1.add(TIT2(text=["v1 title"]))
        f.write(AUDIO + MakeID3v1(v1))
    after = write_and_check(exe, "v1only", path, new)
    check(after[3] == 3, "v1only: new tag not 2.3")
    path = os.path.join(work, "none.mp3")
    with open(path, "wb") as f:
        f.write(AUDIO)
    write_and_check(exe, "none", path, {"ID3v2Title": "Title", "ID3v2Genre": "Rock"})
    path = os.path.join(work, "v22.mp3")
    v22_file(path)
    write_and_check(exe, "v22", path, new)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
