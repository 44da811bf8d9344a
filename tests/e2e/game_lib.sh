# Helpers of the game's end-to-end scripts on top of window_lib.sh (source it
# with the game and game_shot as $1 and $2). The game runs from a scratch copy
# of its folder, so progress file and screenshots never land in build/.

game_src=${1:?usage: $0 <bramblets2> <game_shot>}
shot_tool=${2:?usage: $0 <bramblets2> <game_shot>}
game_src_dir=$(cd "$(dirname "$game_src")" && pwd)
if [[ ! -f "$game_src_dir/data.dat" ]]; then
  echo "no data.dat beside $game_src: skipped"
  exit 77
fi
source "$(dirname "${BASH_SOURCE[0]}")/window_lib.sh"

# On failure keep the screenshots (as PNG) and the game's output for a look.
fail() {
  local keep
  keep=$(mktemp -d "${TMPDIR:-/tmp}/bramblets2-e2e-XXXXXX")
  local f
  for f in "${game_dir:-/nonexistent}"/screenshot*.tga "$e2e_tmp"/*.tga; do
    [[ -f "$f" ]] && "$shot_tool" png "$f" "$keep/$(basename "$f" .tga).png" >/dev/null 2>&1
  done
  cp "$e2e_tmp"/*.log "$keep/" 2>/dev/null
  echo "FAIL: $*  (screenshots and logs kept in $keep)" >&2
  exit 1
}

game_dir="$e2e_tmp/game"
data="$game_src_dir/data.dat"

# Makes the scratch game folder: a copy of the program (it finds its data
# beside its own real path) with the data linked or copied.
make_game_dir() {
  mkdir -p "$game_dir/tarn"
  cp "$game_src" "$game_dir/bramblets2"
  ln -s "$data" "$game_dir/data.dat"
  [[ -d "$game_src_dir/audio" ]] && ln -s "$game_src_dir/audio" "$game_dir/audio"
  [[ -f "$game_src_dir/icon.bmp" ]] && ln -s "$game_src_dir/icon.bmp" "$game_dir/icon.bmp"
  cp "$game_src_dir"/tarn/*.pak "$game_src_dir"/tarn/world1.prp "$game_dir/tarn/" 2>/dev/null
  export XDG_DATA_HOME="$e2e_tmp/xdg"
  export HOME="$e2e_tmp/home"
  mkdir -p "$XDG_DATA_HOME" "$HOME"
}

# Starts the game ($1: program, default the scratch copy); sets game_pid and wid.
start_game() {
  local program=${1:-$game_dir/bramblets2}
  shot_count=0
  rm -f "$game_dir"/screenshot*.tga
  "$program" >>"$e2e_tmp/game.log" 2>&1 &
  game_pid=$!
  e2e_pids+=("$game_pid")
  wid=$(timeout 15 xdotool search --sync --name '^BrAmBl3tS 2$' | head -n1)
  [[ -n "$wid" ]] || fail "no window titled \"BrAmBl3tS 2\""
}

# Screen position of a point of the game's 800 x 600 frame (full screen keeps
# the aspect and letterboxes): sets sx, sy.
to_screen() {
  read -r sx sy < <(awk -v x="$1" -v y="$2" -v w="$SCREEN_W" -v h="$SCREEN_H" 'BEGIN {
    s = w / 800; if (h / 600 < s) s = h / 600
    printf "%d %d\n", (w - 800 * s) / 2 + x * s, (h - 600 * s) / 2 + y * s }')
}

# Moves the mouse to a point of the game's frame.
mouse_to() {
  to_screen "$1" "$2"
  xdotool mousemove "$sx" "$sy"
}

click() {
  xdotool mousedown 1
  sleep 0.25
  xdotool mouseup 1
  sleep 0.1
}

# Left Shift + Print Screen: the game writes screenshotN.tga beside itself.
# Sets shot to its path. The game reads key states once a frame, so a press
# that falls entirely inside one long frame (a stage loading) goes unseen:
# press again then.
take_shot() {
  shot_count=$((shot_count + 1))
  shot="$game_dir/screenshot$shot_count.tga"
  local attempt i
  for attempt in 1 2 3; do
    xdotool keydown Shift_L keydown Print
    sleep 0.15
    xdotool keyup Print keyup Shift_L
    for i in $(seq 20); do
      [[ -s "$shot" ]] && break 2
      kill -0 "$game_pid" 2>/dev/null || fail "the game ended while taking screenshot $shot_count"
      sleep 0.1
    done
  done
  [[ -s "$shot" ]] || fail "no $(basename "$shot") after Left Shift + Print Screen"
  sleep 0.1  # written before the game waits for the keys' release; let it close
}

# Tests whether the picture's rectangle shows in the last screenshot.
shows() {
  "$shot_tool" pic "$shot" "$data" "$@" >>"$e2e_tmp/checks.log"
}

# Fails unless the picture's rectangle shows in the last screenshot.
expect_shows() {
  shows "$@" || fail "$(basename "$shot"): $(tail -n1 "$e2e_tmp/checks.log")"
}

# Takes screenshots until the picture's rectangle shows (up to $1 tries).
wait_shows() {
  local tries=$1 i
  shift
  for i in $(seq "$tries"); do
    take_shot
    shows "$@" && return 0
    sleep 0.2
  done
  fail "$(basename "$shot"): never showed after $tries screenshots: $(tail -n1 "$e2e_tmp/checks.log")"
}

# Waits up to $1 tenths of a second for the game to end; sets game_rc.
wait_exit() {
  local i
  for i in $(seq "$1"); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$game_pid" 2>/dev/null && fail "the game is still running"
  wait "$game_pid"
  game_rc=$?
}
