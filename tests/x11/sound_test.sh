#!/usr/bin/env bash
# WAV files: the formats that play are recognised, anything else is silent, and playing never
# hangs or fails, with or without a sound device; the bell rings through the X server.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
drv() { "$X11_TEST_BIN/x11_driver" "$@"; }

python3 - "$work" <<'PY'
import struct, sys, wave
d = sys.argv[1]
def make(name, channels, width, rate, seconds=0.2):
    with wave.open(f"{d}/{name}", "wb") as w:
        w.setnchannels(channels); w.setsampwidth(width); w.setframerate(rate)
        w.writeframes(b"\x80" * int(rate * seconds) * channels * width)
make("mono8.wav", 1, 1, 8000)
make("stereo16.wav", 2, 2, 44100)
make("mono16.wav", 1, 2, 22050)
# A LIST chunk of odd size before the samples.
pcm = b"\x00\x00" * 1000
fmt = struct.pack("<HHIIHH", 1, 1, 11025, 22050, 2, 16)
body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt + b"LIST" + struct.pack("<I", 3) + b"abc\0" + b"data" + struct.pack("<I", len(pcm)) + pcm
open(f"{d}/list.wav", "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)
# A data size past the end of the file.
cut = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", 0x7fffffff) + pcm[:100]
open(f"{d}/cut.wav", "wb").write(b"RIFF" + struct.pack("<I", 0xffffffff) + cut)
# Not playable: ADPCM, 24 bits, six channels, no data, a fmt chunk cut short, not a WAV.
for name, f in [("adpcm", struct.pack("<HHIIHH", 2, 1, 8000, 4000, 256, 4)),
                ("bits24", struct.pack("<HHIIHH", 1, 1, 8000, 24000, 3, 24)),
                ("six", struct.pack("<HHIIHH", 1, 6, 8000, 96000, 12, 16))]:
    b = b"WAVE" + b"fmt " + struct.pack("<I", 16) + f + b"data" + struct.pack("<I", 4) + b"\0" * 4
    open(f"{d}/{name}.wav", "wb").write(b"RIFF" + struct.pack("<I", len(b)) + b)
open(f"{d}/nodata.wav", "wb").write(b"RIFF\x10\0\0\0WAVEfmt \x10\0\0\0" + fmt)
open(f"{d}/shortfmt.wav", "wb").write(b"RIFF\x10\0\0\0WAVEfmt \x10\0\0\0\x01\0")
open(f"{d}/text.wav", "wb").write(b"this is not a sound")
PY

while read -r file want; do
  got=$(drv wave-info "$work/$file")
  [ "$got" = "$want" ] || fail "$file: $got, expected $want"
done <<'EOF_CASES'
mono8.wav 1 channels, 8 bits, 8000 Hz, 1600 bytes
stereo16.wav 2 channels, 16 bits, 44100 Hz, 35280 bytes
mono16.wav 1 channels, 16 bits, 22050 Hz, 8820 bytes
list.wav 1 channels, 16 bits, 11025 Hz, 2000 bytes
cut.wav 1 channels, 16 bits, 11025 Hz, 100 bytes
adpcm.wav unplayable
bits24.wav unplayable
six.wav unplayable
nodata.wav unplayable
shortfmt.wav unplayable
text.wav unplayable
EOF_CASES

# Every file plays (or stays silent) and returns: waiting, not waiting, one stopping another.
start=$(date +%s)
drv play "$work/mono8.wav" wait "$work/stereo16.wav" nowait "$work/mono16.wav" wait \
  "$work/missing.wav" wait "$work/text.wav" wait "$work/cut.wav" nowait "$work/list.wav" nowait
[ $(( $(date +%s) - start )) -lt 10 ] || fail "playing took too long"
drv bell || fail "the bell failed"
echo "sound_test: passed"
