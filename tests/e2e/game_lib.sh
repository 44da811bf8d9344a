# Shared helpers of the game's end-to-end scripts (source it with the game
# and the game_shot helper as $1 and $2). The game runs from a copy of the
# build tree's game folder (the program copied, the data linked), so its files
# (progress file, screenshots) land in a scratch folder and never in build/.

game_src=${1:?usage: $0 <bramblets2> <game_shot>}
shot_tool=${2:?usage: $0 <bramblets2> <game_shot>}
game_src_dir=$(cd "$(dirname "$game_src")" && pwd)
if [[ ! -f "$game_src_dir/data.dat" ]]; then
  echo "no data.dat beside $game_src: skipped"
  exit 77
fi
for tool in Xvfb evilwm xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is not installed: skipped"
    exit 77
  fi
done

e2e_tmp=$(mktemp -d)
e2e_pids=()

e2e_cleanup() {
  local pid
  for pid in "${e2e_pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${e2e_pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$e2e_tmp"
}
trap e2e_cleanup EXIT

# Starts Xvfb on a free display (picked at random from a high range so that
# parallel tests don't collide) with evilwm on it. Sets DISPLAY, SCREEN_W and
# SCREEN_H.
start_display() {
  SCREEN_W=${SCREEN_W:-1280}
  SCREEN_H=${SCREEN_H:-1024}
  local attempt n pid i
  for attempt in $(seq 10); do
    n=$((200 + RANDOM % 700))
    if [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; then
      n=""
      continue
    fi
    Xvfb ":$n" -screen 0 "${SCREEN_W}x${SCREEN_H}x24" -nolisten tcp >"$e2e_tmp/xvfb.log" 2>&1 &
    pid=$!
    for i in $(seq 100); do
      [[ -S /tmp/.X11-unix/X$n ]] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    if [[ -S /tmp/.X11-unix/X$n ]] && kill -0 "$pid" 2>/dev/null; then
      e2e_pids+=("$pid")
      break
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    n=""
  done
  [[ -n "$n" ]] || fail "Xvfb did not start"
  export DISPLAY=":$n"
  unset SDL_VIDEODRIVER WAYLAND_DISPLAY
  export SDL_AUDIODRIVER=dummy  # no sound card under test
  evilwm -fn fixed >"$e2e_tmp/evilwm.log" 2>&1 &
  e2e_pids+=($!)
  sleep 0.3
}

# Prints "width height" of the game's window (looked up by its title each
# time: a mode switch may rebuild the window).
window_size() {
  local WIDTH HEIGHT X Y SCREEN WINDOW id
  id=$(xdotool search --name '^BrAmBl3tS 2$' 2>/dev/null | tail -n1)
  [[ -n "$id" ]] || return 1
  eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)"
  echo "${WIDTH:-} ${HEIGHT:-}"
}

# Waits up to $2 tenths of a second (default 30) until the game's window has
# the size $1 ("w h").
wait_size() {
  local i
  for i in $(seq "${2:-30}"); do
    [[ "$(window_size)" == "$1" ]] && return 0
    sleep 0.1
  done
  return 1
}

# Holds a key long enough for a frame to see it (the game polls key states).
press() {
  xdotool keydown "$1"
  sleep 0.25
  xdotool keyup "$1"
  sleep 0.1
}

# CPU ticks (user + system) used so far by process $1.
cpu_ticks() {
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}

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
