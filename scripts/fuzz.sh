#!/bin/bash
# Builds the native configuration and runs every fuzz target for the given number of
# seconds each (default 60), one job at a time, on a scratch corpus under the build tree
# (seeded from tests/fuzz/corpus/NAME, which stays untouched). Prints each target's
# executions and time; exits non-zero when a target found a crash (kept in its artifacts/).
#   KVX_BUILD_ROOT  where the build trees go (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
SECS=${1:-60}
ROOT=${KVX_BUILD_ROOT:-build}
BUILD="$PWD/$ROOT/native"
SEEDS="$PWD/tests/fuzz/corpus"

cmake --preset native -B "$BUILD" >/dev/null
cmake --build "$BUILD" -j "${KVX_JOBS:-2}"

status=0
for src in tests/fuzz/*_fuzz.cpp; do
  target=$(basename "$src" .cpp)
  name=${target%_fuzz}
  work="$BUILD/fuzz/$name"
  mkdir -p "$work/corpus" "$work/artifacts"
  rm -f "$work"/fuzz-*.log
  echo "== $target for ${SECS}s (scratch corpus $work/corpus)"
  start=$(date +%s)
  # -jobs=1 runs the fuzzer in one worker process that logs to fuzz-0.log.
  (cd "$work" && "$BUILD/$target" -jobs=1 -workers=1 -max_total_time="$SECS" \
      -artifact_prefix="$work/artifacts/" corpus "$SEEDS/$name") >/dev/null 2>&1 || true
  elapsed=$(( $(date +%s) - start ))
  log="$work/fuzz-0.log"
  done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -1 || true)
  stats=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  echo "${done_line:-no summary (see $log)}; wall time ${elapsed}s"
  echo "last status: ${stats}"
  findings=$(find "$work/artifacts" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log" || [ "$findings" -gt 0 ]; then
    echo "FINDING: see $log and $work/artifacts"
    status=1
  else
    echo "no finding"
  fi
done
exit $status
