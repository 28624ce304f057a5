#!/usr/bin/env bash
# Installs the Debian packages that are missing: with no argument what the
# program needs to build and run (the demo), with --tests also what only the
# tests, the sanitizer run and the fuzz targets need.
set -euo pipefail
pkgs=(build-essential cmake qt6-base-dev qt6-serialport-dev libgl-dev
      libshp-dev libpulse-dev libsndfile1-dev fonts-dejavu-core ccache
      qt6-httpserver-dev qt6-websockets-dev libopus-dev)
# The recording tests start a private sound server; the web remote's test
# drives the distribution's browser.
test_pkgs=(libgtest-dev libbenchmark-dev
           xvfb xauth
           clang libclang-rt-14-dev
           desktop-file-utils appstream dpkg-dev python3
           libhamlib-utils python3-hamlib pulseaudio pulseaudio-utils
           chromium chromium-driver python3-selenium)
case "${1:-}" in
  "") ;;
  --tests) pkgs+=("${test_pkgs[@]}") ;;
  *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac
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
