#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang and the sanitizers
# into build-fuzz/ and runs each for SECONDS (default 600), one after the
# other at low priority. Not part of CI.
#   build-fuzz/corpus/<target>/     inputs found so far, kept between runs
#   build-fuzz/artifacts/<target>/  crashes, leaks, hangs
#   build-fuzz/logs/<target>.log    the fuzzer's output
# Exit status 1 when any target found something.
# usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
build=build-fuzz

./scripts/setup.sh clang libclang-rt-14-dev ccache
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DTARNWICK_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
# Two jobs at most: the build machine is shared.
nice -n 10 cmake --build "$build" --parallel 2
tests/fuzz/make-seeds.sh "$build/seeds"

export UBSAN_OPTIONS=print_stacktrace=1
summary=()
status=0
while read -r target; do
  [ -n "$target" ] || continue
  corpus=$build/corpus/$target
  artifacts=$build/artifacts/$target
  log=$build/logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$build/logs"
  dict=()
  [ -f "tests/fuzz/dict/$target.dict" ] && dict=("-dict=tests/fuzz/dict/$target.dict")
  stamp=$(mktemp)
  echo "fuzzing $target for ${seconds}s (log $log)" >&2
  # -timeout: one input running 10 s counts as a hang.
  if nice -n 10 "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$artifacts/" "${dict[@]}" "$corpus" "$build/seeds/$target" >"$log" 2>&1; then
    runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -n 1 || true)
    summary+=("$target: ran clean (${runs:-no run count}, corpus $(ls "$corpus" | wc -l) inputs)")
  else
    found=$(find "$artifacts" -type f -newer "$stamp" | head -n 1)
    summary+=("$target: FOUND ${found:+$(basename "$found" | cut -d- -f1) }${found:-a failure without artifact} (log $log)")
    status=1
  fi
  rm -f "$stamp"
done < "$build/fuzz-targets.txt"

echo
printf '%s\n' "${summary[@]}"
exit $status
