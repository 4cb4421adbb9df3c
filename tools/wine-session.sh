# Sourced by the run and test scripts: picks the Windows build this machine
# can execute, and starts what Wine needs (a prefix in the build tree, a
# persistent wineserver, a virtual display, a null audio sink).
#
# Sets: VELNOIR_WIN_PRESET (win32 or win64), WINEPREFIX, DISPLAY, and the
# audio variables; stop everything with velnoir_session_stop.

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

velnoir_session_start() {
  local build="$1"
  export WINEPREFIX="$build/wineprefix"
  mkdir -p "$build" "$WINEPREFIX"
  # A virtual display unless there is a real one.
  if [ -z "${DISPLAY:-}" ] || [ -n "${VELNOIR_FORCE_XVFB:-}" ]; then
    local n=99
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    velnoir_xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  /usr/lib/wine/wineserver -p
  # The marker names the prefix settings below; a prefix made by an older
  # version of this script gets them on its next start.
  local ready="$WINEPREFIX/.velnoir-ready-2"
  if [ ! -f "$ready" ]; then
    "$velnoir_wine" wineboot -i >/dev/null 2>&1 || true
    # There is no window manager on the virtual display: Wine would wait two
    # seconds for one at every window it hides or destroys. Unmanaged windows
    # are placed and activated by Wine itself, with no such wait.
    "$velnoir_wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    # Japanese fonts under the names Windows programs ask for.
    local reg="HKCU\\Software\\Wine\\Fonts\\Replacements"
    "$velnoir_wine" reg add "$reg" /v "ＭＳ ゴシック" /d IPAGothic /f >/dev/null 2>&1 || true
    for face in "ＭＳ Ｐゴシック" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
      "$velnoir_wine" reg add "$reg" /v "$face" /d IPAPGothic /f >/dev/null 2>&1 || true
    done
    touch "$ready"
  fi
  "$velnoir_wine" cmd /c exit >/dev/null 2>&1 || true
  # One desktop for the whole session (see tests/support/desktop_keeper.cpp),
  # and tests that fail when they leave processes behind (see tools/wine).
  if [ -f "$build/bin/desktop_keeper.exe" ]; then
    "$velnoir_wine" "$build/bin/desktop_keeper.exe" </dev/null >/dev/null 2>&1 &
    # The desktop comes up in well under a second on an idle machine, but
    # may take many under load; the guard must not start before it is there,
    # or it would take the session's own desktop for one a test left behind.
    local _pid
    for _ in $(seq 1200); do
      for _pid in $(pgrep -f 'explorer.exe /desktop'); do
        grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$_pid/environ" 2>/dev/null && break 2
      done
      sleep 0.05
    done
    VELNOIR_GUARD_KEEP="$("$velnoir_root/tools/wine" --list-programs | tr '\n' ' ')"
    export VELNOIR_GUARD=1 VELNOIR_GUARD_KEEP
  fi
  # A sound device that plays into nothing in real time, for the player.
  if [ -x "$velnoir_root/tools/start-audio.sh" ]; then
    velnoir_audio_dir="$build/audio"
    eval "$("$velnoir_root/tools/start-audio.sh" "$velnoir_audio_dir" 2>/dev/null)" || true
  fi
}

velnoir_session_stop() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  [ -n "${velnoir_xvfb_pid:-}" ] && kill "$velnoir_xvfb_pid" >/dev/null 2>&1 || true
  if [ -n "${velnoir_audio_dir:-}" ] && [ -x "$velnoir_root/tools/start-audio.sh" ]; then
    "$velnoir_root/tools/start-audio.sh" "$velnoir_audio_dir" --stop >/dev/null 2>&1 || true
  fi
}
