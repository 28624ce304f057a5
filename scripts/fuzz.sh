#!/usr/bin/env bash
# Builds every fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs each for SECONDS
# (default 20) on its corpus: the hand-made seeds in fuzz/corpus/<name>/ plus
# the demo files of its kind. Prints executions and findings per target and
# exits non-zero when any target found something. FUZZ_TARGETS="fuzz_a fuzz_b"
# builds and runs only those.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
secs=${1:-20}
build=${FUZZ_BUILD_DIR:-$here/build-fuzz}
"$here/scripts/deps.sh" --tests
cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVORANTIS_FUZZ=ON -DVORANTIS_TESTS=OFF >/dev/null
targets=${FUZZ_TARGETS:-$(cd "$here/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//')}
cmake --build "$build" -j"$(nproc)" --target $targets >/dev/null

# Seeds of each kind from the demo data.
seeds_for() {
  case "$1" in
    fuzz_lists)    ls "$here"/data/demo/BDXC/* "$here"/data/demo/OWN/* 2>/dev/null ;;
    fuzz_memfile)  ls "$here"/data/demo/MEM/* 2>/dev/null ;;
    fuzz_settings) ls "$here"/data/demo/*.INI 2>/dev/null ;;
    fuzz_textfile) ls "$here"/data/demo/*/* 2>/dev/null | head -20 ;;
    fuzz_logfile)  ls "$here"/data/demo/LOG/* 2>/dev/null ;;
    fuzz_eibi)     ls "$here"/data/demo/EIBI/* 2>/dev/null ;;
    fuzz_sanfile)  ls "$here"/data/demo/SAN/* 2>/dev/null ;;
    fuzz_panfile)  ls "$here"/data/demo/PAN/* 2>/dev/null ;;
    fuzz_ftlfile)  ls "$here"/data/demo/Rx2Db/* 2>/dev/null ;;
  esac
}

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
printf '%-22s %12s %8s %s\n' target executions exec/s findings
for t in $targets; do
  work="$build/corpus/$t"
  mkdir -p "$work" "$build/findings/$t"
  [ -d "$here/fuzz/corpus/$t" ] && cp -n "$here/fuzz/corpus/$t"/* "$work"/ 2>/dev/null || true
  for s in $(seeds_for "$t"); do
    # Large demo files are cut so that a seed stays a seed.
    head -c 65536 "$s" > "$work/seed-$(basename "$s")"
  done
  log="$build/findings/$t/run.log"
  set +e
  "$build/$t" -max_total_time="$secs" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/findings/$t/" -print_final_stats=1 "$work" >"$log" 2>&1
  rc=$?
  set -e
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  found=$(ls "$build/findings/$t" | grep -cE '^(crash|leak|timeout|oom)-' || true)
  printf '%-22s %12s %8s %s\n' "$t" "${execs:-0}" "${rate:-0}" "$found"
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    tail -40 "$log"
  fi
done
exit $failed
