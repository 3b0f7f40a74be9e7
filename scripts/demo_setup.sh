#!/bin/bash
# Shows the interactive setup: uninstall.exe /setup in an installation folder with the
# companion files, screenshots of the setup dialog, the context menu items dialog, the
# completion dialog and the program group folder it opens, then the uninstall.
# Usage: scripts/demo_setup.sh BUILD_ROOT [OUT]
# Runs in the prefix that BUILD_ROOT/wine-tests/wine-run uses (KVX_DEMO_PREFIX when the demo
# set it); starts a private display when there is none.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=${1:?usage: demo_setup.sh BUILD_ROOT [OUT]}
OUT=${2:-$ROOT/demo-setup}
. scripts/demo-common.sh
demo_require "$BIN/uninstall.exe" "$BIN/dialogdriver.exe"
demo_need_display "$0" "$@"
mkdir -p "$OUT"; OUT=$(cd "$OUT" && pwd)
DRIVER="$BIN/dialogdriver.exe"

"$RUN" cmd /c ver >/dev/null 2>&1 || true   # creates the prefix (and its CJK font mapping) when it is new

INSTALL_WIN='C:\Program Files\Kolvex'
INSTALL="$PREFIX/drive_c/Program Files/Kolvex"
rm -rf "$INSTALL"; mkdir -p "$INSTALL"
cp "$BIN/uninstall.exe" "$INSTALL/"
[ -d "$BIN/companions" ] && cp "$BIN/companions/"* "$INSTALL/"
{ (cd "$INSTALL" && ls | grep -v '^uninstall.exe$'); printf 'kvxnew.dat\nzipnew.dat\nuninstall.exe\nUninstall.lst\n'; } \
  | sed 's/$/\r/' > "$INSTALL/Uninstall.lst"
echo "== installation folder $INSTALL_WIN"
ls "$INSTALL" | sed 's/^/  /'

# Screenshot of a window, cut to its rectangle (the virtual desktop starts at the screen's
# top-left corner, so window and screen coordinates agree).
shoot() {
  local geometry=$1 file=$2
  sleep 1
  import -window root -crop "$geometry" +repage "$OUT/$file"
  echo "  screenshot: $OUT/$file"
}

echo "== uninstall.exe /setup (started in the installation folder, as the installer does)"
( cd "$INSTALL" && "$RUN" "$INSTALL_WIN\\uninstall.exe" /setup ) &
setup_pid=$!
"$RUN" "$DRIVER" wait SETUPDLG 30000
shoot "$("$RUN" "$DRIVER" rect SETUPDLG)" setup-dialog.png

echo "== the context menu items dialog (button 5123)"
"$RUN" "$DRIVER" click SETUPDLG 5123
"$RUN" "$DRIVER" wait CONTEXTITEMS 15000
shoot "$("$RUN" "$DRIVER" rect CONTEXTITEMS)" context-items-dialog.png
echo "  OK saves all eleven items under HKCU\\Software\\Kolvex\\Setup\\MenuItems"
"$RUN" "$DRIVER" click CONTEXTITEMS 1
"$RUN" "$DRIVER" gone CONTEXTITEMS 15000

echo "== OK in the setup dialog: save, integrate, register; then the completion dialog"
"$RUN" "$DRIVER" click SETUPDLG 1
"$RUN" "$DRIVER" wait DONEDLG 30000
shoot "$("$RUN" "$DRIVER" rect DONEDLG)" done-dialog.png
"$RUN" "$DRIVER" click DONEDLG 1
wait "$setup_pid" || true

echo "== after Finish the program group opens in a folder window"
if geometry=$("$RUN" "$DRIVER" window Kolvex 20000); then
  shoot "$geometry" program-group.png
  "$RUN" "$DRIVER" close-window Kolvex || true
else
  echo "  (no folder window appeared)"
fi

echo "== saved choices and the uninstall registration"
query 'HKCU\Software\Kolvex\Setup' | grep -v '^HKEY_CURRENT_USER.*\\Setup\\' || true
query 'HKCU\Software\Kolvex\Setup\.kvx' /v Set
query 'HKCU\Software\Kolvex\Setup\Links'
query 'HKCU\Software\Kolvex\Setup\MenuItems'
query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kolvex archiver'

echo "== uninstall.exe /s: the silent uninstall removes it all again"
( cd "$INSTALL" && "$RUN" "$INSTALL_WIN\\uninstall.exe" /s ) || true
for _ in $(seq 1 100); do [ -d "$INSTALL" ] || break; sleep 0.2; done
if [ -d "$INSTALL" ]; then echo "  the folder is still there: $(ls "$INSTALL" | tr '\n' ' ')"; else echo "  the installation folder is gone"; fi
query 'HKCU\Software\Kolvex'
query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kolvex archiver'

echo "== setup screenshots in $OUT: setup-dialog.png context-items-dialog.png done-dialog.png program-group.png"
