# The scenarios of client_e2e.sh, in the order it runs them. Each leaves nothing running
# but the display.

# No server: the start-up box, and the client ends once it is dismissed.
stage_server_down() {
  step "client with no server"
  start_process "$WORK/client-down.log" "$CLIENT"
  local client=$STARTED_PID
  wait_until 10 box_open '^错误$' || fail "no start-up error box"
  shot "$PICTURES/e2e-server-down.png"
  dismiss '^错误$' || fail "the start-up box stays open after Return"
  wait_until 5 eval "! process_alive $client" || fail "the client still runs after its start-up box"
  wait "$client"
  local status=$?
  ((status != 0)) || fail "the client ended with status 0 after failing to connect"
}

# server_log: what the server logged, without the carriage returns of a Windows server's lines.
server_log() { tr -d '\r' <"$WORK/server.log"; }

# connection_of_client: the id of the newest connection the server opened; the client's while it
# is the only one.
connection_of_client() {
  server_log | sed -n 's/^desk-server: connection \([0-9]*\) from .* opened$/\1/p' | tail -1
}
# received <regex>: the server logged a text from the client matching the regex.
received() { server_log | grep -Eq "^desk-server: from $CONNECTION: $1"; }
received_count() { server_log | grep -Ec "^desk-server: from $CONNECTION: $1"; }
# sent_to_client <regex>: the server logged a text to the client matching the regex.
sent_to_client() { server_log | grep -Eq "^desk-server: to $CONNECTION: $1"; }

# open_hall <server options...>: a fresh server and client, up to the client's hall. Sets
# SERVER_PID, CLIENT_PID and CONNECTION.
open_hall() {
  start_server "$WORK/server.log" "$SERVER" "$@" || fail "desk-server did not start"
  open_client_hall
}

# open_client_hall: the client, up to its hall, with the running server. Sets CLIENT_PID and
# CONNECTION.
open_client_hall() {
  start_process "$WORK/client.log" "$CLIENT"
  CLIENT_PID=$STARTED_PID
  wait_until 10 box_open '^双扣$' || fail "no window titled 双扣"
  wait_until 10 eval "hall_shown || name_panel_shown" || fail "neither the hall nor the name panel"
  CONNECTION=$(connection_of_client)
  if name_panel_shown; then
    type_first_name
  fi
  wait_until 10 hall_shown || fail "no quick-join button at the centre"
  wait_until 5 received '\{"opt":"query"\}' || fail "the hall sent no query"
}

# type_first_name: the first start's name panel: the suggestion cleared, a name typed through
# SDL's text input, Return; the server takes it and the panel closes.
type_first_name() {
  step "first start: typing a name"
  local i
  for i in 1 2 3 4 5 6; do key BackSpace; done
  xdotool type --delay 60 "Tester"
  shot "$PICTURES/e2e-name-panel.png"
  key Return
  wait_until 5 received '\{"opt":"name","name":"Tester"\}' || fail "the name was not sent"
  wait_until 5 sent_to_client '\{"opt":"name","name":"Tester"\}' || fail "the server did not take the name"
  wait_until 5 eval "! name_panel_shown" || fail "the name panel stays after the server's answer"
}

