# Processes a test starts, remembered by id and stopped by id (never by name) when the test ends.
# Source it, then: start_process <log-file> <command...>   (sets STARTED_PID)
#                  stop_process <pid>
#                  trap stop_started EXIT

STARTED_PIDS=()

# The port lock's descriptor (endpoint.sh) is closed in the child, so that a process outliving the
# test cannot keep the lock.
start_process() { # start_process <log> <command...>
  local log=$1
  shift
  # Emptied here, before the background job opens it: a wait for a line in a reused log must not
  # find the previous process's line while the new one has not started yet.
  : >"$log"
  if [ -n "${E2E_LOCK_FD:-}" ]; then
    "$@" >"$log" 2>&1 {E2E_LOCK_FD}>&- &
  else
    "$@" >"$log" 2>&1 &
  fi
  STARTED_PID=$!
  STARTED_PIDS+=("$STARTED_PID")
}

process_alive() { kill -0 "$1" 2>/dev/null; }

# TERM, then KILL after two seconds; reaps the child so its status is not left behind. The
# process's own children go too: SDL shows each message box from a forked child.
stop_process() {
  local pid=$1 children
  process_alive "$pid" || return 0
  children=$(pgrep -P "$pid")
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 20); do
    process_alive "$pid" || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  for pid in $children; do
    kill -KILL "$pid" 2>/dev/null || true
  done
}

# Latest first, so the client goes before its server and the display goes last.
stop_started() {
  local i
  for ((i = ${#STARTED_PIDS[@]} - 1; i >= 0; i--)); do
    stop_process "${STARTED_PIDS[i]}"
  done
}
