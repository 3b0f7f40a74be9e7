#!/bin/bash
# The main job: installs what is missing, builds the program and the test build, and shows
# what uninstall.exe does in a throwaway Wine prefix on a private display.
#   KVX_BUILD_ROOT  where the build trees go (default: build)
#   KVX_DEMO_OUT    where screenshots and listings go (default: BUILD_ROOT/demo)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=${KVX_BUILD_ROOT:-build}
OUT=${KVX_DEMO_OUT:-$ROOT/demo}

scripts/install-deps.sh
for c in product wine-tests; do
  echo "== build $c"
  cmake --preset "$c" -B "$ROOT/$c" >/dev/null
  cmake --build "$ROOT/$c" -j "${KVX_JOBS:-2}" >/dev/null
done
echo "shipped program: $ROOT/product/uninstall.exe ($(stat -c %s "$ROOT/product/uninstall.exe") bytes)"
python3 tests/resources/check_product.py "$ROOT/product/uninstall.exe" | tail -1

rm -rf "$OUT"; mkdir -p "$OUT"
export KVX_DEMO_PREFIX="$PWD/$OUT/prefix" KVX_DEMO_HOME="$PWD/$OUT/home"
mkdir -p "$KVX_DEMO_HOME"
stop_wine() { WINEPREFIX="$KVX_DEMO_PREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT
scripts/xvfb-session.sh scripts/demo-steps.sh "$ROOT" "$OUT"