# A whole short game against three computer players, then back to the hall.
stage_whole_game() {
  step "server and client"
  open_hall --deal 5 --bot-delay 0.2 --bot-wait 0.5 --seed 7
  shot "$PICTURES/e2e-hall.png"

  step "quick join"
  click $QUICK_JOIN_CLICK
  wait_until 5 received '\{"opt":"add"\}' || fail "quick-join sent no add"
  wait_until 5 ready_shown || fail "no desk with its ready button"
  sleep 0.3  # the seat names arrive with the next polls
  shot "$PICTURES/e2e-desk.png"
  remember_empty_desk
  play_hidden || fail "play button shown before a game"

  step "ready"
  click $READY_CLICK
  wait_until 5 received '\{"opt":"change","type":"ready",' || fail "ready was not sent"
  wait_until 5 ready_hidden || fail "the ready button stays after the press"
  local n=5
  wait_until 10 hand_shows $n || fail "no hand of $n cards"
  shot "$PICTURES/e2e-dealt.png"

  step "table talk"
  wait_until 5 talk_shown || fail "no 聊天 button on a server that offers talk"
  click $TALK_CLICK
  sleep 0.3
  shot "$PICTURES/e2e-talk-panel.png"
  key 1
  wait_until 5 received '\{"opt":"talk","desk":[0-9]+,"site":[0-9],"say":0\}' ||
    fail "key 1 on the 聊天 panel sent no phrase 0"
  wait_until 5 sent_to_client '\{"opt":"talk","site":"[0-3]","say":"0"\}' ||
    fail "the server did not pass the talk to the desk"
  sleep 0.3
  shot "$PICTURES/e2e-desk-talk.png"

  play_to_the_end $n
  local title
  title=$(xdotool getwindowname "$(window_named "^游戏结束")")
  step "game over: $title"
  expect_result_title "$title"
  dismiss '^游戏结束' || fail "the end-of-game box stays open"
  wait_until 5 ready_shown || fail "no ready button after the game"
  shot "$PICTURES/e2e-after-game.png"

  step "return to the hall"
  local queries
  queries=$(received_count '\{"opt":"query"\}')
  click $RETURN_CLICK
  wait_until 5 received '\{"opt":"change","type":"leave",' || fail "return sent no leave"
  wait_until 5 hall_shown || fail "return did not bring back the hall"
  wait_until 5 eval '(($(received_count "\{\"opt\":\"query\"\}") > queries))' ||
    fail "the new hall sent no query"
  shot "$PICTURES/e2e-hall-again.png"
  stop_process "$CLIENT_PID"
  stop_process "$SERVER_PID"
}

# play_to_the_end <cards>: on each turn pass when passing is offered, otherwise lead the
# left-most card; stops when the end-of-game box opens. Checks the server heard every action.
play_to_the_end() {
  local n=$1 plays=0 passes=0 pictured=0
  local deadline=$((SECONDS + 60))
  while ! box_open '^游戏结束'; do
    ((SECONDS < deadline)) || fail "the game did not end within a minute"
    box_open '^提示$' && fail "the client refused our play as against the rules"
    case $(turn_offer) in
    pass)
      click $PASS_CLICK
      passes=$((passes + 1))
      wait_until 3 pass_hidden || fail "the pass button stays after the press"
      ;;
    lead)
      local x
      x=$(left_card_click_x $n)
      click "$x" "$HAND_CLICK_Y"
      wait_until 3 card_raised "$x" || fail "the left-most card did not rise"
      if ((pictured == 0)); then
        shot "$PICTURES/e2e-raised.png"
        pictured=1
      fi
      click $PLAY_CLICK
      plays=$((plays + 1))
      n=$((n - 1))
      wait_until 3 play_hidden || fail "the play button stays after the press"
      if ((n > 0)); then
        wait_until 3 hand_shows $n || fail "the hand did not close up to $n cards"
      fi
      ;;
    esac
  done
  shot "$PICTURES/e2e-over.png"
  step "played $plays, passed $passes"
  ((plays + passes > 0)) || fail "the game ended without a turn of ours"
  local heard_plays heard_passes
  heard_plays=$(received_count '\{"opt":"game","desk":[0-9]+,"site":[0-9]+,"cards":"[0-9]+,"\}')
  heard_passes=$(received_count '\{"opt":"game","desk":[0-9]+,"site":[0-9]+,"cards":""\}')
  ((heard_plays == plays && heard_passes == passes)) ||
    fail "the server heard $heard_plays plays and $heard_passes passes, we made $plays and $passes"
}

# expect_result_title <title>: the box names the result the server sent for our seat.
expect_result_title() {
  local site over result
  site=$(server_log | grep -E "^desk-server: to $CONNECTION: \{\"opt\":\"add\"" |
    sed -n 's/.*"site":"\([0-9]\)".*/\1/p' | head -1)
  over=$(server_log | grep -E "^desk-server: to $CONNECTION: \{\"opt\":\"over\"" | tail -1)
  [ -n "$site" ] && [ -n "$over" ] || fail "the server log lacks our seat or the over message"
  result=$(echo "$over" | grep -o '"result":"-\?[0-9]*"' | sed -n "$((site + 1))s/[^-0-9]//gp")
  local want
  if ((result > 0)); then
    want="游戏结束，你赢了！"
  elif ((result < 0)); then
    want="游戏结束，你输了！"
  else
    want="游戏结束，平局！"
  fi
  [ "$1" = "$want" ] || fail "box titled '$1' for result $result at seat $site, expected '$want'"
}

