#!/usr/bin/env bash
# Pictures of the options dialog's three pages, for a person to compare
# with the design. With the program running (tools/run.sh) on DISPLAY, it
# opens ツール > オプション, saves options_tab1.png .. options_tab3.png in
# OUT_DIR, and closes the dialog with Cancel:
#   DISPLAY=:99 tools/shoot_options.sh OUT_DIR
set -euo pipefail
out="${1:-.}"
mkdir -p "$out"
main=$(xdotool search --name "^MP3 Velnoir" | head -n 1)
[ -n "$main" ] || { echo "shoot_options: the program's window is not on $DISPLAY" >&2; exit 1; }
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key alt+t; sleep 0.3; xdotool key o
dialog=""
for _ in $(seq 50); do
  dialog=$(xdotool search --name "^オプション$" 2>/dev/null | head -n 1 || true)
  [ -n "$dialog" ] && break
  sleep 0.1
done
[ -n "$dialog" ] || { echo "shoot_options: the dialog did not open" >&2; exit 1; }
# The three tabs along the top of the page area, under the caption.
for page in 1 2 3; do
  xdotool mousemove --window "$dialog" $((45 + (page - 1) * 75)) 38 click 1
  sleep 0.5
  import -window "$dialog" "$out/options_tab$page.png"
  echo "$out/options_tab$page.png"
done
xdotool key Escape
