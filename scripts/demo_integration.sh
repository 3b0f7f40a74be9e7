#!/bin/bash
# Shows the system integration: a silent setup from a real-looking installation folder with
# the companion files, the registry entries and shortcuts it wrote, then the silent
# uninstall and what is left compared with before (only the keys that stay on purpose).
# Usage: scripts/demo_integration.sh BUILD_ROOT [OUT]
# Runs in the prefix that BUILD_ROOT/wine-tests/wine-run uses (KVX_DEMO_PREFIX when the demo
# set it); starts a private display when there is none.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=${1:?usage: demo_integration.sh BUILD_ROOT [OUT]}
OUT=${2:-$ROOT/demo-integration}
. scripts/demo-common.sh
demo_require "$BIN/uninstall.exe" "$BIN/companions/Kolvex.exe"
# The setup's dialogs need a display even when they press OK themselves.
demo_need_display "$0" "$@"
mkdir -p "$OUT"; OUT=$(cd "$OUT" && pwd)

DRIVE_C="$PREFIX/drive_c"
INSTALL_WIN='C:\Program Files\Kolvex'
INSTALL="$DRIVE_C/Program Files/Kolvex"
rm -rf "$INSTALL"; mkdir -p "$INSTALL"
cp "$BIN/uninstall.exe" "$BIN/companions/"* "$INSTALL/"
{ (cd "$INSTALL" && ls | grep -v '^uninstall.exe$'); printf 'kvxnew.dat\nzipnew.dat\nuninstall.exe\nUninstall.lst\n'; } \
  | sed 's/$/\r/' > "$INSTALL/Uninstall.lst"
echo "== installation folder $INSTALL_WIN"
ls "$INSTALL" | sed 's/^/  /'

# Another program owns .zip before the setup, so that its return can be seen.
OWNER_ADDED=0
if ! "$RUN" reg query 'HKCR\.zip' >/dev/null 2>&1; then
  "$RUN" reg add 'HKCR\.zip' /ve /d OtherZip.Archive /f >/dev/null 2>&1
  "$RUN" reg add 'HKCR\.zip' /v 'Content Type' /d application/x-other-zip /f >/dev/null 2>&1
  OWNER_ADDED=1
fi
echo "== before the setup: .zip belongs to"
query 'HKCR\.zip'

# Flat "key | value = data" lines of the registry parts that the integration touches.
export_registry() {
  local name=$1 key part
  : > "$OUT/$name.txt"
  for key in 'HKEY_CLASSES_ROOT' 'HKEY_LOCAL_MACHINE\Software' 'HKEY_CURRENT_USER\Software'; do
    part="$OUT/$name-part.reg"
    "$RUN" reg export "$key" "$(echo "Z:$part" | tr / '\\')" /y >/dev/null 2>&1 || true
    python3 - "$part" >> "$OUT/$name.txt" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
text = data.decode('utf-16') if data[:2] == b'\xff\xfe' else data.decode('utf-8', 'replace')
key, pending = '', ''
for line in text.replace('\r', '').split('\n'):
    if pending:
        line = pending + line.strip(); pending = ''
    if line.endswith('\\') and not line.startswith('['):
        pending = line[:-1]; continue
    if line.startswith('['):
        key = line[1:-1]; print(key)
    elif '=' in line and key:
        print(key + ' | ' + line)
PY
    rm -f "$part"
  done
  sort -o "$OUT/$name.txt" "$OUT/$name.txt"
}
list_shortcuts() {
  (cd "$DRIVE_C" && find users ProgramData -path '*Start Menu*' -o -path '*Desktop*' 2>/dev/null | grep -i kolvex) || true
  ls "${KVX_DEMO_HOME:-$ROOT/wine-tests/home}" 2>/dev/null | grep -i 'kolvex.*lnk' | sed 's/^/desktop: /' || true
}

export_registry before
list_shortcuts | sort > "$OUT/links-before.txt"

echo "== uninstall.exe /setup /s"
"$RUN" "$INSTALL_WIN\\uninstall.exe" /setup /s
echo "== entries written"
query 'HKCR\.zip'
query 'HKCR\.kvx'
query 'HKCR\Kolvex' /s
query 'HKCR\Kolvex.REV\DefaultIcon'
query 'HKCR\.rev'
query 'HKCR\CLSID\{3F6A0C52-71D9-4E28-B5A4-29C6E1D07B3E}' /s
query 'HKCR\*\shellex\ContextMenuHandlers\Kolvex'
query 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Kolvex.exe'
query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kolvex archiver'
query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved' /v '{3F6A0C52-71D9-4E28-B5A4-29C6E1D07B3E}'
query 'HKCU\Software\Kolvex\Setup'
query 'HKCU\Software\Kolvex\Setup\Links'
query 'HKCU\Software\Kolvex\Setup\.zip'
echo "== shortcuts written"
list_shortcuts | sed 's/^/  /'
GROUP_LINK=$(cd "$DRIVE_C" && find users -path '*Programs/Kolvex/Kolvex.lnk' | head -1)
if [ -n "$GROUP_LINK" ] && command -v lnkinfo >/dev/null; then
  echo "== $GROUP_LINK, read with lnkinfo"
  lnkinfo "$DRIVE_C/$GROUP_LINK" | grep -E 'Contains|Local path|Description' | sed 's/^\s*/  /'
fi

echo "== uninstall.exe /s"
"$RUN" "$INSTALL_WIN\\uninstall.exe" /s
for _ in $(seq 1 40); do [ -d "$INSTALL" ] || break; sleep 0.25; done
echo "installation folder: $([ -d "$INSTALL" ] && ls "$INSTALL" | tr '\n' ' ' || echo gone)"

export_registry after
list_shortcuts | sort > "$OUT/links-after.txt"
# Wine keeps some state of its own under HKCU\\Software\\Wine; HKLM\\Software\\Classes is shown once, as HKCR.
wine_own() { grep -v -e '^HKEY_CURRENT_USER\\Software\\Wine\\' -e '^HKEY_LOCAL_MACHINE\\Software\\Classes\\' || true; }
echo "== registry: in the after-state but not before (the keys named Kolvex stay empty on purpose)"
comm -13 "$OUT/before.txt" "$OUT/after.txt" | wine_own | gbk | sed 's/^/  + /'
echo "== registry: in the before-state but no longer after (nothing expected)"
comm -23 "$OUT/before.txt" "$OUT/after.txt" | wine_own | gbk | sed 's/^/  - /'
echo "== shortcuts left compared with before"
diff "$OUT/links-before.txt" "$OUT/links-after.txt" && echo "  none"
echo "== .zip after the uninstall"
query 'HKCR\.zip'

if [ "$OWNER_ADDED" = 1 ]; then
  "$RUN" reg delete 'HKCR\.zip' /f >/dev/null 2>&1 || true
fi
