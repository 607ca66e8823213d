#!/usr/bin/env bash
# Times how long the tracks page takes to draw the waveform of a 60-minute
# MP3 whole (from when the page loads the file to the last column painted,
# as the page logs it under tarnwick.tracks): first as a sketch from a few
# of its frames, then exact from the full decode; against ffmpeg decoding
# the same file to nothing on one thread in the same run, and prints the
# ratio. Runs the
# program under Xvfb with the silent audio output.
# Usage: bench/tracks-page.sh [FILE.mp3]   (default: a generated album)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/bench/out/tracks-page
build=${TARNWICK_BENCH_BUILD:-$root/build-release}
./scripts/setup.sh ffmpeg sox lame xvfb
mkdir -p "$out"
if [ -z "${TARNWICK_BENCH_BUILD:-}" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target tarnwick --parallel 2 >/dev/null
fi
source=${1:-$out/album.mp3}
if [ ! -s "$source" ]; then
  echo "making $source (60 min, 44.1 kHz stereo, CBR 192)" >&2
  sox -V1 -n -r 44100 -c 2 -b 16 -t wav - synth 3600 sine 200-2000 sine 3000-300 vol 0.4 \
    | lame --quiet -q 7 -b 192 --cbr - "$source.tmp"
  mv "$source.tmp" "$source"
fi

log=$out/page.log
export TARNWICK_AUDIO=null QT_LOGGING_RULES="tarnwick.tracks.info=true" XDG_CONFIG_HOME=$out/config
display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=$display "$build/src/app/tarnwick" --tracks "$source" >"$log" 2>&1 &
app=$!
for _ in $(seq 600); do
  grep -q "drawn whole" "$log" && break
  sleep 0.1
done
kill "$app" "$xvfb" 2>/dev/null || true
wait "$app" "$xvfb" 2>/dev/null || true
page_ms=$(sed -n 's/.*drawn whole after \([0-9]*\) ms.*/\1/p' "$log")
first_ms=$(sed -n 's/.*first waveform blocks after \([0-9]*\) ms.*/\1/p' "$log")
sketch_ms=$(sed -n 's/.*sketched whole.* after \([0-9]*\) ms.*/\1/p' "$log")
[ -n "$page_ms" ] || { echo "the page did not log its waveform; see $log" >&2; exit 1; }

start=$(date +%s%N)
ffmpeg -v error -threads 1 -i "$source" -f null -
ffmpeg_ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "waveform first pixels: ${first_ms} ms; sketched whole: ${sketch_ms:-none} ms; drawn whole (exact): ${page_ms} ms"
echo "ffmpeg decode (1 thread): ${ffmpeg_ms} ms"
awk -v p="$page_ms" -v f="$ffmpeg_ms" 'BEGIN { printf "ratio page/ffmpeg: %.2f\n", p / f }'
