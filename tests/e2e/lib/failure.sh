# A test's end on a failure: the message, a screenshot, and the tail of every log in $WORK.
# Needs screen.sh. Source it with FAILURE_SHOT naming the picture, then: fail <message...>

fail() {
  echo "FAIL: $*" >&2
  shot "$FAILURE_SHOT" 2>/dev/null
  for log in "$WORK"/*.log; do
    echo "---- $(basename "$log")" >&2
    tail -n 40 "$log" >&2
  done
  # Again after the logs, where a shortened report (only its head and tail) still shows it.
  echo "FAIL: $*" >&2
  exit 1
}
