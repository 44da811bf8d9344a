#!/usr/bin/env bash
# The real game under Xvfb with a window manager, played with xdotool and
# checked through its own screenshots, its progress file and its exit code:
# full screen at start; the menu shows the title picture, the buttons and the
# stage plate; the arrow keys move the stage selector within the unlocked
# stages; Enter closes the curtain, which opens on stage 1 with the HUD slid
# in; holding Right moves the hero; P shows the pause sign and P again hides
# it; Escape goes back to the menu; the quit button leads to the credits and a
# click quits with exit code 0; the progress file is then in its stored form;
# a second start reads it back.
# Usage: game_play.sh <bramblets2> <game_shot>
set -u
source "$(dirname "$0")/game_lib.sh"

# Sprite sheet places (the sheet the game cuts its pictures from).
big_digit=("731 755 30 48" "761 755 30 48" "791 755 34 48" "825 755 30 48" "851 755 35 48")
digit_at="336 295"

make_game_dir
# Progress: stages 1 to 3 done, so the selector runs from 1 to 4.
"$shot_tool" config-write "$game_dir/tarn/br2.cfg" 3 || fail "cannot write the progress file"
start_display
start_game
mouse_to 10 300  # keep the menu's pointer off the buttons
wait_size "$SCREEN_W $SCREEN_H" 50 || fail "not full screen at start: $(window_size)"

# --- the main menu
wait_shows 10 presblts.bmp 130 20 560 100 130 20
expect_shows presblts.bmp 600 380 190 120 600 380
expect_shows sprites.bmp 731 551 60 60 251 280 keyed   # previous
expect_shows sprites.bmp 791 551 60 60 489 280 keyed   # next
expect_shows sprites.bmp 731 612 120 60 340 380 keyed  # play
expect_shows sprites.bmp 731 674 120 80 340 470 keyed  # quit
expect_shows sprites.bmp 861 477 98 70 386 285         # stage plate
expect_shows sprites.bmp ${big_digit[1]} $digit_at keyed

# --- the stage selector: Right up to the first stage not done, Left down
press Right
take_shot
expect_shows sprites.bmp ${big_digit[2]} $digit_at keyed
press Right
press Right
press Right  # already at 4: stays
take_shot
expect_shows sprites.bmp ${big_digit[4]} $digit_at keyed
for i in 1 2 3 4; do press Left; done  # the last one stays at 1
take_shot
expect_shows sprites.bmp ${big_digit[1]} $digit_at keyed

# --- Enter: the curtain closes over the menu, then opens on stage 1
press Return
for i in $(seq 12); do
  take_shot
  "$shot_tool" curtain "$shot" "$data" 100 >>"$e2e_tmp/checks.log" && break
  ((i < 12)) || fail "the curtain never closed after Enter: $(tail -n1 "$e2e_tmp/checks.log")"
done
# The HUD slides in from above: the lives panel and the stage counter.
wait_shows 25 sprites.bmp 960 4 63 18 490 5 keyed
# The curtain opens a few rows per frame: on a slow (software) renderer it may
# still be finishing when the HUD is in.
for i in $(seq 10); do
  "$shot_tool" curtain "$shot" "$data" 1 >>"$e2e_tmp/checks.log" || break
  ((i < 10)) || fail "the curtain did not open"
  sleep 0.2
  take_shot
done
expect_shows sprites.bmp 507 155 32 24 682 5 keyed

# --- holding Right moves the hero: found again in any of his frames, he
# stands farther right (his idle animation alone changes pixels, not where
# he is)
min_walk=32  # pixels; 0.7 s of walking covers about four times as many
take_shot
hero=$("$shot_tool" find "$shot" "$data" sprites.bmp 2 250 32 32 16 8) ||
  fail "no hero in $(basename "$shot")"
read -r hx hy _ <<<"$hero"
xdotool keydown Right
sleep 0.7
xdotool keyup Right
take_shot
moved=$("$shot_tool" find "$shot" "$data" sprites.bmp 2 250 32 32 16 8) ||
  fail "no hero in $(basename "$shot") after holding Right"
read -r mx my _ <<<"$moved"
echo "hero at ($hx, $hy), after holding Right at ($mx, $my)" >>"$e2e_tmp/checks.log"
((mx >= hx + min_walk)) || fail "the hero did not walk right: ($hx, $hy) before, ($mx, $my) after holding Right"

# --- P pauses (the sign in the middle of the screen), P again resumes
press p
take_shot
expect_shows sprites.bmp 904 363 115 37 342 281 keyed
press p
take_shot
shows sprites.bmp 904 363 115 37 342 281 keyed && fail "the pause sign stayed after the second P"

# --- Escape: back to the menu
press Escape
wait_shows 12 presblts.bmp 130 20 560 100 130 20

# --- the quit button: the credits, then a click quits with exit code 0
mouse_to 400 510
sleep 0.3
click
wait_shows 10 credit.bmp 0 0 800 200 0 0
click
wait_exit 50
((game_rc == 0)) || fail "exit code $game_rc after the credits"

# --- the progress file is stored (every byte + 128) and keeps the progress
progress=$("$shot_tool" config-read "$game_dir/tarn/br2.cfg") || fail "progress file: $progress"
echo "progress after the run: $progress"
[[ "$progress" == *"reached=1 "* && "$progress" == *"completed=3 "* ]] ||
  fail "progress file holds $progress"
[[ -z "$(ls -A "$XDG_DATA_HOME")" ]] || fail "wrote into \$XDG_DATA_HOME though its own folder is writable"

# --- a second start reads it back: the selector still reaches stage 4
start_game
mouse_to 10 300
wait_shows 10 presblts.bmp 130 20 560 100 130 20
expect_shows sprites.bmp ${big_digit[1]} $digit_at keyed
for i in 1 2 3 4; do press Right; done
take_shot
expect_shows sprites.bmp ${big_digit[4]} $digit_at keyed
# Closing the window quits as well.
xdotool key ctrl+alt+Escape
wait_exit 50
((game_rc == 0)) || fail "exit code $game_rc after closing the window"
"$shot_tool" config-read "$game_dir/tarn/br2.cfg" >/dev/null || fail "progress file not stored after the second run"
echo "PASS"
