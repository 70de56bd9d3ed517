# A Wine prefix of the test's own, copied from the project's (scripts/build-windows makes it):
# the big files are hard links, the registry files real copies, so a registry change stays in
# the copy. Its wineserver is stopped with it. Needs processes.sh.
# Source it, then: own_wine_prefix <folder>   (exports WINEPREFIX)
#                  stop_wine_prefix

own_wine_prefix() {
  local source=${DESK_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/desk}/wine
  [ -f "$source/system.reg" ] || { echo "no Wine prefix at $source" >&2; return 1; }
  cp -al "$source" "$1" || return 1
  local file
  for file in system.reg user.reg userdef.reg; do
    rm -f "$1/$file"
    cp "$source/$file" "$1/$file" || return 1
  done
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=d;mshtml=d"
}

stop_wine_prefix() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  return 0
}
