# Sourced by the run and test scripts: picks the Windows build this machine
# can execute, and starts what Wine needs (a prefix in the build tree, a
# persistent wineserver, a virtual display, a null audio sink).
#
# Sets: VELNOIR_WIN_PRESET (win32 or win64), WINEPREFIX, DISPLAY, and the
# audio variables; stop everything with velnoir_session_stop.
#
# A session can have several workers, each with a prefix and a display of its
# own, so that Windows tests run side by side without sharing a registry, a
# temp folder, a desktop or the focus: `velnoir_session_start BUILD 2`. It
# writes a ctest resource file naming the workers (VELNOIR_WORKERS_FILE);
# tools/wine puts each test in the prefix and on the display of the worker
# ctest gave it. Worker 0 is the session's own WINEPREFIX and DISPLAY.

velnoir_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Some sandboxes cannot execute 32-bit code at all; there the same sources
# are built for 64-bit Windows and run under wine64.
if /lib/ld-linux.so.2 --version >/dev/null 2>&1 && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  VELNOIR_WIN_PRESET=win32
else
  VELNOIR_WIN_PRESET=win64
fi
export VELNOIR_WIN_PRESET

export LANG=ja_JP.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$VELNOIR_WIN_PRESET" = win64 ]; then
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  velnoir_wine=/usr/lib/wine/wine64
else
  export WINEARCH=win32
  velnoir_wine=/usr/lib/wine/wine
fi

# The marker names the prefix settings of velnoir_prefix_prepare; a prefix
# made by an older version of this script gets them on its next start.
velnoir_prefix_marker=.velnoir-ready-2

# The prefix of worker K of a build.
velnoir_prefix_of() {
  if [ "$2" = 0 ]; then echo "$1/wineprefix"; else echo "$1/wineprefix-$2"; fi
}

