#!/usr/bin/env bash
# Closing the game's window (through the window manager) in each state — main
# menu, play, pause, credits — ends the game with exit code 0 and writes the
# progress file again, in its stored form. Playing stage 2 makes the file hold
# "reached 2", which only the write at the close can have put there.
# Usage: game_close.sh <bramblets2> <game_shot>
set -u
source "$(dirname "$0")/game_lib.sh"

cfg="$game_dir/tarn/br2.cfg"
make_game_dir
start_display

# close_in <state> <steps to reach it...>: fresh progress (stages 1-3 done),
# start, run the steps, close, check.
close_in() {
  local state=$1 before after progress
  shift
  "$shot_tool" config-write "$cfg" 3 || fail "cannot write the progress file"
  start_game
  mouse_to 10 300
  wait_shows 10 presblts.bmp 130 20 560 100 130 20
  "$@"
  before=$(stat -c %Y.%y "$cfg")
  sleep 1.1  # a rewrite shows in the modification time
  xdotool key ctrl+alt+Escape
  wait_exit 50
  ((game_rc == 0)) || fail "$state: exit code $game_rc after closing the window"
  after=$(stat -c %Y.%y "$cfg")
  [[ "$after" != "$before" ]] || fail "$state: the progress file was not written at the close"
  progress=$("$shot_tool" config-read "$cfg") || fail "$state: progress file not in stored form"
  [[ "$progress" == *"completed=3 "* ]] || fail "$state: progress lost: $progress"
  echo "ok: closed in $state: $progress"
  last_progress=$progress
}

in_menu() { :; }
in_play() {
  press Right
  press Return
  wait_shows 25 sprites.bmp 960 4 63 18 490 5 keyed  # the HUD is in: playing
}
in_pause() {
  in_play
  press p
  wait_shows 5 sprites.bmp 904 363 115 37 342 281 keyed
}
in_credits() {
  mouse_to 400 510
  sleep 0.3
  click
  wait_shows 10 credit.bmp 0 0 800 200 0 0
}

close_in menu in_menu
close_in play in_play
[[ "$last_progress" == *"reached=2 "* ]] || fail "play: the stage started is not in the file: $last_progress"
close_in pause in_pause
[[ "$last_progress" == *"reached=2 "* ]] || fail "pause: the stage started is not in the file: $last_progress"
close_in credits in_credits
echo "PASS"
