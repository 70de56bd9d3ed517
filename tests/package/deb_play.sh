#!/usr/bin/env bash
# The Debian package as a player gets it: unpacked into a throwaway root (dpkg -x), desk-play run
# from there under a private Xvfb display must open the client on the hall over a server the
# client started as its child, and that server must end with the client. The server's records go
# to its default data folder under a private XDG_DATA_HOME. The public server's parts are checked
# too: the systemd unit (systemd-analyze verify where it is installed), its options as a conffile
# the server accepts, and the user the maintainer script makes.
#   deb_play.sh <package.deb> <e2e_xprobe> <pictures-dir>
# Exit 0 on success, 77 (skipped) when 127.0.0.1:9999 is taken, 1 on a failure.
set -uo pipefail

DEB=$1 XPROBE=$2 PICTURES=$3
HERE=$(cd "$(dirname "$0")" && pwd)
for lib in processes display screen endpoint layout seen; do
  source "$HERE/../e2e/lib/$lib.sh"
done

WORK=$(mktemp -d /tmp/desk-deb.XXXXXX)
finish() {
  stop_started
  rm -rf "$WORK"
}
trap finish EXIT
trap 'exit 143' TERM INT

fail() {
  echo "FAIL: $*" >&2
  shot "$PICTURES/deb-failure.png" 2>/dev/null
  tail -n 40 "$WORK"/*.log >&2
  exit 1
}
listening() { (exec 3<>/dev/tcp/127.0.0.1/9999) 2>/dev/null; }

# desk-play serves on 127.0.0.1:9999; other tests with servers use addresses of their own.
take_port_lock 120 || { echo "port 9999 lock held too long; skipped"; exit 77; }
listening && { echo "127.0.0.1:9999 is taken by someone else; skipped"; exit 77; }

dpkg -x "$DEB" "$WORK/root" || fail "dpkg -x failed"
ROOT=$WORK/root/usr
for file in games/desk-play games/desk-client games/desk-server share/applications/desk.desktop \
  share/icons/hicolor/128x128/apps/desk.png share/desk/resources/config/strings.plist \
  share/doc/desk/copyright; do
  [ -e "$ROOT/$file" ] || fail "the package lacks /usr/$file"
done
grep -q '^Exec=desk-play$' "$ROOT/share/applications/desk.desktop" || fail "the menu entry runs no desk-play"

# The public server: shipped, not enabled, its options a conffile that desk-server accepts.
UNIT=$ROOT/lib/systemd/system/desk-server.service
DEFAULTS=$WORK/root/etc/default/desk-server
[ -f "$UNIT" ] || fail "the package lacks /usr/lib/systemd/system/desk-server.service"
[ -f "$DEFAULTS" ] || fail "the package lacks /etc/default/desk-server"
[ ! -e "$WORK/root/etc/systemd" ] || fail "the package enables a service by itself"
grep -q '^ExecStart=/usr/games/desk-server \$DESK_SERVER_OPTIONS$' "$UNIT" ||
  fail "the unit does not run /usr/games/desk-server with the defaults' options"
grep -q '^User=desk-server$' "$UNIT" || fail "the unit does not run as its own user"
dpkg-deb -e "$DEB" "$WORK/control" || fail "dpkg-deb -e failed"
grep -qx /etc/default/desk-server "$WORK/control/conffiles" ||
  fail "/etc/default/desk-server is not a conffile"
grep -q 'adduser --system' "$WORK/control/postinst" || fail "postinst makes no system user"
options=$(sed -n 's/^DESK_SERVER_OPTIONS="\(.*\)"$/\1/p' "$DEFAULTS")
[ -n "$options" ] || fail "/etc/default/desk-server sets no DESK_SERVER_OPTIONS"
# shellcheck disable=SC2086 # split as systemd splits $DESK_SERVER_OPTIONS
"$ROOT/games/desk-server" $options --print-addresses >"$WORK/addresses.log" 2>&1 ||
  fail "desk-server refuses the shipped options: $(cat "$WORK/addresses.log")"
# systemd-analyze verify warns of unknown keys and bad values but passes them: any word fails.
# The unit is verified as shipped but for the program's path, which is in the unpacked root here.
if command -v systemd-analyze >/dev/null; then
  sed "s|/usr/games/desk-server|$ROOT/games/desk-server|" "$UNIT" >"$WORK/desk-server.service"
  systemd-analyze verify --man=no "$WORK/desk-server.service" >"$WORK/verify.log" 2>&1 &&
    [ ! -s "$WORK/verify.log" ] || fail "systemd-analyze verify: $(cat "$WORK/verify.log")"
fi

start_display "$WORK/xvfb.log" || fail "no X display"
load_layout_colours "$ROOT/share/desk/resources"
mkdir -p "$PICTURES"
unset DESK_RESOURCES
# The server keeps its records in the default data folder: a private one here, not the home's.
start_process "$WORK/desk-play.log" env SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$WORK/data" \
  "$ROOT/games/desk-play"
PLAY=$STARTED_PID
wait_until 10 listening || fail "desk-play started no server"
wait_until 20 eval "hall_shown || name_panel_shown" || fail "neither the hall nor the first start's name panel is shown"
wait_until 5 test -s "$WORK/data/desk-server/records.sqlite3" ||
  fail "the server made no records file in its default data folder"
shot "$PICTURES/deb-hall.png"

# desk-play became the client, whose child the server is; the player closes the game and the
# server ends with it.
[ "$(cat "/proc/$PLAY/comm")" = desk-client ] || fail "desk-play did not become desk-client"
[ -n "$(pgrep -P "$PLAY" -x desk-server)" ] || fail "the client started no desk-server child"
kill -TERM "$PLAY"
wait_until 10 eval "! process_alive $PLAY" || fail "the client still runs after SIGTERM"
wait_until 5 eval "! listening" || fail "the server the client started still listens"
echo "desk-play from the package showed the hall and its server ended with the client"
