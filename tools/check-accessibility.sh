#!/usr/bin/env bash
# Lists every focusable control of every page of Tarnwick as a screen reader
# finds it in the accessibility tree (AT-SPI), on a private X server and
# session bus: the first page, the about box, the split page and its
# settings dialog, the join page and its settings page, the tracks page. Fails when one has
# no name.
#   tools/check-accessibility.sh [BUILD_DIR] [LISTING_FILE]
# Needs xvfb, xdotool, at-spi2-core and python3-pyatspi (it installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-$build/accessibility.txt}
case $build in /*) ;; *) build=$PWD/$build ;; esac
program=$build/src/app/tarnwick
[ -x "$program" ] || { echo "check-accessibility: build first ($program)" >&2; exit 1; }
./scripts/setup.sh xvfb xauth xdotool at-spi2-core python3-pyatspi

if [ "${TARNWICK_A11Y_INNER:-}" != 1 ]; then
  # A display and a session bus of our own; the accessibility bus starts on it.
  export TARNWICK_A11Y_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- "$0" "$@"
fi

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 TARNWICK_AUDIO=null NO_AT_BRIDGE=0
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Two seconds of tone to split and join.
python3 - "$work/tone.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
    w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i / 10))) for i in range(44100)))
PY
cp "$work/tone.wav" "$work/second.wav"

status=0
: >"$out"
# The system interpreter: pyatspi is a Debian package.
list() { /usr/bin/python3 tools/atspi-list.py "$@" >>"$out" || status=1; }
start() {
  (cd "$work" && exec "$program" "$@" >"$work/log" 2>&1) &
  pid=$!
  sleep 2
}
stop() { kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; pid=; }

start
list --title "first page"
# The about box: the window menu (Menu key), its last entry.
xdotool search --sync --onlyvisible --name '^Tarnwick$' windowactivate --sync 2>/dev/null || true
xdotool key Menu; sleep 1; xdotool key Up Return; sleep 1
list --title "about box"
stop

start "$work/tone.wav"
list --title "split page" --wait 2
list --title "split settings" --type "Input break point(time) eg.00:00:00=00:00:01" --press "Add a breakpoint" \
  --type "Input break point(time) eg.00:00:00=00:00:02" --press "Add a breakpoint" --press "Next"
stop

start --merge "$work/tone.wav" "$work/second.wav"
list --title "join page"
list --title "join settings" --press "Setting"
stop

start --tracks "$work/tone.wav"
list --title "tracks page" --wait 2
stop

cat "$out"
echo "listing: $out"
exit $status
