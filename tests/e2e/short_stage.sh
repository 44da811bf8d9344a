# A stage of the tests' own, finished by holding Right for a few seconds:
# the hero starts on a stone floor with the key three tiles to his right and
# the exit door against the right-hand wall, where he stops on it however
# long a frame lasts. Source it; write_short_stage <path.pak> [wall column]:
# with a column, a one-tile stone wall on the floor there must be jumped.

short_stage_w=25
short_stage_h=19

# Tile codes of the generated tile sheet (their kinds come from world1.prp).
short_stage_stone=17
short_stage_start=180
short_stage_key=182
short_stage_exit=189

# Writes the stage as a .pak: width, height (32-bit little-endian), then per
# cell the 16-bit tile value (code + 48) and a 16-bit 0.
write_short_stage() {
  local out=$1 wall=${2:--1} x y code bytes=""
  le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) 0 0; }
  bytes+=$(le32 $short_stage_w)$(le32 $short_stage_h)
  for ((y = 0; y < short_stage_h; y++)); do
    for ((x = 0; x < short_stage_w; x++)); do
      code=0
      if ((y >= 17 || x == 0 || x == short_stage_w - 1)); then code=$short_stage_stone; fi
      if ((y == 16 && x == wall)); then code=$short_stage_stone; fi
      if ((y == 16 && x == 2)); then code=$short_stage_start; fi
      if ((y == 16 && x == 5)); then code=$short_stage_key; fi
      if ((y == 16 && x == short_stage_w - 2)); then code=$short_stage_exit; fi
      code=$((code + 48))
      bytes+=$(printf '\\x%02x\\x%02x\\x00\\x00' $((code & 255)) $((code >> 8)))
    done
  done
  printf '%b' "$bytes" >"$out"
  local size
  size=$(stat -c %s "$out")
  ((size == 8 + 4 * short_stage_w * short_stage_h)) || { echo "short stage: $size bytes" >&2; return 1; }
}

# Holds Right until the progress file $1 records stage 1 of episode 1 as
# finished (up to $2 tenths of a second); fails otherwise. With a key $3
# (an xdotool key name), that key is pressed for a while every second, to
# jump. Needs fail and shot_tool from game_lib.sh.
walk_until_stage_recorded() {
  local cfg=$1 tries=$2 jump=${3:-} i progress=""
  [[ -n "${wid:-}" ]] && xdotool windowfocus "$wid" 2>/dev/null
  xdotool keydown Right
  for ((i = 0; i < tries; i++)); do
    # A press the game missed (a long frame, focus arriving late) is made again.
    if ((i % 20 == 19)); then
      xdotool keyup Right
      sleep 0.05
      xdotool keydown Right
    fi
    if [[ -n "$jump" ]]; then
      ((i % 10 == 0)) && xdotool keydown "$jump"
      ((i % 10 == 5)) && xdotool keyup "$jump"
    fi
    progress=$("$shot_tool" config-read "$cfg" 2>/dev/null)
    [[ "$progress" == *"completed="[1-9]* ]] && break
    kill -0 "$game_pid" 2>/dev/null || { xdotool keyup Right; fail "the game ended while walking"; }
    sleep 0.1
  done
  xdotool keyup Right
  [[ -n "$jump" ]] && xdotool keyup "$jump"
  [[ "$progress" == *"completed="[1-9]* ]] || { take_shot 2>/dev/null; fail "stage 1 never recorded as finished: ${progress:-no file}"; }
}

# From the main menu, starts stage 1 and waits until it is playing (the HUD's
# lives panel shows); a press of Enter lost in a long frame is made again.
play_stage_one() {
  local attempt i
  wait_shows 20 presblts.bmp 130 20 560 100 130 20
  for attempt in 1 2 3; do
    press Return
    for i in $(seq 12); do
      take_shot
      shows sprites.bmp 960 4 63 18 490 5 keyed && return 0
      sleep 0.3
    done
  done
  fail "stage 1 never started: $(tail -n1 "$e2e_tmp/checks.log")"
}
