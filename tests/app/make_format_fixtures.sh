#!/usr/bin/env bash
# Files of the formats whose tags are not ID3, made by the real encoders
# (flac, ffmpeg, oggenc, opusenc from a sox tone) and tagged by mutagen, into
# the folder given as the first argument. A missing tool leaves its files
# out and the tests that need them skip.
set -uo pipefail
out="$1"
mkdir -p "$out"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
have() { command -v "$1" >/dev/null 2>&1; }
have sox || exit 0
sox -q -n -r 44100 -c 2 -b 16 "$tmp/t16.wav" synth 3 sine 440 vol 0.5
sox -q -n -r 48000 -c 2 -b 24 "$tmp/t24.wav" synth 3 sine 440 vol 0.5
have flac && flac -s -f -o "$out/song.flac" "$tmp/t16.wav"
if have ffmpeg; then
  ffmpeg -v quiet -y -i "$tmp/t16.wav" -c:a aac -b:a 128k "$out/song.m4a"
  ffmpeg -v quiet -y -i "$tmp/t24.wav" -c:a alac "$out/alac.m4a"
fi
have oggenc && oggenc -Q -o "$out/song.ogg" "$tmp/t16.wav"
have opusenc && opusenc --quiet "$tmp/t16.wav" "$out/song.opus"

python=""
for p in python3 /usr/bin/python3; do
  if "$p" -c 'import mutagen' 2>/dev/null; then python="$p"; break; fi
done
if [ -z "$python" ]; then rm -f "$out"/*; exit 0; fi
"$python" - "$out" <<'PY'
import os, sys
from mutagen.flac import FLAC
from mutagen.mp4 import MP4
from mutagen.oggopus import OggOpus
from mutagen.oggvorbis import OggVorbis

out = sys.argv[1]
def vorbis(cls, name, title):
    path = os.path.join(out, name)
    if not os.path.exists(path): return
    f = cls(path)
    f["TITLE"] = title
    f["ARTIST"] = "作者"
    f["ALBUM"] = "盤"
    f["DATE"] = "2001-02-03"
    f["TRACKNUMBER"] = "3/12"
    f.save()
def mp4(name, title):
    path = os.path.join(out, name)
    if not os.path.exists(path): return
    f = MP4(path)
    f["\xa9nam"] = [title]
    f["\xa9ART"] = ["作者"]
    f["\xa9alb"] = ["盤"]
    f["\xa9day"] = ["2001-02-03"]
    f["trkn"] = [(3, 12)]
    f.save()
vorbis(FLAC, "song.flac", "フラックの歌")
vorbis(OggVorbis, "song.ogg", "ボルビスの歌")
vorbis(OggOpus, "song.opus", "オーパスの歌")
mp4("song.m4a", "エーエーシーの歌")
mp4("alac.m4a", "アラックの歌")
PY
