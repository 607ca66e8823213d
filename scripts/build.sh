#!/usr/bin/env bash
# Configures and builds Tarnwick into build/ (Release with debug info).
#   scripts/build.sh            warnings are reported
#   scripts/build.sh --werror   warnings fail the build (scripts/test.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
[ "${1:-}" = --werror ] && werror=ON
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARNWICK_WERROR="$werror" "${launcher[@]}" >/dev/null
cmake --build build --parallel "$(nproc)"
