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
# Both Windows builds are configured meanwhile too: a configure is seconds
# of compiler checks on one core.
cmake --preset win32 >"$log/win32-configure.log" 2>&1 &
win32_configure=$!
cmake --preset win64 >"$log/win64-configure.log" 2>&1 &
win64_configure=$!

# 0. The style: every C++ file changed since the tree was last formatted
# as a whole is formatted as .clang-format says (a second or two).
step "format (tools/check_format.sh)"
if bash tools/check_format.sh; then
  passed_total=$((passed_total + 1))
else
  failed_total=$((failed_total + 1))
  failed=1
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

# 2. Both editions users get: the 32-bit program as specified and the 64-bit
# one. The edition this machine can execute is built whole, with its tests;
# the other only as its program folder, its zip (and for 32-bit, the probe).
source tools/wine-session.sh
build_edition() {  # preset, its configure job
  local edition="$1" configure="$2" targets=()
  if [ "$edition" != "$preset" ]; then
    targets=(--target dist)
    [ "$edition" = win32 ] && targets+=(--target vbmp3probe)
  fi
  step "Windows build ($edition${targets[*]:+, the program folder and its zip only})"
  phase_begin
  if wait "$configure" &&
     cmake --build --preset "$edition" -j "$jobs" "${targets[@]}" >"$log/$edition-build.log" 2>&1; then
    echo "program folder: build/$edition/dist/velnoir; zip: $(cd "build/$edition" && ls velnoir-*.zip)"
    phase_end "Windows build ($edition)"
  else
    echo "$edition build failed; see $log/$edition-*.log"
    tail -n 40 "$log/$edition-build.log" "$log/$edition-configure.log" 2>/dev/null
    failed=1
  fi
}
build_edition win32 "$win32_configure"
build_edition win64 "$win64_configure"

# 3. What can be checked of both without running them: the machine each
# file is for, that they need only Windows' own DLLs, the libraries'
# exported names, the zips' contents.
step "program folders checked without running them (tools/check_pe.py)"
python3 tools/check_pe.py build/win32 build/win64 2>&1 | tee "$log/check-pe.log" | grep -v '^ok '
[ "${PIPESTATUS[0]}" -eq 0 ] || failed=1
pe_line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log/check-pe.log" | tail -n 1)
if [ -n "$pe_line" ]; then
  passed_total=$((passed_total + ${pe_line%% passed*}))
  pe_failed=${pe_line#*, }
  failed_total=$((failed_total + ${pe_failed%% failed}))
fi

# 4. Windows tests under Wine, on the edition this machine can execute.
if [ -d "build/$preset/bin" ]; then
  step "Windows tests under Wine: the $preset edition, $(cd "build/$preset" && ls velnoir-*.zip 2>/dev/null)"
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
