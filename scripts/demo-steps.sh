#!/bin/bash
# The demo's steps, run by demo.sh with a display and a throwaway prefix.
set -euo pipefail
ROOT=$1 OUT=$2
. scripts/demo-common.sh
DRIVE_C="$PREFIX/drive_c"

echo "== a throwaway Wine prefix (code page 936): $KVX_DEMO_PREFIX"
"$RUN" cmd /c ver 2>/dev/null | tr -d '\r' | grep -v '^$' || true

INSTALL="$DRIVE_C/Program Files/Kolvex"
mkdir -p "$INSTALL"
cp "$BIN/uninstall.exe" "$INSTALL/"
echo "== installation folder C:\\Program Files\\Kolvex"
ls -l "$INSTALL"

echo "== uninstall.exe /wait: a two-second pause that removes nothing"
start=$(date +%s%N)
"$RUN" "C:\\Program Files\\Kolvex\\uninstall.exe" /wait
echo "took $(( ($(date +%s%N) - start) / 1000000 )) ms; the folder still holds: $(ls "$INSTALL")"

echo "== uninstall.exe /warning: the notice that the program file must be deleted by hand"
"$RUN" "C:\\Program Files\\Kolvex\\uninstall.exe" /warning &
pid=$!
"$RUN" "$BIN/windowprobe.exe" wait "#32770" 15000 > "$OUT/warning.txt" || true
import -window root "$OUT/warning.png" 2>/dev/null || true
cat "$OUT/warning.txt"
"$RUN" "$BIN/windowprobe.exe" close "#32770" >/dev/null || true
wait $pid || true
echo "screenshot: $OUT/warning.png"

for step in demo_uninstall demo_integration demo_setup; do
  if [ -x "scripts/$step.sh" ]; then
    echo "== $step"
    "scripts/$step.sh" "$ROOT" "$OUT"
  fi
done
echo "== demo output in $OUT"
