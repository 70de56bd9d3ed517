#!/usr/bin/env bash
# The Windows package as a player gets it: the zip unpacked into a folder named in Chinese, both
# programs run from there under Wine on a private Xvfb display, watched and driven as in
# client_e2e.sh: with no server the "错误" box and the end once it is dismissed; then a short
# whole game against desk-server.exe's computer players and back to the hall; then the client
# starting desk-server.exe itself (--local-server, as play.bat does), killed and then closed:
# each time no desk-server.exe is left and port 9999 is free; and Ctrl+C stopping desk-server.exe.
#   windows_zip.sh <package.zip> <e2e_xprobe> <pictures-dir>
# Exit 0 on success, 77 (skipped) when the port lock or port 9999 stays taken, 1 on a failure.
set -uo pipefail

ZIP=$1 XPROBE=$2 PICTURES=$3
HERE=$(cd "$(dirname "$0")" && pwd)
E2E=$HERE/../e2e
for lib in processes display screen endpoint layout seen failure; do
  source "$E2E/lib/$lib.sh"
done

WORK=$(mktemp -d /tmp/desk-windows.XXXXXX)
finish() {
  stop_started
  rm -rf "$WORK"
}
trap finish EXIT
trap 'exit 143' TERM INT

FAILURE_SHOT=$PICTURES/windows-failure.png
step() { echo "[$SECONDS s] $*"; }

# The folder a player unpacked the game into, its name in Chinese; the client's own settings
# there point it at this test's address.
FOLDER=$WORK/游戏
mkdir -p "$FOLDER"
unzip -q "$ZIP" -d "$FOLDER" || fail "cannot unpack $ZIP"
GAME=$(find "$FOLDER" -maxdepth 2 -name desk-client.exe -printf '%h\n')
[ -n "$GAME" ] || fail "no desk-client.exe in the package"
for file in desk-server.exe play.bat host-lan.bat README.txt resources/config/strings.plist \
  licences/SDL2.txt; do
  [ -e "$GAME/$file" ] || fail "the package lacks $file"
done
# The version the package is named by is the one play.bat and README.txt state; the game's own
# licence is there beside the others'.
VERSION=$(basename "$ZIP" | sed -n 's/^desk-\(.*\)-windows-x86_64\.zip$/\1/p')
for file in play.bat README.txt; do
  grep -qF "$VERSION" "$GAME/$file" || fail "$file does not say the version $VERSION"
done
grep -q "MIT License" "$GAME/licences/desk.txt" || fail "no MIT licence in licences/desk.txt"
# Each program's version resource (UTF-16 strings): the version and the project as company.
for program in desk-client desk-server; do
  texts=$(strings -el -n 3 "$GAME/$program.exe")
  grep -qx "$VERSION" <<<"$texts" || fail "$program.exe carries no version $VERSION"
  grep -qx "The desk project" <<<"$texts" || fail "$program.exe names no company"
done
E2E_HOST=127.0.99.5
sed -i "/<key>host<\/key>/{n;s|<string>[^<]*</string>|<string>$E2E_HOST</string>|}" \
  "$GAME/resources/config/strings.plist"
unset DESK_RESOURCES

# The programs as the stages start them: Wine running the .exe files from the Chinese folder.
WINE_RUN=$HERE/../../scripts/wine-run
CLIENT=$WORK/desk-client SERVER=$WORK/desk-server
for program in desk-client desk-server; do
  printf '#!/bin/sh\ncd "%s" && exec "%s" "%s" "$@"\n' "$WORK" "$WINE_RUN" \
    "$GAME/$program.exe" >"$WORK/$program"
  chmod +x "$WORK/$program"
done

take_port_lock 120 || { echo "port 9999 lock held too long; skipped"; exit 77; }
wait_until 60 port_free || { echo "$E2E_HOST:9999 is taken by someone else; skipped"; exit 77; }
start_display "$WORK/xvfb.log" || fail "no X display"
load_layout_colours "$GAME/resources"
PICTURES=$PICTURES/windows
mkdir -p "$PICTURES"

source "$E2E/stages.sh"

# wine_servers: the Linux ids of desk-server.exe processes run from this test's folder.
wine_servers() { pgrep -f "$(basename "$WORK").*desk-server\.exe" || true; }
no_wine_server() { [ -z "$(wine_servers)" ]; }

# The client starts desk-server.exe from the Chinese folder, named by its Windows path, and it
# must not outlive the client: killed (the job object's last handle closes with the process) or
# closed with Alt+F4 (the client stops it on its way out).
stage_local_server() {
  local exe end
  # Wine's drive Z: is the Unix root. Worked out here rather than by winepath, which is one more
  # Wine start that can fail while the last program's wineserver winds down.
  exe="Z:${GAME//\//\\}\\desk-server.exe"
  for end in killed closed; do
    step "the client starts desk-server.exe, then is $end"
    start_process "$WORK/client-local-$end.log" "$CLIENT" --local-server "$exe" --no-records
    CLIENT_PID=$STARTED_PID
    wait_until 60 hall_shown || fail "no hall over the client's own desk-server.exe"
    port_free && fail "the client's desk-server.exe does not listen on $E2E_HOST:9999"
    [ -n "$(wine_servers)" ] || fail "no desk-server.exe process from the game's folder"
    if [ "$end" = killed ]; then
      kill -KILL "$CLIENT_PID"
    else
      xdotool key --window "$(window_named '^双扣$')" alt+F4
    fi
    wait_until 10 eval "! process_alive $CLIENT_PID" || fail "the client did not end ($end)"
    wait "$CLIENT_PID" 2>/dev/null
    wait_until 5 no_wine_server || fail "desk-server.exe still runs after the client was $end"
    wait_until 5 port_free || fail "$E2E_HOST:9999 still answers after the client was $end"
  done
}

# desk-server.exe on Ctrl+C (Wine turns SIGINT into the console's Ctrl+C event): the server's
# normal stop, status 0.
stage_server_ctrl_c() {
  step "Ctrl+C stops desk-server.exe"
  start_server "$WORK/server-ctrl-c.log" "$SERVER" || fail "desk-server.exe did not start"
  kill -INT "$SERVER_PID"
  wait_until 10 eval "! process_alive $SERVER_PID" || fail "desk-server.exe still runs after Ctrl+C"
  wait "$SERVER_PID"
  local status=$?
  ((status == 0)) || fail "desk-server.exe ended with status $status after Ctrl+C"
  tr -d '\r' <"$WORK/server-ctrl-c.log" | grep -q "^desk-server: stopping" ||
    fail "desk-server.exe did not stop the normal way on Ctrl+C"
}

stage_server_down
stage_whole_game
stage_local_server
stage_server_ctrl_c
step "all stages passed under Wine"
