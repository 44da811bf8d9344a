#!/usr/bin/env bash
# The real game on an X server without GLX (no OpenGL anywhere), as on many
# remote desktops and virtual machines: it starts full screen and draws its
# menu; the window carries the game's icon; a key tapped shorter than a frame
# still acts; the full-screen frame is scaled sharp at a whole factor and
# filtered at any other (checked on a grab of the X screen against the game's
# own screenshot scaled both ways); G and F switch modes on the same window;
# closing it ends the game with exit code 0.
# The screen size comes from SCREEN_W / SCREEN_H (default 1024 x 768).
# Usage: window_noglx.sh <bramblets2> <game_shot>
set -u
export E2E_NO_GLX=1
export SCREEN_W=${SCREEN_W:-1024} SCREEN_H=${SCREEN_H:-768}
source "$(dirname "$0")/game_lib.sh"
for tool in import convert compare xprop; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done

big_digit_2="791 755 34 48"
digit_at="336 295"
# A still part of the menu (the stage panel), in frame pixels: x y w h.
panel="300 340 430 250"

# Compares the grab of the X screen with the last screenshot scaled to the
# screen nearest and linear; prints the filter the grab is closer to.
grab_filter() {
  local x y w h s
  read -r x y w h <<<"$panel"
  s=$(awk -v W="$SCREEN_W" -v H="$SCREEN_H" 'BEGIN { s = W / 800; if (H / 600 < s) s = H / 600; print s }')
  local fw fh ox oy crop
  fw=$(awk -v s="$s" 'BEGIN { printf "%d", 800 * s + 0.5 }')
  fh=$(awk -v s="$s" 'BEGIN { printf "%d", 600 * s + 0.5 }')
  ox=$(((SCREEN_W - fw) / 2))
  oy=$(((SCREEN_H - fh) / 2))
  crop=$(awk -v s="$s" -v x="$x" -v y="$y" -v w="$w" -v h="$h" -v ox="$ox" -v oy="$oy" \
           'BEGIN { printf "%dx%d+%d+%d", w * s, h * s, ox + x * s, oy + y * s }')
  import -window root "$e2e_tmp/grab.png" || fail "cannot grab the screen"
  convert "$e2e_tmp/grab.png" -crop "$crop" +repage "$e2e_tmp/grab_panel.png"
  # The game's own reader turns the screenshot the right way up.
  "$shot_tool" png "$shot" "$e2e_tmp/frame.png" >/dev/null || fail "cannot read $shot"
  local filter
  for filter in point triangle; do
    convert "$e2e_tmp/frame.png" -filter "$filter" -resize "${fw}x${fh}!" -crop "$((w * fw / 800))x$((h * fh / 600))+$((x * fw / 800))+$((y * fh / 600))" \
      +repage "$e2e_tmp/$filter.png"
    # The grab's crop and this one may differ by a pixel in size: compare
    # their common part.
    convert "$e2e_tmp/$filter.png" "$e2e_tmp/grab_panel.png" -crop "$((w * fw / 800 - 2))x$((h * fh / 600 - 2))+0+0" \
      +repage "$e2e_tmp/pair_$filter.png"
    compare -metric RMSE "$e2e_tmp/pair_$filter-0.png" "$e2e_tmp/pair_$filter-1.png" null: 2>&1 |
      awk -v f="$filter" '{ print f, $1 }' >>"$e2e_tmp/filters.log"
  done
  awk '$1 == "point" { p = $2 } $1 == "triangle" { t = $2 }
       END { print (t < p ? "linear" : "nearest") }' <(tail -n2 "$e2e_tmp/filters.log")
}

make_game_dir
"$shot_tool" config-write "$game_dir/tarn/br2.cfg" 3 || fail "cannot write the progress file"
start_display
start_game
mouse_to 10 300  # keep the menu's pointer off the panel
wait_size "$SCREEN_W $SCREEN_H" 50 || fail "not full screen at start: $(window_size)"
wait_shows 10 presblts.bmp 130 20 560 100 130 20
wid=$(game_window)  # the window as it is once the game runs
expect_shows sprites.bmp 731 612 120 60 340 380 keyed  # play

# The icon: the 64 x 64 picture shipped beside the program.
xprop -id "$wid" _NET_WM_ICON 2>/dev/null | grep -q 'Icon (64 x 64)' ||
  fail "the window has no 64 x 64 icon"

# A tap (press and release sent at once) moves the stage selector.
xdotool key Right
sleep 0.3
take_shot
expect_shows sprites.bmp $big_digit_2 $digit_at keyed

# Scaling of the full-screen frame: sharp only at a whole factor.
expected=$(awk -v W="$SCREEN_W" -v H="$SCREEN_H" 'BEGIN {
  s = W / 800; if (H / 600 < s) s = H / 600; print (s == int(s) ? "nearest" : "linear") }')
sleep 0.3
take_shot
got=$(grab_filter)
echo "scale filter: expected $expected, the grab looks $got ($(tail -n2 "$e2e_tmp/filters.log" | tr '\n' ' '))"
[[ "$got" == "$expected" ]] || fail "full screen at ${SCREEN_W}x${SCREEN_H} is scaled $got, not $expected"

# G and F keep the same window.
press g
wait_size "800 600" || fail "G: window is $(window_size), not 800 600"
[[ "$(game_window)" == "$wid" ]] || fail "G rebuilt the window"
mouse_to 10 300
press f
wait_size "$SCREEN_W $SCREEN_H" || fail "F: window is $(window_size), not full screen"
[[ "$(game_window)" == "$wid" ]] || fail "F rebuilt the window"
take_shot
expect_shows sprites.bmp 731 612 120 60 340 380 keyed  # every picture still drawn

xdotool windowfocus "$wid" 2>/dev/null
xdotool key ctrl+alt+Escape
wait_exit 30
((game_rc == 0)) || fail "exit code $game_rc"
grep -q "InitializeGraphics Failed" "$e2e_tmp/game.log" && fail "start-up reported a failure"
echo "PASS"
