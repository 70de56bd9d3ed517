# What a person sees, read through the probe tool ($XPROBE, built from xprobe.cpp): the whole
# screen as a PNG and the colours at given window pixels (origin top-left, as xdotool counts).

shot() { "$XPROBE" shot "$1"; }            # shot <png>
pixel_now() { "$XPROBE" pixel "$1" "$2"; } # pixel_now <x> <y>: prints "r g b"

# row_now <y>: the colours of the whole row y, one "r g b" line per x from 0 to 1023.
row_now() {
  local x args=()
  for ((x = 0; x < 1024; x++)); do
    args+=("$x" "$1")
  done
  "$XPROBE" pixel "${args[@]}"
}

# image_pixel <png> <x> <y>: the colour of a resource image, "r g b".
image_pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}

# near "<r g b>" "<r g b>" [tolerance]: every channel within the tolerance (default 24).
near() {
  local -a a=($1) b=($2)
  local tol=${3:-24} i d
  for i in 0 1 2; do
    d=$((a[i] - b[i]))
    ((d < 0)) && d=$((-d))
    ((d > tol)) && return 1
  done
  return 0
}

# differs "<r g b>" "<r g b>": some channel further apart than 40.
differs() { ! near "$1" "$2" 40; }

# wait_until <seconds> <command...>: polls every 0.1 s; false when time runs out.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS >= deadline)) && return 1
    sleep 0.1
  done
}

# click <x> <y>: a press and release as a mouse user makes it.
click() { xdotool mousemove "$1" "$2" mousedown 1 sleep 0.05 mouseup 1; }

# key <keysym>: a key pressed and released in the client's window, given the input focus first.
key() {
  local id
  id=$(window_named '^双扣$')
  [ -n "$id" ] && xdotool windowfocus --sync "$id" 2>/dev/null
  xdotool key "$1"
}

# window_named <regex>: the id of the first window whose title matches, or nothing. Read from
# xwininfo: xdotool search misses the message boxes, whose title is UTF-8 only.
window_named() {
  local id name
  while read -r id name; do
    if [[ $name =~ $1 ]]; then
      echo "$id"
      return
    fi
  done < <(listed_windows)
}

# listed_windows: "<id> <title>" for every titled window, one a line.
listed_windows() {
  xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "\(.*\)": .*/\1 \2/p'
}
