#!/usr/bin/env bash
# Installs what is missing, builds into build-asan/ with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test under CTest. Any report
# (memory error, leak, undefined behaviour) fails its test. Slow; not part
# of CI.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

# The build runs programs too (the resource generator, test discovery), so
# the options hold for it as well as for the tests.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
export TARNWICK_AUDIO=null

# float-cast-overflow is not part of "undefined" in gcc; it catches a sample
# or time converted to an integer out of range.
san=address,undefined,float-cast-overflow
flags="-O1 -fsanitize=$san -fno-omit-frame-pointer -fno-sanitize-recover=undefined,float-cast-overflow"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=$san" \
  "${launcher[@]}" >/dev/null
cmake --build build-asan --parallel "$(nproc)"
cd build-asan
ctest --output-on-failure --parallel "$(nproc)" --timeout 1200 -LE device
