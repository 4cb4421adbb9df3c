#!/usr/bin/env bash
# Short audio files of every kind the player takes, written into the folder
# given as the first argument: MPEG-1/2/2.5 Layer III by lame, Layer II by
# twolame, PCM WAV by sox, RIFF-wrapped MP3 and Layer I (which no installed
# encoder writes: silent frames, every bit allocation zero) by python3.
# Prints nothing on success; a missing tool leaves its files out and the tests
# that need them skip.
set -uo pipefail
out="$1"
mkdir -p "$out"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
have() { command -v "$1" >/dev/null 2>&1; }

if have sox; then
  # A tone rather than silence: encoders may shrink silence to nothing.
  sox -q -n -r 44100 -c 2 -b 16 "$tmp/t44s.wav" synth 2 sine 440 vol 0.5
  sox -q -n -r 22050 -c 1 -b 16 "$tmp/t22m.wav" synth 2 sine 440 vol 0.5
  sox -q -n -r 8000 -c 1 -b 16 "$tmp/t8m.wav" synth 2 sine 440 vol 0.5
  sox -q -n -r 48000 -c 2 -b 16 "$tmp/t48s.wav" synth 2 sine 440 vol 0.5
  sox -q -n -r 24000 -c 1 -b 16 "$tmp/t24m.wav" synth 2 sine 440 vol 0.5
  sox -q -n -r 44100 -c 2 -b 16 "$tmp/n44s.wav" synth 12 pinknoise vol 0.5
  sox -q -n -r 44100 -c 2 -b 16 "$out/pcm16_stereo.wav" synth 4 sine 440 vol 0.5
  sox -q -n -r 22050 -c 1 -b 8 "$out/pcm8_mono.wav" synth 1 sine 440 vol 0.5
  # A WAV coding the player does not take.
  sox -q -n -r 22050 -c 1 -e ima-adpcm "$out/adpcm.wav" synth 1 sine 440 vol 0.5
fi

if have lame && [ -f "$tmp/t44s.wav" ]; then
  lame --quiet --cbr -b 128 --id3v1-only --tt "Playback test" --ta "Velnoir" \
    "$tmp/t44s.wav" "$out/mpeg1_l3.mp3"
  lame --quiet --cbr -b 32 -m m --id3v1-only --tt "MPEG-2" "$tmp/t22m.wav" "$out/mpeg2_l3.mp3"
  lame --quiet --cbr -b 16 -m m "$tmp/t8m.wav" "$out/mpeg25_l3.mp3"
  lame --quiet -V 4 --id3v1-only --tt "Variable" "$tmp/t44s.wav" "$out/vbr_l3.mp3"
  lame --quiet --cbr -b 320 --id3v1-only --tt "Heavy" "$tmp/n44s.wav" "$out/cbr320.mp3"
  # lame keeps only Latin-1 titles; python3 below writes a Japanese one.
  lame --quiet --cbr -b 64 -m m --id3v1-only --tt "-" "$tmp/t22m.wav" "$out/sjis_title.mp3"
fi

if have twolame && [ -f "$tmp/t48s.wav" ]; then
  twolame --quiet -b 192 "$tmp/t48s.wav" "$out/mpeg1_l2.mp2"
  twolame --quiet -b 64 -m m "$tmp/t24m.wav" "$out/mpeg2_l2.mp2"
fi

if have python3; then
  python3 - "$out" <<'PY'
import os, struct, sys
out = sys.argv[1]

def layer1(path, header, length, frames):
    # Header bytes, then zero bit allocations: each frame decodes to silence.
    frame = bytes(header) + bytes(length - 4)
    with open(path, "wb") as f:
        f.write(frame * frames)

# MPEG-1 Layer I, 48 kHz, 128 kbps, stereo: 128-byte frames of 384 samples.
layer1(os.path.join(out, "mpeg1_l1.mp1"), [0xFF, 0xFF, 0x44, 0x00], 128, 250)
# MPEG-2 Layer I, 24 kHz, 64 kbps, mono: 128-byte frames of 384 samples.
layer1(os.path.join(out, "mpeg2_l1.mp1"), [0xFF, 0xF7, 0x44, 0xC0], 128, 125)

def riff(path, form, chunks):
    body = form
    for cid, data in chunks:
        body += cid + struct.pack("<I", len(data)) + data
        if len(data) % 2:
            body += b"\0"
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)

# A title that fills the whole 30-byte field, in code page 932.
sjis = os.path.join(out, "sjis_title.mp3")
if os.path.exists(sjis):
    data = bytearray(open(sjis, "rb").read())
    if data[-128:-125] == b"TAG":
        data[-125:-95] = ("再生テスト" * 3).encode("cp932")
        open(sjis, "wb").write(bytes(data))

src = os.path.join(out, "mpeg1_l3.mp3")
if os.path.exists(src):
    mp3 = open(src, "rb").read()
    if mp3[-128:-125] == b"TAG":
        mp3 = mp3[:-128]
    riff(os.path.join(out, "riff.rmp"), b"RMP3", [(b"data", mp3)])
    # MPEG Layer III inside a WAV, as some tools write it.
    fmt = struct.pack("<HHIIHHHHIHHH", 0x55, 2, 44100, 16000, 1, 0, 12, 1, 2, 417, 1, 0)
    riff(os.path.join(out, "mp3_in.wav"), b"WAVE", [(b"fmt ", fmt), (b"data", mp3)])
PY
fi
if have flac && have sox; then
  # FLAC, decoded by the library itself: the reference decoder's WAV beside it.
  sox -q -D -n -r 44100 -c 2 -b 16 "$tmp/f16.wav" synth 2 sine 440 pinknoise vol 0.5
  flac -s -f -8 -o "$out/flac16_stereo.flac" "$tmp/f16.wav"
  flac -s -d -f -o "$out/flac16_stereo.ref.wav" "$out/flac16_stereo.flac"
  sox -q -D -n -r 96000 -c 1 -b 24 "$tmp/f24.wav" synth 2 sine 1000 vol 0.5
  flac -s -f -o "$out/flac24_mono.flac" "$tmp/f24.wav"
fi
# Formats whose tags the library reads but whose audio it does not decode.
if have oggenc && have sox; then
  sox -q -n -r 44100 -c 2 -b 16 "$tmp/o16.wav" synth 1 sine 440 vol 0.5
  oggenc -Q -o "$out/vorbis.ogg" "$tmp/o16.wav"
  have opusenc && opusenc --quiet "$tmp/o16.wav" "$out/opus.opus"
fi
exit 0
