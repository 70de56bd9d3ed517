#!/usr/bin/env bash
# Sets up what client_bench measures in: a private Xvfb display (and one of 2048 x 1536 for the
# double-size phase), the port lock, a resources directory pointing the client at the bench's
# loopback address; then runs it.
#   run_client_bench.sh <client_bench> <desk-client> <desk_headless_probe> <resources> [--short]
# Exit 77 (skipped) when the port lock or port 9999 stays taken.
set -uo pipefail

BENCH=$1 CLIENT=$2 HEADLESS=$3 RESOURCES=$4
shift 4
E2E=$(cd "$(dirname "$0")/../../tests/e2e" && pwd)
for lib in processes display screen endpoint layout; do
  source "$E2E/lib/$lib.sh"
done

WORK=$(mktemp -d /tmp/desk-bench.XXXXXX)
trap 'stop_started; rm -rf "$WORK"' EXIT
trap 'exit 143' TERM INT  # so that the EXIT trap stops what we started

take_port_lock 300 || { echo "port 9999 lock held too long; skipped"; exit 77; }
wait_until 60 port_free || { echo "$E2E_HOST:9999 is taken by someone else; skipped"; exit 77; }
start_display "$WORK/xvfb-2x.log" 2048x1536x24 || exit 1
DISPLAY_2X=$DISPLAY
start_display "$WORK/xvfb.log" || exit 1
client_resources "$WORK/resources" "$RESOURCES"
# The client keeps its settings under here, never in the user's own folder.
export XDG_CONFIG_HOME="$WORK/config"
# A player who chose a name at an earlier start: the hall opens without the name panel.
mkdir -p "$XDG_CONFIG_HOME/desk-client"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<userDefaultRoot><playerName>bench</playerName></userDefaultRoot>\n' \
  >"$XDG_CONFIG_HOME/desk-client/UserDefault.xml"
load_layout_colours "$RESOURCES"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export XDG_CACHE_HOME="$WORK/cache"

# Players do not run the game as root, and Xlib keeps no parsed Compose table for root (about
# 12 ms of every start): run as root, the bench runs the clients as nobody, in a work folder that
# is theirs, wherever nobody can reach the programs. The report says which.
as_user=()
if [ "$(id -u)" = 0 ] && setpriv --reuid=nobody --regid=nogroup --clear-groups sh -c \
     'test -x "$1" && test -x "$2" && test -r "$3"' _ "$CLIENT" "$HEADLESS" "$RESOURCES/bj.png" \
     2>/dev/null; then
  chown -R nobody:nogroup "$WORK"
  as_user=(--as-user nobody)
fi

"$BENCH" --client "$CLIENT" --headless "$HEADLESS" --host "$E2E_HOST" \
  --hall-colour "$QUICK_JOIN_COLOUR" --work "$WORK" --display-2x "$DISPLAY_2X" "${as_user[@]}" "$@"
status=$?
if ((status != 0)); then
  tail -n 20 "$WORK"/*.log >&2
fi
exit $status
