#!/usr/bin/env bash
# Builds the fuzz targets with clang (build/fuzz) and runs each for a
# bounded time from the seed corpus in tests/fuzz/corpus.
#   scripts/run-fuzz.sh [seconds per target] [target ...]
# Each target's growing corpus lives in build/fuzz/corpus/<target>, so the
# seeds in the repository stay small. A failing input is left as
# build/fuzz/crash-<target>-* and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  targets=(DriveMap Mscdex LastDrive CompressionIni Autoexec Persistent
           LetterAssignment Volume RegText)
fi
jobs=${JOBS:-2}

build=build/fuzz
if [[ ! -f $build/build.ninja ]]; then
  cmake -G Ninja -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPELMORA_FUZZ=ON \
    -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link \
    -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
fi
cmake --build "$build" -j "$jobs" --target fuzz_targets

status=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  log=$build/fuzz-$target.log
  # The run's own corpus first: new inputs go there; the seeds are read.
  if ! "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" \
      -max_len=4096 -timeout=20 -rss_limit_mb=2560 -print_final_stats=1 \
      -artifact_prefix="$build/crash-$target-" \
      "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    echo "fuzz: $target FAILED (log $log)"
    grep -E "property failed|expected:|actual:|ERROR|SUMMARY" "$log" | head -20
    status=1
    continue
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz: $target clean, $runs runs in ${seconds}s"
done
exit $status
