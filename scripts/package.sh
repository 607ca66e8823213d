#!/usr/bin/env bash
# Builds the Debian package tarnwick_<version>_<arch>.deb from a Release
# build in build-pkg/, checks it with lintian and the desktop data
# validators, installs it, looks at what it installed, and removes it again.
# Needs root or sudo (apt-get install/remove).
#   scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh dpkg-dev file lintian desktop-file-utils appstream man-db
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Debian's hardening flags (stack protector, fortified functions, full RELRO).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
cmake -S . -B build-pkg -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DTARNWICK_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build-pkg --parallel "$(nproc)" >/dev/null
(cd build-pkg && rm -f tarnwick_*.deb && cpack -G DEB >/dev/null)
deb="$(ls build-pkg/tarnwick_*.deb)"
echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends

echo "== lintian"
lintian "$deb" || true
echo "== desktop entry and AppStream data"
tools/validate-desktop-data.sh build-pkg

echo "== install"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null
fail() { echo "package: $*" >&2; exit 1; }
files="$(dpkg -L tarnwick)"
version="$(sed -n 's/.*TARNWICK_VERSION "\(.*\)"/\1/p' build-pkg/generated/TarnwickVersion.h)"
[ "$(tarnwick-cli --version)" = "tarnwick-cli $version" ] || fail "tarnwick-cli --version"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY tarnwick --version)" = "tarnwick $version" ] || fail "tarnwick --version"
man -w tarnwick-cli >/dev/null || fail "man -w tarnwick-cli"
man -w tarnwick >/dev/null || fail "man -w tarnwick"
for f in /usr/share/applications/tarnwick.desktop /usr/share/doc/tarnwick/Brevlin.html /usr/share/doc/tarnwick/Brevlin_de.html \
         /usr/share/doc/tarnwick/Brevlin_zh_CN.html /usr/share/doc/tarnwick/Brevlin.css /usr/share/doc/tarnwick/copyright \
         /usr/share/metainfo/org.example.tarnwick.metainfo.xml; do
  [ -f "$f" ] || fail "missing $f"
done
for size in 16 32 48 64 128 256; do
  [ -f "/usr/share/icons/hicolor/${size}x${size}/apps/tarnwick.png" ] || fail "missing ${size}px icon"
done
echo "installed: $(echo "$files" | grep -c .) paths, --version, man pages, desktop entry and icons in place"

echo "== remove"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq tarnwick >/dev/null
! dpkg-query -W -f='${Status}\n' tarnwick 2>/dev/null | grep -q 'install ok' || fail "still installed"
left=()
while IFS= read -r path; do
  [ -f "$path" ] || [ -L "$path" ] && left+=("$path")
done <<<"$files"
[ ${#left[@]} -eq 0 ] || fail "left behind: ${left[*]}"
echo "removed: no file of the package is left"
