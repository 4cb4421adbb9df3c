#!/usr/bin/env bash
# Audio files for the property dialog tests: silence of known lengths,
# encoded by lame with an ID3v1 tag only.
set -euo pipefail
out="$1"
mkdir -p "$out"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

silence() {  # seconds rate channels file
  sox -q -n -r "$2" -c "$3" -b 16 "$4" trim 0 "$1"
}

silence 90 44100 2 "$tmp/s90.wav"
lame --quiet --cbr -b 128 -m s --id3v1-only --tt "Title" --ta "Artist" --tl "Album" \
  --ty 2001 --tc "Comment" --tg "Rock" "$tmp/s90.wav" "$out/tagged90.mp3"

silence 5 8000 1 "$tmp/s5.wav"
lame --quiet --cbr -b 8 -m m --resample 8 --id3v1-only --tt "Five" "$tmp/s5.wav" "$out/short5.mp3"

silence 3600 8000 1 "$tmp/s3600.wav"
lame --quiet --cbr -b 8 -m m --resample 8 --id3v1-only --tt "Hour" "$tmp/s3600.wav" "$out/hour3600.mp3"
