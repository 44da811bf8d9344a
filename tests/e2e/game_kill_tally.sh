#!/usr/bin/env bash
# Progress survives a crash: the real game plays a short stage of the test's
# own to its exit and is killed with SIGKILL while the score tally runs. The
# progress file is whole and in stored form, and on the next start stage 1
# is recorded as finished and stage 2 can be chosen in the menu (but not 3).
# The first start finds a progress file edited into garbage and a stale
# temporary from an earlier crash: it keeps the garbage aside, says so on
# stderr and plays on.
# Usage: game_kill_tally.sh <bramblets2> <game_shot>
set -u
source "$(dirname "$0")/game_lib.sh"
source "$(dirname "$0")/short_stage.sh"

big_digit=("731 755 30 48" "761 755 30 48" "791 755 34 48")
digit_at="336 295"

make_game_dir
write_short_stage "$game_dir/tarn/e1s1.pak" || fail "cannot write the short stage"
cfg="$game_dir/tarn/br2.cfg"
garbage="hand-edited: I was on stage 12"
printf '%s' "$garbage" >"$cfg"
printf 'half a file' >"$cfg.tmp"

start_display
start_game
mouse_to 10 300
play_stage_one
[[ "$(cat "$cfg.bad" 2>/dev/null)" == "$garbage" ]] || fail "the unreadable progress file was not kept aside"
grep -q "br2.cfg.bad" "$e2e_tmp/game.log" || fail "nothing said about the unreadable progress file"
walk_until_stage_recorded "$cfg" 100
# The curtain closes, the finish tune ends, the tally begins: kill it there.
wait_shows 60 levelscore.bmp 40 40 200 120 40 40
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
compgen -G "$game_dir/tarn/*.tmp" >/dev/null && echo "note: a temporary was left: $(ls "$game_dir"/tarn/*.tmp)"

progress=$("$shot_tool" config-read "$cfg") || fail "progress file not whole after the kill: $progress"
echo "after the kill: $progress"
[[ "$progress" == *"completed=1 "* ]] || fail "stage 1 not recorded: $progress"

# The next start: the selector goes from 1 to 2, and no further.
start_game
mouse_to 10 300
wait_shows 10 presblts.bmp 130 20 560 100 130 20
take_shot
expect_shows sprites.bmp ${big_digit[1]} $digit_at keyed
press Right
take_shot
expect_shows sprites.bmp ${big_digit[2]} $digit_at keyed
press Right
take_shot
expect_shows sprites.bmp ${big_digit[2]} $digit_at keyed
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
"$shot_tool" config-read "$cfg" | grep -q "completed=1 " || fail "progress lost on the second run"
echo "PASS"
