#!/usr/bin/env bash
# Figures of the real game under Xvfb with a window manager (not a test: it
# prints numbers): the time from starting the program to its window showing
# a frame, the CPU use at the paced frame rate in the idle main menu and in
# play (stage 1, hero standing), each in full screen and in the 800 x 600
# window, and the peak resident size.
# Usage: game_bench.sh <bramblets2> <game_shot> [seconds per measurement]
set -u
source "$(dirname "$0")/../e2e/game_lib.sh"
seconds=${3:-5}
hz=$(getconf CLK_TCK)

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
start_game
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
echo "in play (stage 1, standing), full screen: $(cpu_percent) % of a core"
peak=$(awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' "/proc/$game_pid/status")
echo "peak resident size: $peak MB"
xdotool key ctrl+alt+Escape
wait_exit 50