# A whole short game played with the keys alone: Enter in the hall, R at the desk, then on each
# turn H until the hint raises a play and Enter to play it; when the hint finds nothing (its
# notice shows and nothing rises), Backspace passes. T opens the card tracker on the way, and
# the first hinted play is lowered once with a right click on the table and hinted again.
stage_game_by_keys() {
  step "a game by keys"
  open_hall --deal 5 --bot-delay 0.2 --bot-wait 0.5 --seed 11
  key Return
  wait_until 5 received '\{"opt":"add"\}' || fail "Enter in the hall sent no add"
  wait_until 5 ready_shown || fail "no desk after Enter"
  sleep 0.3
  remember_empty_desk
  key t
  key r
  wait_until 5 received '\{"opt":"change","type":"ready",' || fail "R sent no ready"
  local n=5
  wait_until 10 hand_shows $n || fail "no hand of $n cards"

  local plays=0 passes=0 hints=0 pictured=0
  local deadline=$((SECONDS + 60))
  while ! box_open '^游戏结束'; do
    ((SECONDS < deadline)) || fail "the game by keys did not end within a minute"
    box_open '^提示$' && fail "the client refused a hinted play as against the rules"
    case $(turn_offer) in
    none) continue ;;
    esac
    key h
    hints=$((hints + 1))
    if wait_until 2 any_card_raised "$n"; then
      if ((pictured == 0)); then
        shot "$PICTURES/e2e-hinted.png"
        pictured=1
        xdotool mousemove 700 300 click 3
        wait_until 2 eval "! any_card_raised $n" || fail "a right click left cards raised"
        key h
        hints=$((hints + 1))
        wait_until 2 any_card_raised "$n" || fail "the hint raised nothing after the right click"
      fi
      key Return
      plays=$((plays + 1))
      wait_until 3 play_hidden || fail "the play button stays after Enter"
      n=$(hand_count "$n")
    else
      shot "$PICTURES/e2e-nothing-beats.png"
      key BackSpace
      passes=$((passes + 1))
      wait_until 3 play_hidden || fail "the turn stays after Backspace"
    fi
  done
  step "by keys: $hints hints, $plays plays, $passes passes"
  ((plays > 0)) || fail "no hinted play was made"
  local heard_plays heard_passes
  heard_plays=$(received_count '\{"opt":"game","desk":[0-9]+,"site":[0-9]+,"cards":"([0-9]+,)+"\}')
  heard_passes=$(received_count '\{"opt":"game","desk":[0-9]+,"site":[0-9]+,"cards":""\}')
  ((heard_plays == plays && heard_passes == passes)) ||
    fail "the server heard $heard_plays plays and $heard_passes passes, we made $plays and $passes"
  dismiss '^游戏结束' || fail "the end-of-game box stays open"
  stop_process "$CLIENT_PID"
  stop_process "$SERVER_PID"
}

