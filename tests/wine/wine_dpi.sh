#!/usr/bin/env bash
# The client's window under Wine at the display scalings Windows offers as 150 % and 200 %
# (LogPixels 144 and 192 in a Wine prefix of the test's own, on a private Xvfb display): the
# window opens at the same physical size as an unscaled program stretched by Windows would have,
# the double-size images are chosen, and a click on quick join and on a hand card land on them.
# At 192 DPI the hall is also kept as <pictures>/windows-192dpi.png.
#   wine_dpi.sh <window_probe.exe> <dll folder> <pictures-dir>
set -uo pipefail

PROBE=$1 DLLS=$2 PICTURES=$3
source "$(dirname "$0")/wine_test.sh"
wine_test_start wine-dpi 2560x1600x24

# waits up to $2 s for a line of the probe's log matching the regex $1; prints the last one
# (without the carriage return the Windows C runtime writes before each line feed)
line_of() {
  local deadline=$((SECONDS + $2)) found
  while ((SECONDS < deadline)); do
    found=$(tr -d '\r' <"$LOG" | grep -E "$1" | tail -n 1)
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.2
  done
  return 1
}

#           dpi  the window's pixels (1024 x 768 points, 1.5 and 2 pixels a point)
for row in "144 1536 1152" "192 2048 1536"; do
  read -r dpi width height <<<"$row"
  echo "[$SECONDS s] $dpi DPI"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
    fail "cannot set LogPixels"
  wineserver -w
  LOG=$WORK/probe-$dpi.log
  start_process "$LOG" "$WINE_RUN" --dlls "$DLLS" "$PROBE" scaled \
    "$(winepath -w "$WORK" 2>/dev/null)\\settings-$dpi"
  probe=$STARTED_PID
  size=$(line_of '^window ' 60) || fail "the probe's window did not open"
  # 1024 x 768 points (the default size) at this scaling; the double-size images from 1.5 up.
  [ "$size" = "window 1024 768 pixels $width $height scale 2" ] ||
    fail "at $dpi DPI: '$size', expected 1024 x 768 points of $width x $height pixels at scale 2"
  id=$(xdotool search --sync --name '^desk window probe$' | head -n 1)
  [ -n "$id" ] || fail "no X window for the probe"
  # Clicks are placed relative to the window, wherever Wine has put it by then.
  eval "$(xdotool getwindowgeometry --shell "$id")"
  [ "$WIDTH $HEIGHT" = "$width $height" ] ||
    fail "at $dpi DPI the window is $WIDTH x $HEIGHT on the screen, not $width x $height"

  if [ "$dpi" = 192 ]; then
    sleep 0.5
    import -window "$id" "$PICTURES/windows-192dpi.png" 2>/dev/null ||
      echo "no screenshot (ImageMagick's import failed)"
  fi
  # Quick join, at design (512, 384), 260 x 88: beside it first (nothing), then on its right part.
  xdotool mousemove --sync --window "$id" $((width / 2 + 140 * width / 1024)) $((height / 2)) click 1
  sleep 0.5
  grep -q '^sent {"opt":"add"}' "$LOG" && fail "at $dpi DPI a click beside quick join pressed it"
  xdotool mousemove --sync --window "$id" $((width / 2 + 110 * width / 1024)) $((height / 2)) click 1
  line_of '^sent \{"opt":"add"\}' 10 >/dev/null || fail "at $dpi DPI quick join was not hit"
  card=$(line_of '^card ' 10) || fail "at $dpi DPI no hand was shown"
  read -r _ code cx cy <<<"$card"
  xdotool mousemove --sync --window "$id" "$cx" "$cy" click 1
  line_of "^raised $code\$" 10 >/dev/null || fail "at $dpi DPI the card $code at $cx, $cy was not raised"
  stop_process "$probe"
  wineserver -k 2>/dev/null
  echo "[$SECONDS s] $dpi DPI: $size, quick join and card $code hit"
done
