#!/usr/bin/env bash
# The real client starting its own server (--local-server, as ./play and desk-play run it) under a
# private Xvfb display: the hall comes up over a desk-server child; killing the client with
# SIGKILL takes that server along within a second, and a normal end does too; a server already
# listening is used and left alone; a server that cannot start ends in the client's usual box.
#   local_server_e2e.sh <desk-client> <desk-server> <e2e_xprobe> <resources> <pictures-dir>
# Exit 0 on success, 77 (skipped) when the port lock or port 9999 stays taken, 1 on a failure.
set -uo pipefail

CLIENT=$1 SERVER=$2 XPROBE=$3 RESOURCES=$4 PICTURES=$5
HERE=$(cd "$(dirname "$0")" && pwd)
E2E_HOST=127.0.99.6
for lib in processes display screen endpoint layout seen failure start; do
  source "$HERE/lib/$lib.sh"
done

WORK=$(mktemp -d /tmp/desk-local-server.XXXXXX)
finish() {
  stop_started
  rm -rf "$WORK"
}
trap finish EXIT
trap 'exit 143' TERM INT

FAILURE_SHOT=$PICTURES/local-server-failure.png
step() { echo "[$SECONDS s] $*"; }

# gone <pid>: no such process, or only its zombie (its new parent has not reaped it yet).
gone() { [ ! -e "/proc/$1" ] || [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" = Z ]; }
# within_tenths <n> <command...>: the command succeeds within n tenths of a second.
within_tenths() {
  local n=$1 i
  shift
  for ((i = 0; i <= n; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# client_with_own_server <log>: the client asked to start its server, up to its hall; sets
# CLIENT_PID and CHILD_SERVER.
client_with_own_server() {
  start_process "$1" "$CLIENT" --local-server "$SERVER" --no-records --log-messages
  CLIENT_PID=$STARTED_PID
  wait_until 20 hall_shown || fail "no hall over the client's own server"
  CHILD_SERVER=$(pgrep -P "$CLIENT_PID" -x desk-server)
  [ -n "$CHILD_SERVER" ] || fail "the client shows the hall but has no desk-server child"
  port_free && fail "the client's server does not listen on $E2E_HOST:9999"
}

start_client_test "$RESOURCES"
# A player who has played before (a kept name): the hall opens without the first start's name panel.
mkdir -p "$XDG_CONFIG_HOME/desk-client"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<userDefaultRoot><playerName>Host</playerName></userDefaultRoot>\n' \
  >"$XDG_CONFIG_HOME/desk-client/UserDefault.xml"

step "killed client"
client_with_own_server "$WORK/client-killed.log"
shot "$PICTURES/local-server-hall.png"
grep -q "listening on $E2E_HOST:9999" "$WORK/client-killed.log" ||
  fail "the server's log did not reach the client's standard error"
kill -KILL "$CLIENT_PID"
within_tenths 10 gone "$CHILD_SERVER" || fail "desk-server still runs a second after the client was killed"
within_tenths 2 port_free || fail "$E2E_HOST:9999 still answers after the client was killed"
wait "$CLIENT_PID" 2>/dev/null

step "client ending normally"
client_with_own_server "$WORK/client-closed.log"
kill -TERM "$CLIENT_PID"  # SDL turns it into the window's quit: the client's normal end
wait_until 10 eval "! process_alive $CLIENT_PID" || fail "the client did not end on SIGTERM"
wait "$CLIENT_PID"
status=$?
((status == 0)) || fail "the client ended with status $status"
within_tenths 10 gone "$CHILD_SERVER" || fail "desk-server outlived the client's normal end"
port_free || fail "$E2E_HOST:9999 still answers after the client ended"

step "a server listens already"
start_server "$WORK/server.log" "$SERVER" || fail "desk-server did not start"
OWN_SERVER=$SERVER_PID
start_process "$WORK/client-beside.log" "$CLIENT" --local-server "$SERVER" --no-records
CLIENT_PID=$STARTED_PID
wait_until 20 hall_shown || fail "no hall with a server already listening"
[ -z "$(pgrep -P "$CLIENT_PID" -x desk-server)" ] || fail "the client started a second server"
grep -q "a server already listens on $E2E_HOST:9999" "$WORK/client-beside.log" ||
  fail "the client did not say it uses the server already listening"
stop_process "$CLIENT_PID"
process_alive "$OWN_SERVER" || fail "the client's end stopped a server it had not started"
stop_process "$OWN_SERVER"

step "a server that cannot start"
start_process "$WORK/client-nothing.log" "$CLIENT" --local-server "$WORK/no-such-server"
CLIENT_PID=$STARTED_PID
wait_until 10 box_open '^错误$' || fail "no connection box when the server cannot start"
dismiss '^错误$' || fail "the connection box stays open after Return"
wait_until 5 eval "! process_alive $CLIENT_PID" || fail "the client still runs after its box"
grep -q "cannot start the local server" "$WORK/client-nothing.log" ||
  fail "the client did not say why the server did not start"
step "all stages passed"
