#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program against the
# built-in simulated receiver with demo data.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps.sh"
"$here/scripts/build.sh" -DVORANTIS_TESTS=OFF
exec "$here/${BUILD_DIR:-build}/vorantis" --demo "$@"
