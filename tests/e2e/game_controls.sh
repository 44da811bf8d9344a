#!/usr/bin/env bash
# The player's own keys in the real game: tarn/controls.cfg gives the jump to
# J alone. On a short stage with a one-tile wall between the key and the
# exit, the hero walks to the wall; Right with Space (no jump key any more)
# leaves him behind it; Right with J jumps him over it and the stage is
# finished and recorded. The file's bad line is said once on stderr with its
# line number, and the game never writes the file.
# Usage: game_controls.sh <bramblets2> <game_shot>
set -u
source "$(dirname "$0")/game_lib.sh"
source "$(dirname "$0")/short_stage.sh"

wall_column=8        # between the key (column 5) and the exit
walk_to_wall_secs=3  # from the start, past the key, up to the wall
no_jump_secs=6       # longer than walking from the wall to the exit takes

make_game_dir
write_short_stage "$game_dir/tarn/e1s1.pak" "$wall_column" || fail "cannot write the short stage"
controls="$game_dir/tarn/controls.cfg"
printf '# the test'"'"'s own keys\njump = J\nfly = Q\n' >"$controls"
cp "$controls" "$e2e_tmp/controls.before"
cfg="$game_dir/tarn/br2.cfg"

start_display
start_game
mouse_to 10 300
play_stage_one  # Enter still starts it: confirm keeps its keys
grep -q 'controls.cfg:3: unknown action "fly"' "$e2e_tmp/game.log" ||
  fail "the bad line 3 was not said: $(cat "$e2e_tmp/game.log")"
(($(grep -c 'controls.cfg:' "$e2e_tmp/game.log") == 1)) || fail "the controls file was told of more than once"

# --- Space no longer jumps: walked up to the wall (the key taken on the
# way), the hero stays behind it
xdotool windowfocus "$wid" 2>/dev/null
xdotool keydown Right
sleep "$walk_to_wall_secs"
for ((i = 0; i < no_jump_secs; i++)); do
  xdotool keydown space
  sleep 0.5
  xdotool keyup space
  sleep 0.5
done
xdotool keyup Right
progress=$("$shot_tool" config-read "$cfg") || fail "progress file: $progress"
[[ "$progress" == *"completed=0 "* ]] || fail "Space still jumps: the stage was finished ($progress)"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended"

# --- J jumps him over it, and on to the exit
walk_until_stage_recorded "$cfg" 200 j
echo "after the stage: $("$shot_tool" config-read "$cfg")"
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
cmp -s "$controls" "$e2e_tmp/controls.before" || fail "the game changed controls.cfg"
[[ -z "$(ls -A "$XDG_DATA_HOME")" ]] || fail "wrote into \$XDG_DATA_HOME though its own folder is writable"
echo "PASS"
