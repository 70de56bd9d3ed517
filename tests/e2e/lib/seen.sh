# Predicates on what is on the screen now. Needs screen.sh and layout.sh.

shows() { near "$(pixel_now $1)" "$2"; }  # shows "<x y>" "<r g b>"

hall_shown() { shows "$QUICK_JOIN_AT" "$QUICK_JOIN_COLOUR"; }
reconnect_shown() { shows "$RECONNECT_AT" "$RECONNECT_COLOUR"; }
ready_shown() { shows "$READY_AT" "$READY_COLOUR"; }
play_shown() { shows "$PLAY_AT" "$PLAY_COLOUR"; }
pass_shown() { shows "$PASS_AT" "$PASS_COLOUR"; }
banner_shown() { shows "$BANNER_AT" "$BANNER_COLOUR"; }
talk_shown() { shows "$TALK_AT" "$TALK_COLOUR"; }
create_desk_shown() { shows "$CREATE_DESK_AT" "$PHRASE_COLOUR"; }
watch_shown() { shows "$WATCH_AT" "$PHRASE_COLOUR"; }
join_panel_shown() { shows "$JOIN_PAD_AT" "$PHRASE_COLOUR"; }
add_bots_shown() { shows "$ADD_BOTS_AT" "$PHRASE_COLOUR"; }
name_panel_shown() { shows "$NAME_PANEL_AT" "$NAME_PANEL_COLOUR"; }
play_hidden() { ! play_shown; }
pass_hidden() { ! pass_shown; }
ready_hidden() { ! ready_shown; }

# turn_offer: "pass" when the pass button is up (play too), "lead" when only play is, "none"
# otherwise. Both buttons are read in one go and again 0.1 s later, so a turn that begins between
# the two reads (play drawn, pass not yet seen) is not taken for a lead.
turn_offer() {
  local -a first second
  mapfile -t first < <("$XPROBE" pixel $PLAY_AT $PASS_AT)
  sleep 0.1
  mapfile -t second < <("$XPROBE" pixel $PLAY_AT $PASS_AT)
  local offer=none
  if near "${first[1]}" "$PASS_COLOUR" && near "${second[1]}" "$PASS_COLOUR"; then
    offer=pass
  elif near "${first[0]}" "$PLAY_COLOUR" && near "${second[0]}" "$PLAY_COLOUR" &&
    ! near "${second[1]}" "$PASS_COLOUR"; then
    offer=lead
  fi
  echo "$offer"
}

# remember_empty_desk: the rows the hand probes look at, read while the desk has no cards.
remember_empty_desk() {
  mapfile -t EMPTY_REST_ROW < <(row_now "$HAND_PROBE_Y")
  mapfile -t EMPTY_RAISED_ROW < <(row_now "$RAISED_PROBE_Y")
}

# hand_shows <n>: n cards in the hand row: the right-most card's spot and the left-most card's
# uncovered strip differ from the empty table, and the spot just right of the row does not.
hand_shows() {
  local n=$1 right left beyond
  right=$(card_x $((n - 1)) "$n")
  left=$(left_card_click_x "$n")
  beyond=$((right + 60))
  local -a seen
  mapfile -t seen < <("$XPROBE" pixel "$right" "$HAND_PROBE_Y" "$left" "$HAND_PROBE_Y" "$beyond" "$HAND_PROBE_Y")
  differs "${seen[0]}" "${EMPTY_REST_ROW[right]}" &&
    differs "${seen[1]}" "${EMPTY_REST_ROW[left]}" &&
    near "${seen[2]}" "${EMPTY_REST_ROW[beyond]}"
}

# card_raised <x>: the card column at x reaches up to where only a raised card is drawn.
card_raised() { differs "$(pixel_now "$1" "$RAISED_PROBE_Y")" "${EMPTY_RAISED_ROW[$1]}"; }

# any_card_raised <n>: some card of the n-card hand reaches up to where only a raised card is.
any_card_raised() {
  local first last x args=()
  first=$(($(card_x 0 "$1") - 49))
  last=$(($(card_x $(($1 - 1)) "$1") + 49))
  for ((x = first; x <= last; x += 6)); do
    args+=("$x" "$RAISED_PROBE_Y")
  done
  local -a seen
  mapfile -t seen < <("$XPROBE" pixel "${args[@]}")
  local i=0
  for ((x = first; x <= last; x += 6)); do
    differs "${seen[i]}" "${EMPTY_RAISED_ROW[x]}" && return 0
    i=$((i + 1))
  done
  return 1
}

# hand_count <at most>: how many cards the hand row shows now (0 when none), once it has settled.
hand_count() {
  local k
  sleep 0.3
  for ((k = $1; k > 0; k--)); do
    if hand_shows "$k"; then
      echo "$k"
      return
    fi
  done
  echo 0
}

box_open() { [ -n "$(window_named "$1")" ]; } # box_open <title regex>

# dismiss <title regex>: Return on the box, as its default button; false if it stays open.
dismiss() {
  local id
  id=$(window_named "$1")
  [ -n "$id" ] || return 1
  xdotool key --window "$id" Return
  wait_until 5 eval "! box_open '$1'"
}

# other_window <id>: the id of a window titled 双扣 other than <id>, or nothing.
other_window() {
  local id name
  while read -r id name; do
    if [[ $name == 双扣 && $id != "$1" ]]; then
      echo "$id"
      return
    fi
  done < <(listed_windows)
}

# on_top <id>: raises the window and gives it the input focus (clicks go to the top window).
on_top() {
  xdotool windowraise "$1" && xdotool windowfocus --sync "$1" 2>/dev/null
  sleep 0.3  # the raised window draws itself again
}
