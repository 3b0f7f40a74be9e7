# Sourced by the demo step scripts once ROOT (a build root) is set: the programs to run, the
# prefix they run in (the demo's throwaway one when demo.sh set it) and small helpers.
ROOT=$(cd "$ROOT" && pwd)   # the steps also run programs from inside other folders
RUN="$ROOT/wine-tests/wine-run"
BIN="$ROOT/wine-tests/bin"
PREFIX=${KVX_DEMO_PREFIX:-$ROOT/wine-tests/wineprefix}

# Stops with a hint unless the wine-tests build has made every file named.
demo_require() {
  local f
  for f in "$RUN" "$@"; do
    [ -e "$f" ] && continue
    echo "build the wine-tests configuration first: cmake --preset wine-tests -B $ROOT/wine-tests && cmake --build $ROOT/wine-tests" >&2
    exit 1
  done
}

# Without a display, runs the calling script again on a private one and stops its Wine
# server afterwards. Call as: demo_need_display "$0" "$@"
demo_need_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  stop_wine() { WINEPREFIX="$PREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true; }
  trap stop_wine EXIT
  scripts/xvfb-session.sh "$@"
  exit $?
}

# reg.exe prints in code page 936.
gbk() { iconv -f GB18030 -t UTF-8 2>/dev/null | tr -d '\r'; }
query() { "$RUN" reg query "$@" 2>/dev/null | gbk | grep -v -e '^$' -e '^reg:' || echo "  (no such key: $1)"; }
