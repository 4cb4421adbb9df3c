#!/usr/bin/env bash
# Starts a PulseAudio server with a null sink under a given runtime folder, so
# that Wine's waveOut has a device that plays into nothing in real time (an
# ALSA null device plays about four times too fast to test positions).
# Prints the line to eval before running tests:
#   eval "$(tools/start-audio.sh build/x/pulse)"
# Calling it again reuses the running server. Prints nothing and exits 0 when
# pulseaudio is not installed, so the playback tests skip themselves.
# tools/start-audio.sh DIR --stop ends the server this script started there.
set -u

dir="${1:-}"
if [ -z "$dir" ]; then
  echo "usage: $0 RUNTIME_DIR [--stop]" >&2
  exit 2
fi
command -v pulseaudio >/dev/null 2>&1 || exit 0
mkdir -p "$dir" || exit 0
dir="$(cd "$dir" && pwd)"
socket="$dir/native"
pidfile="$dir/pulseaudio.pid"

running() {
  [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null && [ -S "$socket" ]
}

if [ "${2:-}" = "--stop" ]; then
  if [ -f "$pidfile" ]; then
    kill "$(cat "$pidfile")" 2>/dev/null
    rm -f "$pidfile"
  fi
  exit 0
fi

if ! running; then
  if [ -f "$pidfile" ]; then
    # A server from an earlier run that died: clear what it left behind.
    kill "$(cat "$pidfile")" 2>/dev/null
    rm -f "$pidfile"
  fi
  rm -f "$socket"
  mkdir -p "$dir/run" "$dir/home"
  chmod 700 "$dir/run"
  XDG_RUNTIME_DIR="$dir/run" HOME="$dir/home" setsid pulseaudio -n --daemonize=no \
    --exit-idle-time=-1 --use-pid-file=no --log-target=file:"$dir/pulseaudio.log" \
    --load="module-null-sink sink_name=nullsink" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$socket" \
    </dev/null >/dev/null 2>&1 &
  echo $! >"$pidfile"
  # The socket appears within a fraction of a second; give up after 5 s.
  for _ in $(seq 50); do
    [ -S "$socket" ] && break
    kill -0 "$(cat "$pidfile")" 2>/dev/null || break
    sleep 0.1
  done
  if ! running; then
    echo "start-audio: pulseaudio did not start, see $dir/pulseaudio.log" >&2
    rm -f "$pidfile"
    exit 0
  fi
fi
echo "export PULSE_SERVER=unix:$socket"
