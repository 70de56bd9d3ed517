#!/usr/bin/env bash
# An outdated client under Wine ends with status 0 once the player closes the version box, while
# its main thread is drawing: RUNS runs in a row (default 10), each on a private Xvfb display,
# the box closed with Enter as a player would. Any other status, a crash among them, fails.
#   wine_refusal.sh <window_probe.exe> <dll folder> [runs]
set -uo pipefail

PROBE=$1 DLLS=$2 RUNS=${3:-10}
HERE=$(cd "$(dirname "$0")" && pwd)
for lib in "$HERE/../e2e/lib/processes.sh" "$HERE/../e2e/lib/display.sh" "$HERE/../e2e/lib/screen.sh" \
  "$HERE/wine_prefix.sh"; do
  source "$lib"
done
WORK=$(mktemp -d /tmp/desk-wine-refusal.XXXXXX)
finish() {
  stop_started
  stop_wine_prefix
  rm -rf "$WORK"
}
trap finish EXIT
trap 'exit 143' TERM INT

fail() {
  echo "FAIL: $*" >&2
  tail -n 30 "$WORK/probe.log" >&2
  exit 1
}

own_wine_prefix "$WORK/wine" || fail "no Wine prefix of our own"
start_display "$WORK/xvfb.log" || fail "no X display"
settings=$(winepath -w "$WORK" 2>/dev/null)\\settings

for run in $(seq "$RUNS"); do
  start_process "$WORK/probe.log" "$HERE/../../scripts/wine-run" --dlls "$DLLS" "$PROBE" refuse \
    "$settings"
  probe=$STARTED_PID
  box=
  for _ in $(seq 300); do
    box=$(window_named '^错误$')
    [ -n "$box" ] && break
    process_alive "$probe" || break
    sleep 0.1
  done
  [ -n "$box" ] || fail "run $run: no version box"
  sleep 0.3  # the main thread draws on behind the box
  xdotool windowactivate --sync "$box" key --window "$box" Return 2>/dev/null ||
    xdotool windowfocus --sync "$box" key Return
  status=
  for _ in $(seq 100); do
    if ! process_alive "$probe"; then
      wait "$probe"
      status=$?
      break
    fi
    sleep 0.1
  done
  [ -n "$status" ] || fail "run $run: still running 10 s after the box was closed"
  [ "$status" = 0 ] || fail "run $run: ended with status $status, not 0"
  echo "[$SECONDS s] run $run: status 0"
done
