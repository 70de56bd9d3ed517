#!/usr/bin/env bash
# The real client against the real server under a private Xvfb display, driven with xdotool as a
# person would play, and watched only through what a person sees: screenshots compared at known
# places, the titles of message boxes, and the server's log of what it received.
#   client_e2e.sh <desk-client> <desk-server> <e2e_xprobe> <resources> <pictures-dir> <link_relay>
#                 <desk_person>
# Exit 0 on success, 77 (skipped) when the port lock or port 9999 stays taken, 1 on a failure.
set -uo pipefail

CLIENT=$1 SERVER=$2 XPROBE=$3 RESOURCES=$4 PICTURES=$5 RELAY=$6 PERSON=$7
HERE=$(cd "$(dirname "$0")" && pwd)
for lib in processes display screen endpoint layout seen failure start; do
  source "$HERE/lib/$lib.sh"
done

WORK=$(mktemp -d /tmp/desk-e2e.XXXXXX)
finish() {
  stop_started
  rm -rf "$WORK"
}
trap finish EXIT
trap 'exit 143' TERM INT  # so that the EXIT trap stops what we started

FAILURE_SHOT=$PICTURES/e2e-failure.png
step() { echo "[$SECONDS s] $*"; }

start_client_test "$RESOURCES"

source "$HERE/stages.sh"

stage_server_down
stage_whole_game
stage_game_by_keys
stage_server_lost
stage_rejoin
stage_private_desk
stage_watch
step "all stages passed"
