#!/usr/bin/env bash
# Installs what is missing, builds with sanitizers, and runs tests under
# CTest. Any report fails its test. Slow; not part of CI.
#
#   scripts/sanitize.sh          AddressSanitizer and UndefinedBehaviorSanitizer
#                                in build-asan/, every test
#   scripts/sanitize.sh thread   ThreadSanitizer in build-tsan/, the tests
#                                labelled "engine" (the programs without
#                                widgets: engine, player, jobs)
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-address}
case "$mode" in
  address | thread) ;;
  *) echo "usage: $0 [thread]" >&2; exit 2 ;;
esac

./scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
export TARNWICK_AUDIO=null
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

if [ "$mode" = thread ]; then
  # Races, lock-order inversions and unsafe signal use stop the test at the
  # first report. The suppressions cover only the sound libraries' own
  # internals, which are not built with the sanitizer.
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:history_size=4:suppressions=$PWD/tools/tsan.supp"
  flags="-O1 -g -fsanitize=thread -fno-omit-frame-pointer"
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
    "${launcher[@]}" >/dev/null
  # Only the programs whose tests carry the label (tests/CMakeLists.txt).
  cmake --build build-tsan --target engine_tests --parallel "$(nproc)"
  cd build-tsan
  ctest --output-on-failure --parallel "$(nproc)" --timeout 1200 -L engine -LE device --no-tests=error
  exit 0
fi

# The build runs programs too (the resource generator, test discovery), so
# the options hold for it as well as for the tests.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# float-cast-overflow is not part of "undefined" in gcc; it catches a sample
# or time converted to an integer out of range.
san=address,undefined,float-cast-overflow
flags="-O1 -fsanitize=$san -fno-omit-frame-pointer -fno-sanitize-recover=undefined,float-cast-overflow"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=$san" \
  "${launcher[@]}" >/dev/null
cmake --build build-asan --parallel "$(nproc)"
cd build-asan
ctest --output-on-failure --parallel "$(nproc)" --timeout 1200 -LE device