# Makes the prefix in WINEPREFIX ready for the tests, once: creating one
# takes about 15 s, so tools/test.sh does it in the background while it
# builds (velnoir_prefixes_prepare).
velnoir_prefix_prepare() {
  local ready="$WINEPREFIX/$velnoir_prefix_marker"
  [ -f "$ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  "$velnoir_wine" wineboot -i >/dev/null 2>&1 || true
  # There is no window manager on the virtual display: Wine would wait two
  # seconds for one at every window it hides or destroys. Unmanaged windows
  # are placed and activated by Wine itself, with no such wait.
  "$velnoir_wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  # Japanese fonts under the names Windows programs ask for.
  local reg="HKCU\\Software\\Wine\\Fonts\\Replacements" face
  "$velnoir_wine" reg add "$reg" /v "ＭＳ ゴシック" /d IPAGothic /f >/dev/null 2>&1 || true
  for face in "ＭＳ Ｐゴシック" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
    "$velnoir_wine" reg add "$reg" /v "$face" /d IPAPGothic /f >/dev/null 2>&1 || true
  done
  touch "$ready"
}

# Makes the prefixes of workers 0..N-1 of a build and waits until they are
# saved (a session's persistent server could not start while a booting one
# still runs). Worker 0's prefix is booted; the others are copies of it: a
# boot takes about ten seconds of processor time, a copy a moment.
velnoir_prefixes_prepare() {
  local build="$1" workers="${2:-1}" k first other
  first="$(velnoir_prefix_of "$build" 0)"
  if [ ! -f "$first/$velnoir_prefix_marker" ]; then
    (
      export WINEPREFIX="$first"
      velnoir_prefix_prepare
      /usr/lib/wine/wineserver -w >/dev/null 2>&1 || true
    )
  fi
  for ((k = 1; k < workers; k++)); do
    other="$(velnoir_prefix_of "$build" "$k")"
    [ -f "$other/$velnoir_prefix_marker" ] && continue
    rm -rf "$other" && cp -a "$first" "$other"
  done
}

velnoir_session_start() {
  local build="$1" workers="${2:-1}" k prefix display keep="" worker_list="" worker_pids=()
  mkdir -p "$build"
  velnoir_session_prefixes=()
  velnoir_xvfb_pids=()
  local own_display="${DISPLAY:-}"
  [ -n "${VELNOIR_FORCE_XVFB:-}" ] && own_display=""
  for ((k = 0; k < workers; k++)); do
    prefix="$(velnoir_prefix_of "$build" "$k")"
    # A virtual display unless there is a real one (which only worker 0 uses).
    if [ "$k" = 0 ] && [ -n "$own_display" ]; then
      display="$own_display"
    else
      # Other sessions may start displays at the same time: a server that
      # lost the race for a number ends, and the next number is tried.
      local n=99 pid
      while :; do
        while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 100); do
          [ -e "/tmp/.X11-unix/X$n" ] && break
          kill -0 "$pid" 2>/dev/null || break
          sleep 0.1
        done
        sleep 0.1
        kill -0 "$pid" 2>/dev/null && break
        n=$((n + 1))
      done
      velnoir_xvfb_pids+=("$pid")
      display=":$n"
    fi
    velnoir_session_prefixes+=("$prefix")
    export "VELNOIR_WINEPREFIX_$k=$prefix" "VELNOIR_DISPLAY_$k=$display"
    # The workers' prefixes start side by side; each writes down what runs
    # in it once it is ready.
    rm -f "$build/.velnoir-keep-$k"
    (
      export WINEPREFIX="$prefix" DISPLAY="$display"
      mkdir -p "$WINEPREFIX"
      /usr/lib/wine/wineserver -p
      velnoir_prefix_prepare
      "$velnoir_wine" cmd /c exit >/dev/null 2>&1 || true
      # One desktop for the whole session (see tests/support/desktop_keeper.cpp).
      if [ -f "$build/bin/desktop_keeper.exe" ]; then
        "$velnoir_wine" "$build/bin/desktop_keeper.exe" </dev/null >/dev/null 2>&1 &
        # The guard's list of kept programs is taken once the keeper and its
        # desktop run and nothing else comes or goes for a while: a desktop
        # left by the warm-up above may still close and be replaced. Under
        # load this can take seconds.
        local now="" before="" commands="" same=0
        for _ in $(seq 200); do
          now="$("$velnoir_root/tools/wine" --list-programs | sort | tr '\n' ' ')"
          commands="$(for _pid in $now; do tr '\0' ' ' <"/proc/$_pid/cmdline" 2>/dev/null; echo; done)"
          if [ "$now" = "$before" ] && grep -q 'desktop_keeper\.exe' <<<"$commands" &&
             grep -q 'explorer\.exe /desktop' <<<"$commands"; then
            same=$((same + 1))
            [ "$same" -ge 8 ] && break
          else
            same=0
          fi
          before="$now"
          sleep 0.1
        done
        echo "$now" >"$build/.velnoir-keep-$k"
      fi
    ) &
    worker_pids+=($!)
    worker_list+="${worker_list:+, }{\"id\": \"$k\", \"slots\": 1}"
  done
  wait "${worker_pids[@]}"
  for ((k = 0; k < workers; k++)); do
    [ -f "$build/.velnoir-keep-$k" ] && keep+="$(cat "$build/.velnoir-keep-$k") "
  done
  export WINEPREFIX="$VELNOIR_WINEPREFIX_0" DISPLAY="$VELNOIR_DISPLAY_0"
  # Tests that fail when they leave processes behind (see tools/wine); what
  # runs now in any worker's prefix is the session's and is kept.
  if [ -f "$build/bin/desktop_keeper.exe" ]; then
    VELNOIR_GUARD_KEEP="$keep"
    export VELNOIR_GUARD=1 VELNOIR_GUARD_KEEP
  fi
  # The resource file the "-workers" test presets name: one "wine"
  # resource per worker.
  VELNOIR_WORKERS_FILE="$build/wine-workers.json"
  printf '{"version": {"major": 1, "minor": 0},\n "local": [{"wine": [%s]}]}\n' "$worker_list" \
    >"$VELNOIR_WORKERS_FILE"
  export VELNOIR_WORKERS_FILE
  # A sound device that plays into nothing in real time, for the player; the
  # workers share it.
  if [ -x "$velnoir_root/tools/start-audio.sh" ]; then
    velnoir_audio_dir="$build/audio"
    eval "$("$velnoir_root/tools/start-audio.sh" "$velnoir_audio_dir" 2>/dev/null)" || true
  fi
}

velnoir_session_stop() {
  local prefix pid
  for prefix in "${velnoir_session_prefixes[@]}"; do
    WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  done
  for pid in "${velnoir_xvfb_pids[@]}"; do kill "$pid" >/dev/null 2>&1 || true; done
  if [ -n "${velnoir_audio_dir:-}" ] && [ -x "$velnoir_root/tools/start-audio.sh" ]; then
    "$velnoir_root/tools/start-audio.sh" "$velnoir_audio_dir" --stop >/dev/null 2>&1 || true
  fi
}
