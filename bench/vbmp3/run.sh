#!/usr/bin/env bash
# Generates the benchmark files, builds in Release and prints the figures:
# tag + stream data per file against TagLib (>= 2x faster is the target; half
# the files carry an ID3v2 tag, which both read) and the walk of a VBR file
# without header against `cat` (>= half its speed); then a mixed set of MP3,
# FLAC, AAC and ALAC in .m4a, Ogg Vorbis and Opus (2,000 files of each kind,
# tagged by mutagen) against TagLib (>= 2x).
#   bench/vbmp3/run.sh [BUILD_DIR]   (default build/bench-vbmp3)
set -euo pipefail
src="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$src/build/bench-vbmp3}"
files="$build/bench-files-id3v2-half"

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target vbmp3_bench >/dev/null

python=""
for p in python3 /usr/bin/python3; do
  if "$p" -c 'import mutagen' 2>/dev/null; then python=$p; break; fi
done
[ -n "$python" ] || { echo "bench: python3-mutagen is missing (tools/bootstrap.sh)" >&2; exit 1; }

if [ ! -f "$files/list.txt" ]; then
  mkdir -p "$files/base" "$files/set"
  cd "$files/base"
  sox -n -r 44100 -b 16 -c 2 tone.wav synth 6 pinknoise vol 0.3
  sox -n -r 22050 -b 16 -c 1 mono.wav synth 6 sine 300-900
  lame --quiet -b 128 --id3v1-only --tt "Title" --ta "Artist" --tl "Album" --ty 2001 --tg Rock tone.wav cbr.mp3
  lame --quiet -V 2 --id3v1-only --tt "Song" --ta "Band" --tg Jazz tone.wav vbr.mp3
  lame --quiet -V 5 -t tone.wav vbr-noheader.mp3
  lame --quiet -b 64 -m m --resample 22.05 --id3v1-only --tt "Two" mono.wav mpeg2.mp3
  lame --quiet -V 7 --resample 11.025 mono.wav mpeg25.mp3
  twolame --quiet tone.wav layer2.mp2
  sox mono.wav -r 8000 small.wav
  # The same streams with an ID3v2 tag in front, as taggers write them:
  # 2.3 and 2.4, UTF-16 and Latin-1 texts, a comment, a genre reference.
  "$python" - <<'PY'
import shutil
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TDRC, COMM, TCON, TRCK, Encoding
for i, base in enumerate(["cbr", "vbr", "vbr-noheader", "mpeg2", "mpeg25", "layer2"]):
    ext = "mp2" if base == "layer2" else "mp3"
    shutil.copy(f"{base}.{ext}", f"{base}-v2.{ext}")
    tags = ID3()
    tags.add(TIT2(encoding=Encoding.UTF16, text=["テスト曲 %d" % i]))
    tags.add(TPE1(encoding=Encoding.UTF16, text=["アーティスト"]))
    tags.add(TALB(encoding=Encoding.LATIN1, text=["Album"]))
    tags.add(TDRC(encoding=Encoding.LATIN1, text=["2004-05-06"]))
    tags.add(COMM(encoding=Encoding.UTF16, lang="jpn", desc="", text=["コメント"]))
    tags.add(TCON(encoding=Encoding.LATIN1, text=["(17)Rock"]))
    tags.add(TRCK(encoding=Encoding.LATIN1, text=["3/12"]))
    tags.save(f"{base}-v2.{ext}", v2_version=3 if i % 2 else 4)
PY
  cd "$files/set"
  # 2,002 files: mostly streams with Xing/Info headers, as encoders write
  # them today, some without, Layer II and WAV; of each MPEG kind, 101 of
  # the 182 copies carry an ID3v2 tag (1,010 files in all).
  i=0
  for base in cbr cbr cbr vbr vbr vbr mpeg2 mpeg25 layer2 vbr-noheader small; do
    case $base in layer2) ext=mp2 ;; small) ext=wav ;; *) ext=mp3 ;; esac
    for n in $(seq 1 182); do
      from="$base"
      if [ "$ext" != wav ] && [ "$n" -le 101 ]; then from="$base-v2"; fi
      cp "../base/$from.$ext" "f$i.$ext"
      i=$((i + 1))
    done
  done
  ls "$files/set" | sed "s|^|$files/set/|" > "$files/list.txt"
fi
if [ ! -f "$files/vbr-long.mp3" ]; then
  # A long VBR stream without header (about 60 MB, so that starting `cat`
  # costs nothing next to reading): frames of one encoding, repeated.
  lame --quiet -V 0 -t "$files/base/tone.wav" "$files/base/long-part.mp3"
  for n in $(seq 1 400); do cat "$files/base/long-part.mp3"; done > "$files/vbr-long.mp3"
fi
mixed="$build/bench-files-mixed"
if [ ! -f "$mixed/list.txt" ]; then
  mkdir -p "$mixed/base" "$mixed/set"
  cd "$mixed/base"
  sox -n -r 44100 -b 16 -c 2 tone.wav synth 4 pinknoise vol 0.3
  lame --quiet -b 192 tone.wav song.mp3
  flac -s -f -o song.flac tone.wav
  ffmpeg -v quiet -y -i tone.wav -c:a aac -b:a 192k aac.m4a
  ffmpeg -v quiet -y -i tone.wav -c:a alac alac.m4a
  oggenc -Q -q 5 -o song.ogg tone.wav
  opusenc --quiet tone.wav song.opus
  "$python" - <<'PY'
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TDRC, TCON, TRCK, Encoding
from mutagen.flac import FLAC
from mutagen.mp4 import MP4
from mutagen.oggvorbis import OggVorbis
from mutagen.oggopus import OggOpus
tags = ID3()
tags.add(TIT2(encoding=Encoding.UTF16, text=["テスト曲"]))
tags.add(TPE1(encoding=Encoding.UTF16, text=["アーティスト"]))
tags.add(TALB(encoding=Encoding.UTF16, text=["アルバム"]))
tags.add(TDRC(encoding=Encoding.LATIN1, text=["2004-05-06"]))
tags.add(TCON(encoding=Encoding.LATIN1, text=["Rock"]))
tags.add(TRCK(encoding=Encoding.LATIN1, text=["3/12"]))
tags.save("song.mp3", v2_version=4)
for cls, name in ((FLAC, "song.flac"), (OggVorbis, "song.ogg"), (OggOpus, "song.opus")):
    f = cls(name)
    f.update({"TITLE": "テスト曲", "ARTIST": "アーティスト", "ALBUM": "アルバム",
              "DATE": "2004-05-06", "GENRE": "Rock", "TRACKNUMBER": "3/12"})
    f.save()
for name in ("aac.m4a", "alac.m4a"):
    f = MP4(name)
    f.update({"\xa9nam": ["テスト曲"], "\xa9ART": ["アーティスト"], "\xa9alb": ["アルバム"],
              "\xa9day": ["2004-05-06"], "\xa9gen": ["Rock"], "trkn": [(3, 12)]})
    f.save()
PY
  cd "$mixed/set"
  # 2,000 of each kind; AAC and ALAC share the .m4a thousands.
  for base in song.mp3 song.flac song.ogg song.opus; do
    for n in $(seq 1 2000); do cp "../base/$base" "$n-$base"; done
  done
  for n in $(seq 1 1000); do cp ../base/aac.m4a "$n-aac.m4a"; cp ../base/alac.m4a "$n-alac.m4a"; done
  ls "$mixed/set" | sed "s|^|$mixed/set/|" > "$mixed/list.txt"
fi

"$build/bin/vbmp3_bench" "$files/list.txt" "$files/vbr-long.mp3" "$mixed/list.txt"
