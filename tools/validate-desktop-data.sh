#!/usr/bin/env bash
# Validates the desktop entry and the AppStream data as installed from a
# build (default build/; configured and built beforehand).
#   tools/validate-desktop-data.sh [BUILD_DIR]
# Installs the validators (desktop-file-utils, appstream) when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
./scripts/setup.sh desktop-file-utils appstream
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
cmake --install "$build" --prefix "$root/usr" >/dev/null
desktop-file-validate "$root/usr/share/applications/tarnwick.desktop"
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml
echo "desktop entry and AppStream data are valid"
