#!/usr/bin/env bash
# The Debian package as a player gets it: unpacked into a throwaway root (dpkg -x), desk-play run
# from there under a private Xvfb display must start its own server, open the client on the hall,
# and stop that server once the client ends. The server's records go to its default data folder
# under a private XDG_DATA_HOME.
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

# The player closes the game: desk-play ends and takes its server along.
client=$(pgrep -P "$PLAY" -x desk-client)
[ -n "$client" ] || fail "no desk-client under desk-play"
kill -TERM "$client"
wait_until 10 eval "! process_alive $PLAY" || fail "desk-play still runs after the client ended"
wait_until 5 eval "! listening" || fail "the server desk-play started still listens"
echo "desk-play from the package showed the hall and stopped its server"
