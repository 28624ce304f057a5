#!/usr/bin/env bash
# Installs the build into a scratch root and builds the Debian package; starts
# the installed programs from both with --help and --version, checks that the
# demo data and the desktop files are where the desktop looks for them, and
# validates the desktop entry and the AppStream file when the validators are
# installed.
set -euo pipefail
build=${1:?build folder}
src=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build" --prefix "$scratch/usr" >/dev/null
root="$scratch/usr"
for f in bin/vorantis bin/nrd535-sim share/applications/vorantis.desktop \
         share/metainfo/org.vorantis.vorantis.metainfo.xml \
         share/icons/hicolor/scalable/apps/vorantis.svg share/icons/hicolor/48x48/apps/vorantis.png \
         share/man/man1/vorantis.1 share/vorantis/demo/VRTSV6.INI share/vorantis/demo/VRTSV6.doc \
         share/doc/vorantis/user-guide.md share/doc/vorantis/img/panel.png; do
  [ -e "$root/$f" ] || { echo "missing after install: $f"; exit 1; }
done
"$root/bin/vorantis" --help | grep -q -- "--demo"
"$root/bin/vorantis" --version | grep -q "^vorantis [0-9]"
"$root/bin/nrd535-sim" --help >/dev/null
if [ -x "$root/bin/vorantis-cli" ]; then
  "$root/bin/vorantis-cli" --help >/dev/null
fi

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/share/applications/vorantis.desktop"
fi
# The desktop entry's second action starts the demo.
grep -qx 'Exec=vorantis --demo' "$root/share/applications/vorantis.desktop"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/share/metainfo/org.vorantis.vorantis.metainfo.xml" >/dev/null
fi

# The package, unpacked into a second root.
if command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
  (cd "$build" && cpack -G DEB -B "$scratch/pkg" >/dev/null)
  deb=$(ls "$scratch"/pkg/vorantis_*.deb)
  dpkg-deb -f "$deb" Depends | grep -q "libqt6core6"
  mkdir "$scratch/debroot"
  dpkg-deb -x "$deb" "$scratch/debroot"
  "$scratch/debroot/usr/bin/vorantis" --help | grep -q -- "--demo"
  "$scratch/debroot/usr/bin/vorantis" --version | grep -q "^vorantis [0-9]"
  [ -e "$scratch/debroot/usr/share/vorantis/demo/VRTSV6.INI" ]
  if [ -x "$scratch/debroot/usr/bin/vorantis-cli" ]; then
    "$scratch/debroot/usr/bin/vorantis-cli" --help >/dev/null
  fi
fi
echo "install test passed"
