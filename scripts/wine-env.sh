#!/bin/bash
# Prepares the environment that wine-run set (locale, prefix, server) and runs the program.
# Usage: wine-env.sh PROGRAM [ARGS...]
set -e
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
mkdir -p "$HOME" "$LOCPATH"
KVX_LANG=$LANG
export LANG=C

# zh_CN.UTF-8 gives the Windows side code page 936 while Unix file names stay UTF-8.
if [ ! -d "$LOCPATH/zh_CN.UTF-8" ]; then
  ( flock 9; [ -d "$LOCPATH/zh_CN.UTF-8" ] || localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8" 2>/dev/null || true ) 9>"$LOCPATH.lock"
fi

setup_prefix() {
  "$WINE" wineboot -i >/dev/null 2>&1
  # A virtual desktop: without a window manager every closed window costs Wine about 2 s.
  "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1000 /f >/dev/null 2>&1
  # The dialogs ask for the SimSun face; map it to the CJK font that the machine has (its
  # Sharp face, whose hand-made bitmaps keep every stroke at the dialogs' 12 pixels).
  local reg="$WINEPREFIX/fonts.reg"
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"宋体"="WenQuanYi Zen Hei Sharp"\r\n"SimSun"="WenQuanYi Zen Hei Sharp"\r\n"MS Shell Dlg"="WenQuanYi Zen Hei Sharp"\r\n"Tahoma"="WenQuanYi Zen Hei Sharp"\r\n' \
    | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
  "$WINE" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1 || true
  "$WINESERVER" -k || true
  "$WINESERVER" -w || true
  touch "$WINEPREFIX/.kvx-ready"
}

winepath_of() { echo "Z:${1//\//\\}"; }

if [ ! -f "$WINEPREFIX/.kvx-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  ( flock 9; [ -f "$WINEPREFIX/.kvx-ready" ] || setup_prefix ) 9>"$WINEPREFIX.lock"
fi
# A persistent server makes each later start take a fraction of a second. When it has just
# started, let wineboot bring up Wine's own services with no inherited output: a service that
# held the caller's stdout open would keep CTest waiting for the end of the output.
if "$WINESERVER" -p </dev/null >/dev/null 2>&1; then
  "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
fi
export LANG=$KVX_LANG
exec "$WINE" "$@"
