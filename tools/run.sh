#!/usr/bin/env bash
# Builds the program if needed and runs it under Wine (installing what is
# missing first). Without a display it starts a virtual one; arguments are
# passed to the program as its command line (files to add).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash tools/bootstrap.sh
source tools/wine-session.sh
preset="$VELNOIR_WIN_PRESET"
if [ ! -f "build/$preset/CMakeCache.txt" ]; then cmake --preset "$preset" >/dev/null; fi
cmake --build --preset "$preset" --target velnoir dist >/dev/null
velnoir_session_start "$root/build/$preset"
trap velnoir_session_stop EXIT
echo "DISPLAY=$DISPLAY  program: build/$preset/dist/velnoir/velnoir.exe"
"$velnoir_wine" "build/$preset/dist/velnoir/velnoir.exe" "$@"
