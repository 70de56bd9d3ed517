# A private X display for one test: Xvfb on the first free number from 70, 1024 x 768 (the
# client's window fills it exactly, so window pixels are screen pixels), or another screen size.
# Needs processes.sh.
# Source it, then: start_display <log> [WIDTHxHEIGHTxDEPTH]   (exports DISPLAY)

start_display() {
  local log=$1 screen=${2:-1024x768x24} n
  for n in $(seq 70 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    start_process "$log" Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset
    local pid=$STARTED_PID
    for _ in $(seq 50); do
      if DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1; then
        # Another test's server may have answered on the number this one lost: ours has ended
        # within a moment then ("Server is already active").
        sleep 0.2
        process_alive "$pid" || break
        export DISPLAY=":$n"
        return 0
      fi
      process_alive "$pid" || break  # lost the race for this number to someone else
      sleep 0.1
    done
    stop_process "$pid"
  done
  echo "no free X display" >&2
  return 1
}