# The server dies in mid-game: the client reports the lost link in one box, keeps its window and
# shows the reconnect panel; once the server is back, it is in a new hall on a new link by itself.
stage_server_lost() {
  step "server lost in mid-game"
  open_hall --deal 27 --bot-delay 5 --bot-wait 0.5 --seed 7
  click $QUICK_JOIN_CLICK
  wait_until 5 ready_shown || fail "no desk"
  click $READY_CLICK
  wait_until 10 hand_shows 27 || fail "no hand of 27 cards"
  stop_process "$SERVER_PID"
  wait_until 5 box_open '^error$' || fail "no box titled error after the server went away"
  shot "$PICTURES/e2e-server-lost.png"
  local boxes=0
  while box_open '^error$'; do
    dismiss '^error$' || fail "the error box stays open"
    boxes=$((boxes + 1))
    sleep 0.5
  done
  step "dismissed $boxes error box(es)"
  process_alive "$CLIENT_PID" || fail "the client ended after losing the server"
  box_open '^双扣$' || fail "the client's window is gone after losing the server"
  wait_until 3 reconnect_shown || fail "no reconnect button over the desk"
  shot "$PICTURES/e2e-after-loss.png"

  # The desk was in a game: attempts every 2 s, all refused meanwhile, with no box; once the
  # server is back, the next one brings a new hall (this server never knew the player).
  sleep 5
  box_open '^error$' && fail "a failed reconnect attempt showed a box"
  step "server back"
  start_server "$WORK/server.log" "$SERVER" --deal 5 --bot-delay 0.2 --bot-wait 0.5 ||
    fail "desk-server did not start again"
  wait_until 3 hall_shown || fail "no hall within 3 s of the server's return"
  CONNECTION=$(connection_of_client)
  [ -n "$CONNECTION" ] || fail "the server saw no new connection"
  wait_until 5 received '\{"opt":"query"\}' || fail "the new hall sent no query"
  shot "$PICTURES/e2e-reconnected.png"
  click $QUICK_JOIN_CLICK
  wait_until 5 ready_shown || fail "the new hall's quick-join seated nobody"
  stop_process "$CLIENT_PID"
  stop_process "$SERVER_PID"
}

# resumed_hand_size <connection>: the cards of the hand in the last "resume" the server sent there.
resumed_hand_size() {
  server_log | grep -E "^desk-server: to $1: \{\"opt\":\"resume\"" | tail -1 |
    sed 's/.*,"cards":"\([0-9,]*\)".*/\1/' | tr ',' '\n' | grep -c '[0-9]'
}

# The relay in front of the server, where the client dials. Stopping it cuts every link through
# it at both ends and lets no new one in, as a dead network would. Sets RELAY_PID.
start_relay() {
  start_process "$WORK/relay.log" "$RELAY" "$E2E_HOST" "$E2E_PORT" "$SERVER_PORT"
  RELAY_PID=$STARTED_PID
  wait_until 5 grep -q "^relay " "$WORK/relay.log" || fail "the relay did not start"
}

one_box_at_most() { (($(listed_windows | grep -c ' error$') <= 1)) || fail "more than one error box"; }

# take_turn: on the next turn of ours, a pass or a lead of the left-most card, by the mouse.
take_turn() {
  local deadline=$((SECONDS + 30)) offer
  while offer=$(turn_offer) && [ "$offer" = none ]; do
    ((SECONDS < deadline)) || fail "no turn of ours"
  done
  if [ "$offer" = pass ]; then
    click $PASS_CLICK
  else
    local x
    x=$(left_card_click_x "$HAND")
    click "$x" "$HAND_CLICK_Y"
    wait_until 3 card_raised "$x" || fail "the left-most card did not rise"
    click $PLAY_CLICK
    HAND=$((HAND - 1))
  fi
  wait_until 3 play_hidden || fail "the turn stays after the $offer"
}

# follow_next: leads on the way to a turn of ours with a play to beat. The drops come in such
# turns: the computer player moving for the seat meanwhile could lead out the whole hand.
follow_next() {
  local deadline=$((SECONDS + 60)) offer
  while offer=$(turn_offer) && [ "$offer" != pass ]; do
    ((SECONDS < deadline)) || fail "no turn of ours with a play to beat"
    [ "$offer" = lead ] && take_turn
  done
}

