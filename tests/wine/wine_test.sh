# What the Wine tests share: a work folder, a Wine prefix of the test's own, copied from the
# project's (scripts/build-windows makes it; the big files are hard links, the registry files
# real copies, so a registry change stays in the copy), a private Xvfb display, and at the end
# every process started, the prefix's wineserver and the folder gone.
# Source it, then: wine_test_start <name> [WIDTHxHEIGHTxDEPTH]   (sets WORK, exports WINEPREFIX
#                                                               and DISPLAY)
#                  fail <message>   (the logs in WORK, then exit 1)
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
for lib in processes display screen; do
  source "$HERE/../e2e/lib/$lib.sh"
done
WINE_RUN=$HERE/../../scripts/wine-run

wine_test_finish() {
  stop_started
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  rm -rf "$WORK"
}

fail() {
  echo "FAIL: $*" >&2
  for log in "$WORK"/*.log; do
    echo "---- $(basename "$log")" >&2
    tail -n 30 "$log" >&2
  done
  exit 1
}

wine_test_start() {
  WORK=$(mktemp -d "/tmp/desk-$1.XXXXXX")
  trap wine_test_finish EXIT
  trap 'exit 143' TERM INT
  local source=${DESK_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/desk}/wine file
  [ -f "$source/system.reg" ] || fail "no Wine prefix at $source"
  cp -al "$source" "$WORK/wine" || fail "cannot copy the Wine prefix"
  for file in system.reg user.reg userdef.reg; do
    rm -f "$WORK/wine/$file"
    cp "$source/$file" "$WORK/wine/$file" || fail "cannot copy $file"
  done
  export WINEPREFIX=$WORK/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=d;mshtml=d"
  start_display "$WORK/xvfb.log" "${2:-1024x768x24}" || fail "no X display"
}
