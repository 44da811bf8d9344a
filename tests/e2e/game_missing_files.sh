#!/usr/bin/env bash
# The game with one data file missing at a time, run without a display (its
# messages then go to stderr as "Problem: <text>"). Each case gives exactly the
# messages the game gives for that file and its outcome, and never a crash:
#   data.dat           silent, ends by itself with exit code 0, progress written
#   panels.bmp         three messages, ends by itself with exit code 0
#   sprites.bmp        three messages, ends by itself with exit code 0
#   an episode picture its own message, and the game runs on
#   presblts.bmp, ... no message at start-up that stops it; the game runs on
#   audio/             silent, the game runs on
# A game that runs on is asked to quit (SIGTERM, as a session logout does)
# and must end with exit code 0.
# With STRESS_ALL=1 every member of data.dat and every file in tarn/ and
# audio/ is removed in turn (tests/stress/ runs that).
# Usage: game_missing_files.sh <bramblets2> <game_shot>
set -u
source "$(dirname "$0")/game_lib.sh"
unset DISPLAY WAYLAND_DISPLAY
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

# A fresh game folder with every file; the case then removes one.
fresh_game() {
  rm -rf "$game_dir"
  make_game_dir
}

# Removes a member from the game's archive (pictures are looked up in the
# archive first, then beside the program, where there are none).
drop_member() {
  rm -f "$game_dir/data.dat"
  "$shot_tool" tar-without "$data" "$game_dir/data.dat" "$1" || fail "$1 is not in data.dat"
}

# True once the process has its SIGTERM handler (SDL turns the signal into a
# quit request from then on).
handles_term() {
  local mask
  mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
  [[ -n "$mask" ]] && (((16#$mask >> 14) & 1))
}

# run_case <name> <ends|runs> <expected stderr lines...>
run_case() {
  local name=$1 outcome=$2
  shift 2
  local log="$e2e_tmp/$name.log" pid i rc
  "$game_dir/bramblets2" >"$log" 2>&1 &
  pid=$!
  e2e_pids+=("$pid")
  if [[ $outcome == runs ]]; then
    for i in $(seq 150); do
      handles_term "$pid" && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    sleep 1.5  # into the frame loop
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; fail "$name: ended by itself (exit code $?): $(head -n3 "$log")"; }
    kill -TERM "$pid"
  fi
  for i in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "$name: still running 20 s on"
  wait "$pid"
  rc=$?
  ((rc == 0)) || fail "$name: exit code $rc: $(tail -n3 "$log")"
  local got want
  got=$(grep '^Problem: ' "$log")
  want=$(for line in "$@"; do echo "Problem: $line"; done)
  [[ "$got" == "$want" ]] || fail "$name: messages were [$got], expected [$want]"
  echo "ok: $name ($outcome, ${#@} messages)"
}

fresh_game
rm "$game_dir/data.dat"
run_case no-archive ends
"$shot_tool" config-read "$game_dir/tarn/br2.cfg" >/dev/null || fail "no-archive: progress file not written"

fresh_game; drop_member panels.bmp
run_case no-panels ends "On a pas pu charger: panel.bmp" "RestoreSurfaces Failed!" "LoadSurfaces Failed!"
fresh_game; drop_member sprites.bmp
run_case no-sprites ends "On a pas pu charger: sprites.bmp" "RestoreSurfaces Failed!" "LoadSurfaces Failed!"
fresh_game; drop_member gomme.bmp
run_case no-gomme runs "On a pas pu charger la surface : gomme"
fresh_game; drop_member table1blts.bmp
run_case no-table runs "On a pas pu charger : table"
fresh_game; rm "$game_dir/audio"
run_case no-audio runs

# runs_on <what is missing> [may-end]: the prepared game runs 4 s, then quits
# with exit code 0 when asked.
runs_on() {
  "$game_dir/bramblets2" >"$e2e_tmp/all.log" 2>&1 &
  local pid=$! rc
  e2e_pids+=("$pid")
  sleep 4
  kill -0 "$pid" 2>/dev/null || [[ -n ${2:-} ]] || { wait "$pid"; fail "without $1: ended (exit code $?)"; }
  kill -TERM "$pid" 2>/dev/null
  wait "$pid"
  rc=$?
  ((rc == 0)) || fail "without $1: exit code $rc"
  echo "ok: without $1: $(grep -c '^Problem: ' "$e2e_tmp/all.log") message(s)"
}

if [[ "${STRESS_ALL:-0}" == 1 ]]; then
  # Every other member: the game must start and run on (whatever it says).
  for member in $(tar tf "$data"); do
    case $member in panels.bmp|sprites.bmp) continue ;; esac
    fresh_game; drop_member "$member"
    runs_on "$member"
  done
  for f in "$game_src_dir"/tarn/*; do
    [[ $(basename "$f") == br2.cfg ]] && continue
    fresh_game; rm -f "$game_dir/tarn/$(basename "$f")"
    runs_on "tarn/$(basename "$f")" may-end
  done
fi
echo "PASS"