# drop_in_turn <presses...>: the link drops (the relay stops) and the presses are made; the
# reconnect panel shows over the desk, box dismissed or not. Once the relay is back, the client
# resumes the same seat within 3 s with the hand the server holds (HAND), and the server takes its
# next pass or lead on the new link.
drop_in_turn() {
  local last_link
  last_link=$(connection_of_client)
  stop_process "$RELAY_PID"
  "$@"
  wait_until 3 reconnect_shown || fail "no reconnect panel while the link is down"
  one_box_at_most
  local reachable
  reachable=$(date +%s%N)
  start_relay
  wait_until 5 eval '[ "$(connection_of_client)" != "$last_link" ]' || fail "no new link"
  CONNECTION=$(connection_of_client)
  wait_until 5 eval 'server_log | grep -q "^desk-server: connection $CONNECTION: .*, resumes desk $DESK seat $SITE$"' ||
    fail "the new link did not resume desk $DESK seat $SITE"
  local back=$((($(date +%s%N) - reachable) / 1000000))
  step "back at the seat $back ms after the server could be reached again"
  ((back <= 3000)) || fail "back only $back ms after the server could be reached again"
  HAND=$(resumed_hand_size "$CONNECTION")
  wait_until 5 hand_shows "$HAND" || fail "the desk does not show the $HAND cards the server holds"
  hall_shown && fail "a hall showed after the reconnect"
  one_box_at_most
  if box_open '^error$'; then dismiss '^error$' || fail "the loss box stays open"; fi
  local taken
  taken=$(sent_count "\\{\"opt\":\"game\",\"per\":\"$SITE\"")
  take_turn
  wait_until 5 more_sent "$taken" "\\{\"opt\":\"game\",\"per\":\"$SITE\"" ||
    fail "the server took no pass or lead of ours on the new link"
}

# Late in a turn: 出牌, 不出 and a card clicked, then the client's own countdown runs out.
click_and_time_out() {
  click $PLAY_CLICK
  click "$(left_card_click_x "$HAND")" "$HAND_CLICK_Y"
  click $PLAY_CLICK
  click $PASS_CLICK
  sleep 3.5
}
press_keys() {
  local k
  for k in Return BackSpace h Return BackSpace; do key $k; done
}

