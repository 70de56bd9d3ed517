# Where the client draws what the test looks at, in window pixels (origin top-left; the design
# y counted from the bottom becomes 768 - y), and the colour expected there, read from the very
# images the client draws so that regenerated resources keep the test right.

# Points on the left part of each button, clear of its label and of the seat's ready marker.
QUICK_JOIN_AT="412 384"  # button centred at (512, 384), unscaled: image pixel (30, 44)
RECONNECT_AT="412 384"   # the reconnect button lies over the quick-join, the same size
READY_AT="452 598"       # centred at (512, 170) at scale 0.8: image pixel (20, 38)
PLAY_AT="352 598"        # centred at (412, 170)
PASS_AT="560 598"        # centred at (612, 170): image pixel (30, 38)
BANNER_AT="302 598"      # the 托管中 banner, 440 wide, centred at (512, 170): image pixel (10, 33)
TALK_AT="712 30"         # the 聊天 button, 96 x 44, centred at (748, 738): image pixel (12, 22)
# Private desks: every button there is the phrase button's picture stretched to its width.
CREATE_DESK_AT="170 384" # 创建牌桌, 200 wide, centred at (250, 384): left of its label
JOIN_PAD_AT="381 369"    # the join panel's key 1, 86 wide, centred at (416, 399)
ADD_BOTS_AT="258 78"     # 加电脑, 104 wide, centred at (300, 690)
WATCH_AT="432 498"       # 观战, 200 wide, centred at (512, 270) under quick join
CREATE_DESK_CLICK="250 384"
JOIN_DESK_CLICK="774 384"
ADD_BOTS_CLICK="300 78"
EASY_BOTS_CLICK="208 123" # 简单, the first level under 加电脑
COPY_CODE_CLICK="720 78"
WATCH_CLICK="512 498"
WATCH_ROW_CLICK="300 201" # the watch list's first row
NAME_PANEL_AT="357 348"  # the name panel's "nick" frame, 350 x 60, centred at (512, 420): (20, 30)
QUICK_JOIN_CLICK="512 384"
RECONNECT_CLICK="512 384"
READY_CLICK="512 598"
PLAY_CLICK="412 598"
PASS_CLICK="612 598"
TALK_CLICK="748 30"
HAND_PROBE_Y=680    # inside a hand card whether it rests (y 45) or is raised (y 70)
RAISED_PROBE_Y=640  # inside a raised card only
HAND_CLICK_Y=740

load_layout_colours() {
  local res=$1
  QUICK_JOIN_COLOUR=$(image_pixel "$res/add_desk_fast.png" 30 44)
  RECONNECT_COLOUR=$(image_pixel "$res/reconnect.png" 30 44)
  READY_COLOUR=$(image_pixel "$res/ready.png" 20 38)
  PLAY_COLOUR=$(image_pixel "$res/put.png" 20 38)
  PASS_COLOUR=$(image_pixel "$res/noput.png" 30 38)
  BANNER_COLOUR=$(image_pixel "$res/auto_banner.png" 10 33)
  TALK_COLOUR=$(image_pixel "$res/talk.png" 12 22)
  PHRASE_COLOUR=$(image_pixel "$res/talk_phrase.png" 25 20)
  NAME_PANEL_COLOUR=$(image_pixel "$res/nick.png" 20 30)
  local size
  size=$(identify -format '%w %h' "$res/return.png")
  local -a wh=($size)
  RETURN_CLICK="$((1024 - wh[0] / 2)) $((wh[1] / 2))"
}

# card_x <i> <n>: the centre x of hand card i of n (cards 98 wide, 18 apart, centred).
card_x() { echo $(((1024 - 18 * ($2 - 1) + 36 * $1 + 49) / 2)); }

# The left-most card shows only the strip its neighbour leaves uncovered.
left_card_click_x() { echo $(($(card_x 0 "$1") - 40)); }

# pad_key_click <digit>: the centre of the join panel's key for the digit.
pad_key_click() {
  local d=$1
  if ((d == 0)); then
    echo "512 $((768 - 261))"
  else
    echo "$((512 + 96 * ((d - 1) % 3 - 1))) $((768 - (399 - 46 * ((d - 1) / 3))))"
  fi
}
