#!/usr/bin/env bash
# Generates the benchmark files, builds in Release and prints the figures:
# tag + stream data per file against TagLib (>= 2x faster is the target) and
# the walk of a VBR file without header against `cat` (>= half its speed).
#   bench/vbmp3/run.sh [BUILD_DIR]   (default build/bench-vbmp3)
set -euo pipefail
src="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$src/build/bench-vbmp3}"
files="$build/bench-files"

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target vbmp3_bench >/dev/null

if [ ! -f "$files/list.txt" ]; then
  mkdir -p "$files/base" "$files/set"
  cd "$files/base"
  sox -n -r 44100 -b 16 -c 2 tone.wav synth 6 pinknoise vol 0.3
  sox -n -r 22050 -b 16 -c 1 mono.wav synth 6 sine 300-900
  lame --quiet -b 128 --tt "Title" --ta "Artist" --tl "Album" --ty 2001 --tg Rock tone.wav cbr.mp3
  lame --quiet -V 2 --tt "Song" --ta "Band" --tg Jazz tone.wav vbr.mp3
  lame --quiet -V 5 -t tone.wav vbr-noheader.mp3
  lame --quiet -b 64 -m m --resample 22.05 --add-id3v2 --tt "Two" mono.wav mpeg2.mp3
  lame --quiet -V 7 --resample 11.025 mono.wav mpeg25.mp3
  twolame --quiet tone.wav layer2.mp2
  sox mono.wav -r 8000 small.wav
  cd "$files/set"
  # 2,000 files: mostly streams with Xing/Info headers, as encoders write
  # them today, some without, Layer II and WAV.
  i=0
  for base in cbr cbr cbr vbr vbr vbr mpeg2 mpeg25 layer2 vbr-noheader small; do
    case $base in layer2) ext=mp2 ;; small) ext=wav ;; *) ext=mp3 ;; esac
    for n in $(seq 1 182); do cp "../base/$base.$ext" "f$i.$ext"; i=$((i + 1)); done
  done
  ls "$files/set" | sed "s|^|$files/set/|" > "$files/list.txt"
fi
if [ ! -f "$files/vbr-long.mp3" ]; then
  # A long VBR stream without header (about 60 MB, so that starting `cat`
  # costs nothing next to reading): frames of one encoding, repeated.
  lame --quiet -V 0 -t "$files/base/tone.wav" "$files/base/long-part.mp3"
  for n in $(seq 1 400); do cat "$files/base/long-part.mp3"; done > "$files/vbr-long.mp3"
fi

"$build/bin/vbmp3_bench" "$files/list.txt" "$files/vbr-long.mp3"
