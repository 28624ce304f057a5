#!/usr/bin/env bash
# Installs what is missing (the tests' packages too), builds with the tests
# (whatever an earlier configure of the folder chose), and runs every test;
# a run in which no test ran fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps.sh" --tests
"$here/scripts/build.sh" -DVORANTIS_TESTS=ON
cd "$here/${BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen ctest --no-tests=error --output-on-failure -j2 --timeout 600
