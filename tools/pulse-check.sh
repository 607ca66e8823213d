#!/usr/bin/env bash
# Proves the audio device path on a real sound server: starts a private
# PulseAudio (a null sink "tw", in a temporary runtime folder), points ALSA's
# default device at it, plays a generated file through the player's graph
# while recording the sink's monitor, and checks that what the sink got is
# the file's audio, and how soon Play (after loading, a pause or Stop) and a
# seek are heard (tarnwick-playcheck); then runs the core playback tests
# against the same server. The report ends with those figures. Exit status
# 77 means skipped: no server could be started here.
#
#   tools/pulse-check.sh [--ctest] [--build-dir DIR]
#
#   --ctest      for CTest: install and build nothing, skip when something
#                is missing
#   --build-dir  the build tree (default build/)
#
# The check runs twice: with the monitor read in 2 s pieces, which leaves the
# server as it is when nothing records (an idle null sink renders 2 s ahead,
# so a stream that starts waits for that), and read every 10 ms, which keeps
# the sink rendering in 10 ms blocks as a hardware sink would.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

ctest_mode=0
build=build
while [ $# -gt 0 ]; do
  case "$1" in
    --ctest) ctest_mode=1 ;;
    --build-dir) build="$2"; shift ;;
    *) echo "usage: $0 [--ctest] [--build-dir DIR]" >&2; exit 2 ;;
  esac
  shift
done
skip() { echo "pulse-check: skipped: $*"; exit 77; }

# How long after Play the sound may start in the sink's recording.
play_bound_ms=150

if [ $ctest_mode -eq 0 ]; then
  ./scripts/setup.sh pulseaudio pulseaudio-utils libasound2-plugins
fi
for tool in pulseaudio pactl parec sox lame; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
ls /usr/lib/*/alsa-lib/libasound_module_pcm_pulse.so >/dev/null 2>&1 ||
  skip "ALSA's pulse plugin (libasound2-plugins) is not installed"

playcheck="$build/tools/tarnwick-playcheck"
core_test="$build/tests/media/media_core_test"
player_test="$build/tests/player/player_test"
if [ $ctest_mode -eq 0 ]; then
  [ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j2 --target tarnwick_playcheck media_core_test player_test
fi
[ -x "$playcheck" ] && [ -x "$core_test" ] && [ -x "$player_test" ] ||
  skip "$playcheck, $core_test or $player_test is not built"

work=$(mktemp -d /tmp/tarnwick-pulse.XXXXXX)
pulse_pid=""
recorder_pid=""
cleanup() {
  [ -n "$recorder_pid" ] && kill "$recorder_pid" 2>/dev/null && wait "$recorder_pid" 2>/dev/null
  [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Everything the server and its clients read lives in $work: runtime folder,
# home (cookie, client.conf, .asoundrc).
mkdir -p "$work/run" "$work/home/.config/pulse"
chmod 700 "$work/run"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PULSE_RUNTIME_PATH="$work/run"
export PULSE_SERVER="unix:$work/run/native"
unset XDG_CONFIG_HOME PULSE_SINK PULSE_SOURCE
echo "autospawn = no" >"$HOME/.config/pulse/client.conf"
printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' >"$HOME/.asoundrc"

# Root may run a per-user server too (it warns that it is not meant to).
pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=false \
  --load="module-null-sink sink_name=tw" --load="module-native-protocol-unix" \
  >"$work/pulse.log" 2>&1 &
pulse_pid=$!
for _ in $(seq 50); do
  pactl info >/dev/null 2>&1 && break
  kill -0 "$pulse_pid" 2>/dev/null || break
  sleep 0.1
done
if ! pactl info >/dev/null 2>&1; then
  tail -5 "$work/pulse.log" >&2
  skip "the private PulseAudio server did not start"
fi
pactl set-default-sink tw

# Pink noise: every stretch of it is unlike every other, so a recording
# lines up with the file at exactly one lag.
sox -n -r 44100 -c 2 -b 16 "$work/noise.wav" synth 12 pinknoise gain -8
lame --quiet -b 192 "$work/noise.wav" "$work/noise.mp3"

export TARNWICK_AUDIO=device QT_QPA_PLATFORM=offscreen
status=0
summary=()
for latency in 2000 10; do
  echo "== monitor read in ${latency} ms pieces"
  "$playcheck" "$work/noise.mp3" --monitor tw.monitor --monitor-latency-ms "$latency" \
    --max-play-heard-ms "$play_bound_ms" 2>"$work/playcheck.err" | tee "$work/playcheck.out" ||
    { status=1; grep -v '^ALSA lib' "$work/playcheck.err" >&2 || true; }
  figures=$(sed -n 's/^heard after the call: //p' "$work/playcheck.out")
  summary+=("monitor in ${latency} ms pieces: ${figures:-not measured}")
done

# The playback tests on the server, while the monitor is recorded: the
# recording shows that they played into the sink.
echo "== core playback tests on the server"
parec --device=tw.monitor --latency-msec=10 --format=s16le --rate=44100 --channels=2 --raw >"$work/tests.raw" &
recorder_pid=$!
sleep 2.5 # an idle null sink has rendered up to 2 s ahead
"$core_test" --gtest_filter='PlaybackTest.*' --gtest_brief=1 2>&1 | grep -v '^ALSA lib' || status=1
echo "== preview player tests on the server"
"$player_test" --gtest_brief=1 2>&1 | grep -v '^ALSA lib' || status=1
kill "$recorder_pid" && wait "$recorder_pid" 2>/dev/null || true
recorder_pid=""
peak=$(sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/tests.raw" -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}')
echo "peak level the tests played into the sink: ${peak:-none}"
awk -v p="${peak:-0}" 'BEGIN { exit !(p > 0.01) }' || { echo "FAIL: the tests played nothing into the sink"; status=1; }

echo "== sound heard in the sink after the call (Play within ${play_bound_ms} ms, seek within 100 ms)"
printf '%s\n' "${summary[@]}"

exit $status
