#!/usr/bin/env bash
# Builds into build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer
# (any undefined behaviour stops the program) and runs the whole test suite.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps.sh" --tests
build=${ASAN_BUILD_DIR:-$here/build-asan}
BUILD_DIR="$build" "$here/scripts/build.sh" -DVORANTIS_SANITIZE=ON -DVORANTIS_TESTS=ON
cd "$build"
# Qt's own one-time allocations are not ours to chase: leaks are not checked.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:detect_odr_violation=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The install test packages the build it runs in: that is the normal
# suite's business, and a package of instrumented programs is no package.
QT_QPA_PLATFORM=offscreen ctest --no-tests=error --output-on-failure -j2 --timeout 900 -E '^Install\.'
