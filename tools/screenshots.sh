#!/usr/bin/env bash
# Writes a PNG of each page of Tarnwick (first page, about box, split page
# with and without its balloon tip, split settings before and during a run,
# join page empty and with three files, the encoder settings page) into a
# folder, default
# /tmp/tarnwick-shots.
# The program draws the pages itself under a virtual X display, so this works
# on a machine without a desktop. Builds the program first when needed.
#
# The split page is shown with a one-minute MP3 loaded and breakpoints at
# 00:00:10 and 00:00:40; the MP3 is made with sox and lame, or, when either
# is missing, the page is shown without a file.
#
#   tools/screenshots.sh [FOLDER]
#   TARNWICK_EXE=path/to/tarnwick tools/screenshots.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."

out="${1:-/tmp/tarnwick-shots}"
exe="${TARNWICK_EXE:-./build/src/app/tarnwick}"
if [ ! -x "$exe" ]; then
  ./scripts/build.sh
fi
mkdir -p "$out"
out="$(cd "$out" && pwd)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source=()
if command -v sox >/dev/null 2>&1 && command -v lame >/dev/null 2>&1; then
  sox -n -r 44100 -c 2 "$work/Song.wav" synth 60 sine 440 vol 0.3
  lame --quiet "$work/Song.wav" "$work/Song.mp3"
  source=("$work/Song.mp3")
else
  echo "screenshots: sox or lame not found, the split page is shown without a file" >&2
fi

if command -v xvfb-run >/dev/null 2>&1; then
  env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" "$exe" --screenshots "$out" "${source[@]}"
else
  echo "screenshots: xvfb-run not found, drawing offscreen instead" >&2
  QT_QPA_PLATFORM=offscreen "$exe" --screenshots "$out" "${source[@]}"
fi
echo "Pages written to $out"
