#!/usr/bin/env bash
# Installs every Debian 12 package Tarnwick needs to build, test and run.
# Quick when everything is there: apt-get runs only for what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libmpg123-dev libmp3lame-dev libsndfile1-dev libsoxr-dev portaudio19-dev libtag1-dev
  googletest libgtest-dev
  fonts-dejavu-core fonts-dejavu-extra fonts-wqy-microhei
  xvfb xauth xdg-utils
  lame sox libsox-fmt-mp3
  libcue-dev
)
# Extra packages asked for by the caller (the benchmark wants ffmpeg).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install ${missing[*]}" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
