#!/bin/bash
# The test command: installs what is missing, builds the three configurations and runs
# every test (product checks, native sanitizer tests and fuzz corpora, Wine tests).
#   KVX_BUILD_ROOT  where the build trees go (default: build)
#   KVX_CONFIGS     which configurations to build and test (default: all three)
#   KVX_CTEST_ARGS  extra ctest arguments, e.g. "-R Uninstall"
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=${KVX_BUILD_ROOT:-build}
CONFIGS=${KVX_CONFIGS:-"product native wine-tests"}
JOBS=${KVX_JOBS:-2}

scripts/install-deps.sh

for c in $CONFIGS; do
  echo "== build $c"
  cmake --preset "$c" -B "$ROOT/$c" >/dev/null
  cmake --build "$ROOT/$c" -j "$JOBS"
done

status=0
summary=()
read -r -a EXTRA <<< "${KVX_CTEST_ARGS:-}"
run_ctest() {
  local c=$1 jobs=$2; shift 2
  echo "== test $c"
  local log="$ROOT/$c/ctest.log"
  rm -f "$log"
  "$@" ctest --test-dir "$ROOT/$c" --output-on-failure --no-tests=error -j "$jobs" "${EXTRA[@]}" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1 || true)
  summary+=("$c: ${line:-no result}")
}

stop_wine() {
  WINEPREFIX="$PWD/$ROOT/wine-tests/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
}

for c in $CONFIGS; do
  case $c in
    product) run_ctest product 1 ;;
    native) run_ctest native "$JOBS" env ASAN_OPTIONS=detect_leaks=1 ;;
    wine-tests)
      # One display and one Wine server for the whole run; both stop at the end.
      trap stop_wine EXIT
      # A test whose Wine process could not start at all (a rare hiccup of the server) is run
      # once more; a test that fails on its own merits fails twice.
      EXTRA+=(--repeat until-pass:2)
      run_ctest wine-tests 1 scripts/xvfb-session.sh
      stop_wine ;;
  esac
done

passed=0; failed=0
for s in "${summary[@]}"; do
  echo "$s"
  if [[ $s =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1])); passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  else
    status=1
  fi
done
echo "$passed passed, $failed failed"
exit $status
