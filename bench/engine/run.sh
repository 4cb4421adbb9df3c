#!/usr/bin/env bash
# Benchmarks of the rename engine under Wine, on the x86_64 build:
#   bench/engine/run.sh [BUILD_DIR]
# BUILD_DIR defaults to the Windows build this machine runs under Wine
# (build/win32, or build/win64 where only 64-bit code runs), which it builds
# when the benchmark exes are missing. Makes the audio files itself
# (a few tiny lame-made MP3s, copied with their own ID3v1 tags), then prints
# the figures. Uses $DISPLAY, or its own Xvfb on :$BENCH_DISPLAY (default 91).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
if [ -z "${1:-}" ]; then
  preset=$( (source "$root/tools/wine-session.sh" >/dev/null 2>&1; echo "$VELNOIR_WIN_PRESET") )
  [ -f "$root/build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  set -- "$root/build/$preset"
fi
build="$(cd "$1" && pwd)"
# The benchmarks are no part of the default build: made (or brought up to
# date) here.
cmake --build "$build" --target add_entries_bench add_responsive_bench rename_run_bench undo_bench VBMP3 >/dev/null
bin="$build/bin"
data="$build/bench-engine-data"
wine="$root/tools/wine"
export WINEPREFIX="$build/wineprefix" LANG=ja_JP.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
server_started=""
cleanup() {
  [ -n "$server_started" ] && /usr/lib/wine/wineserver -k || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  display=":${BENCH_DISPLAY:-91}"
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY="$display"
  sleep 1
fi
# One persistent server for all runs, unless one already serves this prefix
# (then -p answers 2 at once); its output must not hold our pipes.
mkdir -p "$WINEPREFIX"
if /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1; then server_started=1; fi
"$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true

winpath() { printf 'Z:%s' "${1//\//\\}"; }

rm -rf "$data"
mkdir -p "$data"
sox -n -r 44100 -c 1 "$data/silence.wav" trim 0 0.05
for k in 1 2 3; do
  lame --quiet -b 32 --id3v1-only --tt "base$k" --ta "lame" "$data/silence.wav" "$data/base$k.mp3"
done

# Copies of the lame files, each with its own ID3v1 tag (and so its own bytes).
python3 - "$data" <<'PY'
import os, sys
data = sys.argv[1]
bases = []
for k in (1, 2, 3):
    b = open(os.path.join(data, f"base{k}.mp3"), "rb").read()
    assert b[-128:-125] == b"TAG"
    bases.append(b[:-128])

def field(text, width):
    return text.encode("ascii")[:width].ljust(width, b"\0")

def tagged(i, title, artist):
    tag = b"TAG" + field(title, 30) + field(artist, 30) + field("Album", 30) + field("2024", 4) + field("", 30) + bytes([12])
    return bases[i % 3] + tag

def folder(name):
    p = os.path.join(data, name)
    os.makedirs(p)
    return p

add = folder("add")
for i in range(10000):
    album = os.path.join(add, f"album{i // 100:03d}")
    if i % 100 == 0:
        os.makedirs(album)
    open(os.path.join(album, f"track{i:05d}.mp3"), "wb").write(tagged(i, f"Title {i}", f"Artist {i % 97}"))

# A collection of 20,000 files in 200 album folders, added in the background.
add20k = folder("add20k")
for i in range(20000):
    album = os.path.join(add20k, f"album{i // 100:03d}")
    if i % 100 == 0:
        os.makedirs(album)
    open(os.path.join(album, f"track{i:05d}.mp3"), "wb").write(tagged(i, f"Title {i}", f"Artist {i % 97}"))

# Rename sets laid out as a collection is: album folders of 100 tracks.
# (Wine looks a missing name up by reading the whole folder, so one folder
# of 20,000 files measures Wine's directory scan rather than the run.)
for n, name in ((10000, "run10k"), (20000, "run20k"), (100000, "run100k")):
    d = folder(name)
    for i in range(n):
        album = os.path.join(d, f"album{i // 100:03d}")
        if i % 100 == 0:
            os.makedirs(album)
        open(os.path.join(album, f"src_{i:05d}.mp3"), "wb").write(tagged(i, f"T{i}", "A"))
        if i % 2 == 1:
            open(os.path.join(album, f"dup_{i:05d}.mp3"), "wb").write(tagged(i, f"D{i}", "B"))

# The undo sets: files that all get new names, so that the journal records
# as many renames and the undo takes back as many.
for n, name in ((10000, "undo10k"), (20000, "undo20k")):
    d = folder(name)
    for i in range(n):
        album = os.path.join(d, f"album{i // 100:03d}")
        if i % 100 == 0:
            os.makedirs(album)
        open(os.path.join(album, f"src_{i:05d}.mp3"), "wb").write(tagged(i, f"U{i}", "A"))

# A large collection: 100,000 files in 1,000 album folders.
d = folder("add100k")
for i in range(100000):
    album = os.path.join(d, f"album{i // 100:04d}")
    if i % 100 == 0:
        os.makedirs(album)
    open(os.path.join(album, f"track{i:06d}.mp3"), "wb").write(tagged(i, f"Title {i}", f"Artist {i % 97}"))
PY

echo "== The background add: 10,000 tagged MP3 files (100 album folders) into the shown list"
# Twice: the first pass meets files the generator has only just written,
# which this sandbox's file system opens several times slower; the second
# is a collection the file system has seen before (as after browsing it).
for pass in first second; do
  echo "-- $pass pass"
  "$wine" "$bin/add_entries_bench.exe" "$(winpath "$data/add")" </dev/null | cat
done
echo "== The background add: 10,000 files of every format (2,000 each of MP3, FLAC, M4A, Ogg Vorbis, Opus)"
mixed="$data/addmixed"
mkdir -p "$mixed/base"
sox -q -n -r 44100 -c 2 -b 16 "$mixed/base/tone.wav" synth 2 sine 440 vol 0.5
flac -s -f -o "$mixed/base/f.flac" "$mixed/base/tone.wav"
ffmpeg -v quiet -y -i "$mixed/base/tone.wav" -c:a aac -b:a 128k "$mixed/base/f.m4a"
oggenc -Q -o "$mixed/base/f.ogg" "$mixed/base/tone.wav"
opusenc --quiet "$mixed/base/tone.wav" "$mixed/base/f.opus"
cp "$data/base1.mp3" "$mixed/base/f.mp3"
for i in $(seq 0 99); do
  album="$mixed/album$(printf %03d "$i")"
  mkdir -p "$album"
  for t in $(seq 0 99); do
    ext=$(echo mp3 flac m4a ogg opus | cut -d' ' -f$((t % 5 + 1)))
    cp "$mixed/base/f.$ext" "$album/track$(printf %02d "$t").$ext"
  done
done
rm -rf "$mixed/base"
for pass in first second; do
  echo "-- $pass pass"
  "$wine" "$bin/add_entries_bench.exe" "$(winpath "$mixed")" "*" </dev/null | cat
done
echo "== Adding in the background: 20,000 files into the real main window, probed with WM_NULL"
"$wine" "$bin/add_responsive_bench.exe" "$(winpath "$data/add20k")" </dev/null | cat
echo "== Rename run: 10,000 entries in 100 album folders (half fail as duplicates)"
run_figure() {  # prints the run's lines; leaves its seconds in $figure
  "$wine" "$bin/rename_run_bench.exe" "$(winpath "$1")" </dev/null >"$data/run.out" || true
  cat "$data/run.out"
  figure=$(sed -n 's/^run: [0-9]* entries  \([0-9.]*\) s.*/\1/p' "$data/run.out")
}
run_figure "$data/run10k"
r10=$figure
echo "== Rename run: 20,000 entries in 200 album folders (half fail as duplicates)"
run_figure "$data/run20k"
r20=$figure
python3 -c "import sys; a, b = float(sys.argv[1]), float(sys.argv[2]); print(f'run: 10,000 {a:.3f} s, 20,000 {b:.3f} s, ratio {b/a:.2f} (target <= 2.1)')" "$r10" "$r20"
echo "== Rename run: 100,000 entries in 1,000 album folders (half fail as duplicates)"
run_figure "$data/run100k"
echo "== Undo journal: the run of 10,000 renames without and with it, and the undo of 10,000 renames"
"$wine" "$bin/undo_bench.exe" "$(winpath "$data/undo10k")" </dev/null | cat
echo "== Undo of 20,000 renames"
"$wine" "$bin/undo_bench.exe" "$(winpath "$data/undo20k")" --undo-only </dev/null | cat
echo "== 100,000 files: added as a drop and as a folder, the list's memory, removing half of it"
"$wine" "$bin/add_responsive_bench.exe" "$(winpath "$data/add100k")" --large </dev/null | cat
