#!/usr/bin/env bash
# Saves a PNG of the program's main window (or of the whole virtual screen
# when the window is not found) from the display the program runs on:
#   DISPLAY=:99 tools/screenshot.sh out.png ["window caption"]
set -euo pipefail
out="${1:-velnoir.png}"
caption="${2:-MP3 Velnoir}"
id=$(xdotool search --name "$caption" 2>/dev/null | head -n 1 || true)
if [ -n "$id" ]; then
  import -window "$id" "$out"
else
  import -window root "$out"
fi
echo "$out"
