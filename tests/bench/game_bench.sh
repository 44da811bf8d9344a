#!/usr/bin/env bash
# Figures of the real game under Xvfb with a window manager (not a test: it
# prints numbers): the time from starting the program to its window showing
# a frame, the CPU use at the paced frame rate in the idle main menu and in
# play (stage 1, hero standing), each in full screen and in the 800 x 600
# window, in play with the hero running (full screen), the pacing of the
# presented frames in play, the game's heap and the peak resident size.
# The screen is 1024 x 768 unless SCREEN_W and SCREEN_H say otherwise.
# With PRESENT_CLOCK naming the preload library built from present_clock.cpp,
# the pacing (p50, p99 and p99 - p50 of the interval between presented
# frames) and the heap are measured too; without it those lines are left out.
# Usage: game_bench.sh <bramblets2> <game_shot> [seconds per measurement]
set -u
SCREEN_W=${SCREEN_W:-1024}
SCREEN_H=${SCREEN_H:-768}
source "$(dirname "$0")/../e2e/game_lib.sh"
seconds=${3:-5}
hz=$(getconf CLK_TCK)
present_log="$e2e_tmp/presents.log"
heap_log="$e2e_tmp/heap.log"

# Number of frames presented so far.
presents() { [[ -f "$present_log" ]] && wc -l <"$present_log" || echo 0; }

# Pacing of the frames presented after the $1-th: p50, p99 and their gap of
# the interval between two presented frames, in ms.
pacing() {
  awk -v from="$1" 'NR > from { if (prev) print ($1 - prev) / 1000; prev = $1 }' "$present_log" |
    sort -n | awk '{ v[NR] = $1 } END {
      if (NR < 2) { print "too few frames"; exit }
      p50 = v[int(NR * 0.50 + 0.5)]; p99 = v[int(NR * 0.99 + 0.5)]
      printf "p50 %.2f ms, p99 %.2f ms, p99-p50 %.2f ms (%d intervals)\n", p50, p99, p99 - p50, NR }'
}

# Holds Shift and runs right and left in turns for $seconds (the CPU use is
# measured meanwhile by the caller).
run_about() {
  local end=$((SECONDS + seconds)) dir=Right
  xdotool keydown Shift_L
  while ((SECONDS < end)); do
    xdotool keydown "$dir"
    sleep 1.5
    xdotool keyup "$dir"
    [[ $dir == Right ]] && dir=Left || dir=Right
  done
  xdotool keyup Shift_L
}

# Percent of one core used by the game over $seconds.
cpu_percent() {
  local before after
  before=$(cpu_ticks "$game_pid")
  sleep "$seconds"
  after=$(cpu_ticks "$game_pid")
  awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * t / hz / s }'
}

make_game_dir
start_display
t0=$(date +%s.%N)
if [[ -n "${PRESENT_CLOCK:-}" ]]; then
  # The game itself (exec keeps its process id) with the clock preloaded.
  printf '#!/bin/sh\nexec env LD_PRELOAD="%s" BR_PRESENT_LOG="%s" BR_HEAP_LOG="%s" "%s"\n' \
    "$PRESENT_CLOCK" "$present_log" "$heap_log" "$game_dir/bramblets2" >"$e2e_tmp/clocked_game"
  chmod +x "$e2e_tmp/clocked_game"
  start_game "$e2e_tmp/clocked_game"
else
  start_game
fi
take_shot  # answered only once frames are being presented
t1=$(date +%s.%N)
echo "start-up to a presented frame: $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f", (b - a) * 1000 }') ms" \
     "(includes one screenshot, under $(uptime | sed 's/.*load/load/'))"
mouse_to 10 300
sleep 1
echo "idle main menu, full screen ${SCREEN_W}x${SCREEN_H}: $(cpu_percent) % of a core"
press g
wait_size "800 600" || fail "no 800 x 600 window"
sleep 0.5
echo "idle main menu, 800 x 600 window: $(cpu_percent) % of a core"
press Return
sleep 4
echo "in play (stage 1, standing), 800 x 600 window: $(cpu_percent) % of a core"
xdotool mousemove $((SCREEN_W / 2)) $((SCREEN_H / 2))
press f
sleep 1
from=$(presents)
echo "in play (stage 1, standing), full screen: $(cpu_percent) % of a core"
[[ -n "${PRESENT_CLOCK:-}" ]] && echo "pacing in play (standing), full screen: $(pacing "$from")"
from=$(presents)
run_about &
runner=$!
echo "in play (stage 1, running), full screen: $(cpu_percent) % of a core"
wait "$runner"
[[ -n "${PRESENT_CLOCK:-}" ]] && echo "pacing in play (running), full screen: $(pacing "$from")"
if [[ -n "${PRESENT_CLOCK:-}" ]]; then
  kill -USR1 "$game_pid"
  sleep 0.5
  [[ -s "$heap_log" ]] && echo "heap in use in play: $(awk '{ printf "%.1f", $1 / 1048576 }' "$heap_log") MB"
fi
peak=$(awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' "/proc/$game_pid/status")
echo "peak resident size: $peak MB"
xdotool key ctrl+alt+Escape
wait_exit 50
