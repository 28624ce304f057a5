#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need
# (only what is missing).
set -euo pipefail
pkgs=(build-essential cmake qt6-base-dev qt6-serialport-dev libgl-dev
      libgtest-dev libbenchmark-dev libshp-dev libpulse-dev libsndfile1-dev
      pulseaudio pulseaudio-utils
      xvfb xauth fonts-dejavu-core
      clang libclang-rt-14-dev
      desktop-file-utils appstream dpkg-dev python3 ccache)
missing=()
for p in "${pkgs[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
