#!/usr/bin/env bash
# An outdated client under Wine ends with status 0 once the player closes the version box, while
# its main thread is drawing: RUNS runs in a row (default 10), each on a private Xvfb display,
# the box closed with Enter as a player would. Every run must end with 0. Ends that crashed under
# Wine, each in Direct3D's own drawing thread (ProcessEnd.h): _Exit from the receiver thread in
# about one run of nine, TerminateProcess from it in about one run of forty.
#   wine_refusal.sh <window_probe.exe> <dll folder> [runs]
set -uo pipefail

PROBE=$1 DLLS=$2 RUNS=${3:-10}
source "$(dirname "$0")/wine_test.sh"
wine_test_start wine-refusal
settings=$(winepath -w "$WORK" 2>/dev/null)\\settings

for run in $(seq "$RUNS"); do
  start_process "$WORK/probe.log" "$WINE_RUN" --dlls "$DLLS" "$PROBE" refuse \
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
  [ "$status" = 0 ] || fail "run $run: ended with status $status"
  echo "[$SECONDS s] run $run: status 0"
done
