#!/usr/bin/env bash
# Writes a PNG of each page of Tarnwick (first page, about box, split page,
# split settings before and during a run, join page) into a folder, default
# /tmp/tarnwick-shots.
# The program draws the pages itself under a virtual X display, so this works
# on a machine without a desktop. Builds the program first when needed.
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

if command -v xvfb-run >/dev/null 2>&1; then
  env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" "$exe" --screenshots "$out"
else
  echo "screenshots: xvfb-run not found, drawing offscreen instead" >&2
  QT_QPA_PLATFORM=offscreen "$exe" --screenshots "$out"
fi
echo "Pages written to $out"
