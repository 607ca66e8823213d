#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every
# test under CTest.
# Needs no display and no sound server.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh --werror
export QT_QPA_PLATFORM=offscreen
export TARNWICK_AUDIO=null
cd build
# The device check (label "device") needs a private sound server and a quiet
# machine; run it with tools/pulse-check.sh or ctest -L device.
ctest --output-on-failure --parallel "$(nproc)" --timeout 600 -LE device
