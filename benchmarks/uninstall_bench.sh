#!/bin/bash
# Times "uninstall.exe /s" on a large installation under Wine against a floor measured in
# the same run: Wine's own "cmd /c rd /s /q" of an identical tree.
# The installation: 10,000 files in 1,000 folders nested 10 deep (100 chains of 10 folders,
# 10 files in each folder), listed in the worst order: every folder before its contents,
# shallow levels first, so that each pass can remove only the deepest level left.
# Usage (from the repository root, after a wine-tests build):
#   benchmarks/uninstall_bench.sh BUILD_ROOT [ROUNDS]
set -euo pipefail
ROOT=${1:?usage: $0 BUILD_ROOT [ROUNDS]}
ROUNDS=${2:-3}
RUN="$ROOT/wine-tests/wine-run"
PROGRAM="$ROOT/wine-tests/bin/uninstall.exe"
PREFIX="$ROOT/wine-tests/wineprefix"
[ -x "$RUN" ] && [ -f "$PROGRAM" ] || { echo "build $ROOT/wine-tests first" >&2; exit 1; }

stop_wine() { WINEPREFIX="$(cd "$PREFIX" 2>/dev/null && pwd)" /usr/lib/wine/wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT

"$RUN" cmd /c exit >/dev/null 2>&1   # creates the prefix on first use, starts its server
BASE="$PREFIX/drive_c/kvxbench"
rm -rf "$BASE"
mkdir -p "$BASE"
LOG="$BASE.log"
: > "$LOG"

# make_tree DIR [LIST]: the tree, and the list in the worst order when LIST is given.
make_tree() {
  python3 - "$1" "${2:-}" <<'PY'
import os, sys
top, listfile = sys.argv[1], sys.argv[2]
chains, depth, files = 100, 10, 10
folders = []          # (level, relative path)
for c in range(chains):
    rel = "c%02d" % c
    for level in range(depth):
        if level: rel += "\\n%d" % level
        folders.append((level, rel))
entries = [rel for level, rel in sorted(folders, key=lambda f: f[0])]
for level, rel in folders:
    unix = os.path.join(top, *rel.split("\\"))
    os.makedirs(unix, exist_ok=True)
    for f in range(files):
        name = "file%02d.dat" % f
        with open(os.path.join(unix, name), "wb") as out:
            out.write(b"k" * 64)
        entries.append(rel + "\\" + name)
if listfile:
    with open(listfile, "wb") as out:
        out.write(("\r\n".join(entries) + "\r\n").encode())
PY
}

now() { date +%s.%N; }
elapsed() { python3 -c "print('%.2f' % ($2 - $1))"; }

floors=(); runs=()
for round in $(seq 1 "$ROUNDS"); do
  make_tree "$BASE/floor"
  make_tree "$BASE/inst" "$BASE/inst/Uninstall.lst"
  cp "$PROGRAM" "$BASE/inst/uninstall.exe"
  sync

  t0=$(now)
  "$RUN" cmd /c rd /s /q 'C:\kvxbench\floor' >>"$LOG" 2>&1
  t1=$(now)
  [ ! -e "$BASE/floor" ] || { echo "rd left the floor tree behind" >&2; exit 1; }

  t2=$(now)
  "$RUN" 'C:\kvxbench\inst\uninstall.exe' /s >>"$LOG" 2>&1
  t3=$(now)
  left=$(find "$BASE/inst" -mindepth 1 2>/dev/null | grep -vc 'uninstall.exe$' || true)
  [ "$left" = 0 ] || { echo "the uninstaller left $left entries behind" >&2; exit 1; }
  # The batch deletes the program and the folder after a two-second pause; let it finish
  # before the next round.
  for _ in $(seq 1 100); do [ -e "$BASE/inst" ] || break; sleep 0.2; done

  floor=$(elapsed "$t0" "$t1"); run=$(elapsed "$t2" "$t3")
  floors+=("$floor"); runs+=("$run")
  echo "round $round: rd /s /q ${floor} s, uninstall.exe /s ${run} s"
done

python3 - "${floors[*]}" "${runs[*]}" <<'PY'
import sys, statistics
floors = [float(x) for x in sys.argv[1].split()]
runs = [float(x) for x in sys.argv[2].split()]
f, r = statistics.median(floors), statistics.median(runs)
print("median: floor (cmd rd /s /q) %.2f s, uninstall.exe /s %.2f s, ratio %.2f (goal: at most 2.00)" % (f, r, r / f))
PY
rm -rf "$BASE" "$LOG"
