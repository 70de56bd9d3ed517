# The common start of a test of the client against a server on $E2E_HOST:9999: the port lock and a
# free port (or exit 77, skipped), a private display, the client's resources pointing at
# $E2E_HOST, the layout's colours, the pictures folder, and a settings folder of the test's own
# (never the user's). Needs the other libraries and fail (failure.sh).
# Source it, then: start_client_test <resources>

start_client_test() {
  take_port_lock 120 || { echo "port 9999 lock held too long; skipped"; exit 77; }
  wait_until 60 port_free || { echo "$E2E_HOST:9999 is taken by someone else; skipped"; exit 77; }
  start_display "$WORK/xvfb.log" || fail "no X display"
  client_resources "$WORK/resources" "$1"
  load_layout_colours "$1"
  mkdir -p "$PICTURES"
  export XDG_CONFIG_HOME="$WORK/config"
}
