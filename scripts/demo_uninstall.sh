#!/bin/bash
# Demonstrates an uninstallation in the build's Wine prefix: lays out an installation folder
# with a copy of uninstall.exe, some files and folders and an Uninstall.lst, runs
# "uninstall.exe /s", waits for the self-removal batch, and shows what is left.
# Usage: scripts/demo_uninstall.sh BUILD_ROOT   (after a wine-tests build)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=${1:?usage: $0 BUILD_ROOT}
. scripts/demo-common.sh
PROGRAM="$BIN/uninstall.exe"
demo_require "$PROGRAM"

demo_need_display "$0" "$@"

"$RUN" cmd /c exit >/dev/null 2>&1   # creates the prefix on first use
DEMO="$PREFIX/drive_c/kvxdemo"
INST="$DEMO/Kolvex"
rm -rf "$DEMO"
mkdir -p "$INST/Formats/Zip" "$INST/Docs"
cp "$PROGRAM" "$INST/uninstall.exe"
for f in Kolvex.exe kvxext.dll kvxext64.dll kolvex.hlp kolvex.gid kvxnew.dat zipnew.dat \
         Formats/Zip/zip.fmt Formats/arj.fmt Docs/readme.txt Docs/license.txt; do
  echo "demo $f" > "$INST/$f"
done
echo "the user's own notes" > "$DEMO/notes-next-to-the-installation.txt"
# Folders before their contents, blank lines, the program and the list itself: all allowed.
printf '%s\r\n' Formats Formats\\Zip Docs "" Kolvex.exe kvxext.dll kvxext64.dll kolvex.hlp \
  kvxnew.dat zipnew.dat Formats\\Zip\\zip.fmt Formats\\arj.fmt Docs\\readme.txt Docs\\license.txt \
  uninstall.exe Uninstall.lst > "$INST/Uninstall.lst"

show_tree() { (cd "$DEMO" && find . -mindepth 1 | sort | sed 's|^\./|  C:\\kvxdemo\\|; s|/|\\|g'); }
echo "== Before: C:\\kvxdemo"
show_tree
echo
echo "== Uninstall.lst"
sed 's/\r$//; s/^/  | /' "$INST/Uninstall.lst"
echo
echo "== Running C:\\kvxdemo\\Kolvex\\uninstall.exe /s"
LOG=$(mktemp)
# One display for the program and the batch's second run of it; the wait happens inside.
bash -c '
  "$1" "C:\kvxdemo\Kolvex\uninstall.exe" /s
  echo "program ended" >&2
  for _ in $(seq 1 100); do [ -e "$2" ] || break; sleep 0.2; done
  sleep 1' demo "$RUN" "$INST" >"$LOG" 2>&1 || true
echo "   the program ended; the self-removal batch waited for it (two seconds), then"
echo "   deleted the program file and the folder, then itself"
rm -f "$LOG"
echo
echo "== After: C:\\kvxdemo"
show_tree
echo
[ -e "$INST/uninstall.exe" ] && echo "uninstall.exe: still there" || echo "uninstall.exe: gone"
[ -e "$INST" ] && echo "installation folder: still there" || echo "installation folder: gone"
if ls "$PREFIX"/drive_c/users/*/Temp/Uninstall_Kvx.Bat >/dev/null 2>&1; then
  echo "Uninstall_Kvx.Bat in the temporary folder: still there"
else
  echo "Uninstall_Kvx.Bat in the temporary folder: gone"
fi
rm -rf "$DEMO"
