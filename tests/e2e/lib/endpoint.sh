# Where the test's server listens and how the client is pointed at it. The client always dials
# port 9999 on its configured host, so tests that run desk-server take the lock file
# /tmp/desk-e2e-9999.lock for their whole run (one at a time, across build trees), and use a
# loopback address of their own so that someone's manual server on 127.0.0.1:9999 is no obstacle.
# The client reads config/strings.plist from $DESK_RESOURCES first: a copy with our host goes
# there and every other resource falls through to the installed ones.

E2E_HOST=${E2E_HOST:-127.0.99.1}
E2E_PORT=9999

# take_port_lock [seconds]: false when the lock stayed taken that long.
take_port_lock() {
  exec {E2E_LOCK_FD}>/tmp/desk-e2e-9999.lock
  flock -w "${1:-120}" "$E2E_LOCK_FD"
}

# port_free: nothing accepts connections on $E2E_HOST:9999.
port_free() { ! (exec 3<>"/dev/tcp/$E2E_HOST/$E2E_PORT") 2>/dev/null; }

# client_resources <dir> <source-resources>: exports DESK_RESOURCES naming a directory whose
# strings.plist is the shipped one with "host" set to $E2E_HOST.
client_resources() {
  mkdir -p "$1/config"
  sed "/<key>host<\/key>/{n;s|<string>[^<]*</string>|<string>$E2E_HOST</string>|}" \
    "$2/config/strings.plist" >"$1/config/strings.plist"
  export DESK_RESOURCES=$1
}

# start_server <log> <desk-server> <options...>: started and listening, or false (the reason is
# in the log). Sets SERVER_PID.
start_server() {
  local log=$1 exe=$2
  shift 2
  start_process "$log" "$exe" --host "$E2E_HOST" --port "$E2E_PORT" --log-messages --no-records "$@"
  SERVER_PID=$STARTED_PID
  wait_until 5 grep -q "listening on" "$log" && return 0
  stop_process "$SERVER_PID"
  return 1
}