# A dropped link costs nothing: the client's link runs through a relay that the test stops in the
# seat's own turn, twice: late in the turn, with clicks and the turn running out, and early, with
# keys. Each time one box at most tells the loss, and the client is back at its seat within 3 s of
# the server being reachable again and plays on. Beside it sit a person who hands the seat to the
# computer player (its 托管 tag) and one who vanishes (its 离线 tag). The local player hands the
# seat over by key, sees the banner, and takes it back.
stage_rejoin() {
  step "rejoin: the client and two persons at one desk"
  # The server on a port of its own; the relay where the client dials.
  start_process "$WORK/server.log" "$SERVER" --host 127.0.0.1 --port 0 --log-messages \
    --no-records --deal 27 --bot-level easy --bot-delay 0.8 --bot-wait 2 --seed 5
  SERVER_PID=$STARTED_PID
  wait_until 5 grep -q "listening on" "$WORK/server.log" || fail "desk-server did not start"
  SERVER_PORT=$(server_log | sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' | head -1)
  start_relay
  open_client_hall
  received '\{"opt":"hello","token":"[0-9a-f]{32}","name":"Tester"\}' || fail "the client sent no hello with its name"
  click $QUICK_JOIN_CLICK
  wait_until 5 ready_shown || fail "no desk"
  local seating
  seating=$(server_log | grep -E "^desk-server: to $CONNECTION: \{\"opt\":\"add\"" | head -1)
  DESK=$(echo "$seating" | sed -n 's/.*"desk":"\([0-9]*\)".*/\1/p')
  SITE=$(echo "$seating" | sed -n 's/.*"site":"\([0-9]\)".*/\1/p')
  start_process "$WORK/person-auto.log" "$PERSON" "$SERVER_PORT"
  local helper=$STARTED_PID
  start_process "$WORK/person-away.log" "$PERSON" "$SERVER_PORT" --manual \
    --token 0123456789abcdef0123456789abcdef
  local away=$STARTED_PID
  wait_until 5 grep -q seated "$WORK/person-auto.log" || fail "the first person found no seat"
  wait_until 5 grep -q seated "$WORK/person-away.log" || fail "the second person found no seat"
  click $READY_CLICK
  HAND=27
  wait_until 10 hand_shows $HAND || fail "no hand of 27 cards"
  kill -KILL "$away"
  wait_until 5 eval 'server_log | grep -q "\"opt\":\"presence\".*\"away\":\"1\""' ||
    fail "the server sent no presence for the vanished person"
  sleep 0.5
  shot "$PICTURES/e2e-rejoin-tags.png"

  step "the link drops late in our turn"
  follow_next
  sleep 27.5
  drop_in_turn click_and_time_out
  shot "$PICTURES/e2e-rejoined.png"
  step "the link drops early in our turn"
  follow_next
  drop_in_turn press_keys

  step "托管 by key and back"
  key a
  wait_until 5 received '\{"opt":"auto","desk":[0-9]+,"site":[0-9]+,"on":1\}' ||
    fail "A sent no auto on"
  wait_until 5 banner_shown || fail "no 托管中 banner"
  shot "$PICTURES/e2e-auto-banner.png"
  key a
  wait_until 5 received '\{"opt":"auto","desk":[0-9]+,"site":[0-9]+,"on":0\}' ||
    fail "A sent no auto off"
  wait_until 5 eval '! banner_shown' || fail "the banner stays after 取消托管"
  server_log | grep -q '"opt":"run"' && fail "the server sent run"
  stop_process "$CLIENT_PID"
  stop_process "$helper"
  stop_process "$RELAY_PID"
  stop_process "$SERVER_PID"
}

# Two clients on one server, their windows one over the other: the first opens a private desk
# and shows its code, the second types a wrong code (the panel says so), then the right one on
# the pad and the keys, and sits down; the creator adds two computer players and a game starts.
stage_private_desk() {
  step "private desk: the creator"
  open_hall --deal 5 --bot-delay 0.2 --bot-wait 0.5 --seed 11
  local creator=$CLIENT_PID creator_link=$CONNECTION creator_window
  creator_window=$(window_named '^双扣$')
  wait_until 5 create_desk_shown || fail "no 创建牌桌 on a server that offers private desks"
  hall_shown || fail "quick join left its place beside 创建牌桌"
  click $CREATE_DESK_CLICK
  wait_until 5 received '\{"opt":"create"\}' || fail "创建牌桌 sent no create"
  wait_until 5 ready_shown || fail "no desk after create"
  local code
  code=$(server_log | sed -n "s/^desk-server: to $creator_link: {\"opt\":\"add\".*\"code\":\"\([0-9]\{6\}\)\".*/\1/p")
  [[ $code =~ ^[0-9]{6}$ ]] || fail "the add after create carried no 6-digit code"
  step "code $code"
  click $COPY_CODE_CLICK

  step "private desk: the friend"
  # The friend has played before: a kept name, so the hall opens without the name panel.
  mkdir -p "$WORK/config-friend/desk-client"
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<userDefaultRoot><playerName>朋友</playerName></userDefaultRoot>\n' \
    >"$WORK/config-friend/desk-client/UserDefault.xml"
  start_process "$WORK/client-friend.log" env XDG_CONFIG_HOME="$WORK/config-friend" "$CLIENT"
  local friend=$STARTED_PID friend_window
  wait_until 10 eval '[ -n "$(other_window "$creator_window")" ]' || fail "no second window"
  friend_window=$(other_window "$creator_window")
  on_top "$friend_window"
  wait_until 10 create_desk_shown || fail "the friend's hall shows no 加入牌桌"
  CONNECTION=$(connection_of_client)
  local friend_link=$CONNECTION
  click $JOIN_DESK_CLICK
  wait_until 5 join_panel_shown || fail "加入牌桌 opened no panel"
  local wrong=${code:0:5}$(((${code:5:1} + 1) % 10))
  xdotool type --delay 80 "$wrong"
  xdotool key Return
  wait_until 5 received "\\{\"opt\":\"join\",\"code\":\"$wrong\"\\}" || fail "the wrong code was not sent"
  wait_until 5 sent_to_client '\{"opt":"join","status":"refused","reason":"wrong or expired code"\}' ||
    fail "the server did not refuse the wrong code"
  sleep 0.3
  join_panel_shown || fail "the panel closed after a wrong code"
  shot "$PICTURES/private-join.png"
  local i
  for i in 0 1 2; do
    click $(pad_key_click "${code:i:1}")
    sleep 0.1
  done
  xdotool type --delay 80 "${code:3:3}"
  xdotool key Return
  wait_until 5 received "\\{\"opt\":\"join\",\"code\":\"$code\"\\}" ||
    fail "the code typed on the pad and the keys was not sent"
  wait_until 5 ready_shown || fail "the friend found no desk"
  sent_to_client "\\{\"opt\":\"add\",\"desk\":\"[0-9]+\",\"site\":\"1\",.*\"code\":\"$code\"\\}" ||
    fail "the friend was not seated beside the creator"
  remember_empty_desk

  step "private desk: 加电脑"
  server_log | grep -q '"name":"bot[23]"' && fail "computer players sat at the private desk by themselves"
  on_top "$creator_window"
  CONNECTION=$creator_link
  wait_until 5 add_bots_shown || fail "the creator's desk shows no 加电脑"
  sleep 0.3
  shot "$PICTURES/private-create.png"
  click $ADD_BOTS_CLICK
  sleep 0.3
  click $EASY_BOTS_CLICK
  wait_until 5 received '\{"opt":"bots","desk":[0-9]+,"site":0,"level":"easy"\}' ||
    fail "简单 sent no bots"
  wait_until 5 sent_to_client '\{"opt":"change","info":\[\{"name":"[^"]+","ready":"0"\},\{"name":"[^"]+","ready":"0"\},\{"name":"bot2","ready":"1"\},\{"name":"bot3","ready":"1"\}\]\}' ||
    fail "no computer players on seats 2 and 3"
  wait_until 5 eval '! add_bots_shown' || fail "加电脑 stays on a full desk"

  step "private desk: both ready, the game starts"
  click $READY_CLICK
  wait_until 5 received '\{"opt":"change","type":"ready",' || fail "the creator's ready was not sent"
  on_top "$friend_window"
  CONNECTION=$friend_link
  click $READY_CLICK
  wait_until 5 received '\{"opt":"change","type":"ready",' || fail "the friend's ready was not sent"
  wait_until 10 hand_shows 5 || fail "the friend has no hand of 5 cards"
  sent_to_client '\{"opt":"start"' || fail "no start to the friend"
  CONNECTION=$creator_link
  sent_to_client '\{"opt":"start"' || fail "no start to the creator"
  stop_process "$friend"
  stop_process "$creator"
  stop_process "$SERVER_PID"
}

# sent_count <regex>: how many texts matching the regex the server logged to the client.
sent_count() { server_log | grep -Ec "^desk-server: to $CONNECTION: $1"; }
# more_sent <n> <regex>: more than n such texts.
more_sent() { (($(sent_count "$2") > $1)); }

# A spectator: the list of the desks being played (one of four computer players), that desk
# watched from seat 0 for a whole trick without a hand of its own, then left by the return button.
stage_watch() {
  step "watching: the list"
  open_hall --bot-desks 1 --deal 9 --bot-delay 0.3 --seed 5
  wait_until 5 watch_shown || fail "no 观战 on a server that offers watching"
  hall_shown || fail "quick join left its place above 观战"
  click $WATCH_CLICK
  wait_until 5 received '\{"opt":"desks"\}' || fail "观战 sent no desks"
  wait_until 5 sent_to_client '\{"opt":"desks","info":\[\{"desk":"0"' || fail "the list named no desk 0"
  sleep 0.5
  shot "$PICTURES/watch-list.png"

  step "watching: desk 0"
  click $WATCH_ROW_CLICK
  wait_until 5 received '\{"opt":"watch","desk":0\}' || fail "a click on the desk's row sent no watch"
  wait_until 5 sent_to_client '\{"opt":"watch","status":"ok"' || fail "the server did not take the watch"
  local tricks
  tricks=$(sent_count '\{"opt":"score"')
  wait_until 30 more_sent "$tricks" '\{"opt":"score"' ||
    fail "no whole trick reached the spectator"
  ready_hidden && play_hidden && pass_hidden || fail "a spectator is offered a player's buttons"
  shot "$PICTURES/watch-desk.png"
  sent_to_client '\{"opt":"(start|add|resume)"' && fail "a spectator was sent a seat's own text"

  step "watching: leaving"
  click $RETURN_CLICK
  wait_until 5 received '\{"opt":"unwatch"\}' || fail "the return button sent no unwatch"
  wait_until 5 hall_shown || fail "the return button did not lead back to the hall"
  received '\{"opt":"(ready|game|change|talk|auto)"' && fail "the spectator sent a player's request"
  stop_process "$CLIENT_PID"
  stop_process "$SERVER_PID"
}
