#!/usr/bin/env bash
# Installs what building, running and testing need, and only what is missing,
# so that a second call costs a second. Debian 12, run as root (or with sudo).
set -euo pipefail

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

need=()
have() { dpkg -s "$1" >/dev/null 2>&1; }

pkgs=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev libgtest-dev googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools file
  wine wine32:i386 wine64
  xvfb xauth locales fonts-ipafont-gothic xdotool imagemagick
  pulseaudio libasound2-plugins:i386 lame twolame sox vorbis-tools opus-tools
  libtag1-dev pkg-config zip python3 python3-mutagen flac ffmpeg
)
for p in "${pkgs[@]}"; do have "$p" || need+=("$p"); done

if [ ${#need[@]} -gt 0 ]; then
  echo "bootstrap: installing ${need[*]}" >&2
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# Wine takes its ANSI code page from the locale: without ja_JP.UTF-8 it is 1252.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $SUDO sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
