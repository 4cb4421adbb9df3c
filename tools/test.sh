#!/usr/bin/env bash
# Builds everything and runs every test: the portable code natively with
# AddressSanitizer and UBSan (plus short fuzzing runs), and the Windows build
# under Wine on a virtual display. Installs what is missing first.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash tools/bootstrap.sh || exit 1

jobs="${VELNOIR_JOBS:-$(nproc)}"
log="$root/build/test-logs"
mkdir -p "$log"
failed=0
passed_total=0
failed_total=0

count() {  # adds the counts of a ctest log to the totals
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1)
  if [ -n "$line" ]; then
    local bad all
    bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
    all=$(echo "$line" | sed -E 's/.* out of ([0-9]+).*/\1/')
    passed_total=$((passed_total + all - bad))
    failed_total=$((failed_total + bad))
  fi
}

step() { echo "== $*"; }

# Seconds each phase took, for the summary at the end.
phases=()
phase_start=0
phase_begin() { phase_start=$(date +%s%N); }
phase_end() {
  local tenths=$(( ($(date +%s%N) - phase_start) / 100000000 ))
  phases+=("$(printf '%-30s %5d.%d s' "$1" $((tenths / 10)) $((tenths % 10)))")
}

# The closing summary: what each phase took and the slowest tests, so that a
# slow run explains itself in the log.
timing_summary() {
  echo
  echo "== timing"
  local line
  for line in "${phases[@]}"; do echo "  $line"; done
  echo "  slowest tests:"
  cat "$log"/*-test.log 2>/dev/null |
    sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) \.+.* ([0-9.]+) sec$/\2 \1/p' |
    sort -rn | head -n 5 | while read -r secs name; do printf '    %7.2f s  %s\n' "$secs" "$name"; done
}

# The Windows tests run on several workers at once, each with a Wine prefix
# and a virtual display of its own (see tools/wine-session.sh). Making the
# prefixes (one boot, copies of it for the others) takes about 15 s of mostly
# waiting: it is done while the code builds.
# A window test keeps a core busy for only part of its time (Wine's server
# and display wait in between), so one worker more than there are cores
# fills the machine: on two cores, 93 s with three workers against 105 s
# with two. More than four only cost disk (about 600 MB a prefix).
cores=$(nproc)
wine_workers="${VELNOIR_WINE_WORKERS:-$(( cores + 1 < 4 ? cores + 1 : 4 ))}"
# The Windows build this machine can execute: win32, or win64 where Wine
# runs only 64-bit code.
preset="$( (source tools/wine-session.sh; echo "$VELNOIR_WIN_PRESET") )"
win_build="$root/build/$preset"
( source tools/wine-session.sh; velnoir_prefixes_prepare "$win_build" "$wine_workers" ) \
  >"$log/wine-prefixes.log" 2>&1 &
prefixes_pid=$!
# The Windows builds are configured meanwhile too: a configure is seconds of
# compiler checks on one core.
cmake --preset win32 >"$log/win32-configure.log" 2>&1 &
win32_configure=$!
win_configure=$win32_configure
if [ "$preset" != win32 ]; then
  cmake --preset "$preset" >"$log/$preset-configure.log" 2>&1 &
  win_configure=$!
fi

# 1. Portable code on Linux.
step "native build (clang, AddressSanitizer + UBSan)"
phase_begin
if cmake --preset native >"$log/native-configure.log" 2>&1 &&
   cmake --build --preset native -j "$jobs" >"$log/native-build.log" 2>&1; then
  phase_end "native build"
  step "native tests"
  phase_begin
  ctest --preset native -j "$jobs" 2>&1 | tee "$log/native-test.log" | tail -n 25
  [ "${PIPESTATUS[0]}" -eq 0 ] || failed=1
  count "$log/native-test.log"
  phase_end "native tests"
else
  echo "native build failed; see $log/native-*.log"; tail -n 40 "$log/native-build.log" "$log/native-configure.log" 2>/dev/null
  failed=1
fi

# 2. The program for 32-bit Windows, always: it is what users get. Where
# 32-bit code cannot run, its tests could not run either: only the program
# folder, its zip and the probe are built.
source tools/wine-session.sh
win32_targets=()
[ "$preset" = win32 ] || win32_targets=(--target dist vbmp3probe)
step "Windows build (win32, the program folder and its zip)"
phase_begin
if wait "$win32_configure" &&
   cmake --build --preset win32 -j "$jobs" "${win32_targets[@]}" >"$log/win32-build.log" 2>&1; then
  echo "program folder: build/win32/dist/velnoir"
  phase_end "Windows build (win32)"
else
  echo "win32 build failed; see $log/win32-*.log"; tail -n 40 "$log/win32-build.log" "$log/win32-configure.log" 2>/dev/null
  failed=1
fi

# 3. Windows tests under Wine, on the build this machine can execute.
if [ "$preset" != win32 ]; then
  step "this machine runs only 64-bit code: Windows tests use the win64 build of the same sources"
  phase_begin
  if ! { wait "$win_configure" &&
         cmake --build --preset "$preset" -j "$jobs" >"$log/$preset-build.log" 2>&1; }; then
    echo "$preset build failed; see $log/$preset-*.log"; tail -n 40 "$log/$preset-build.log" 2>/dev/null
    failed=1
  fi
  phase_end "Windows build ($preset)"
fi
if [ -d "build/$preset/bin" ]; then
  step "Windows tests under Wine ($preset)"
  phase_begin
  wait "$prefixes_pid"
  velnoir_session_start "$root/build/$preset" "$wine_workers"
  # One test at a time on each worker: a test has its worker's prefix and
  # display to itself.
  ctest --preset "$preset-workers" -j "$wine_workers" 2>&1 |
    tee "$log/$preset-test.log" | tail -n 25
  [ "${PIPESTATUS[0]}" -eq 0 ] || failed=1
  count "$log/$preset-test.log"
  velnoir_session_stop
  phase_end "Windows tests ($preset)"
fi

wait "$prefixes_pid" 2>/dev/null
timing_summary

echo
echo "${passed_total} passed, ${failed_total} failed"
exit "$failed"
