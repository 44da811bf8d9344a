# Shared helpers of all end-to-end scripts: a private Xvfb display with evilwm,
# cleaned up on exit, and window/key helpers. Source it, then call start_display.

for tool in Xvfb evilwm xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
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

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts Xvfb on a free display (random high number so parallel tests don't
# collide) and evilwm on it. Sets DISPLAY, SCREEN_W and SCREEN_H. With
# E2E_NO_GLX=1 the server has no GLX, as many remote desktops and virtual
# machines: nothing can use OpenGL on it.
start_display() {
  SCREEN_W=${SCREEN_W:-1280}
  SCREEN_H=${SCREEN_H:-1024}
  local attempt n pid i
  local server_options=()
  [[ "${E2E_NO_GLX:-0}" == 1 ]] && server_options=(-extension GLX)
  for attempt in $(seq 10); do
    n=$((200 + RANDOM % 700))
    if [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; then
      n=""
      continue
    fi
    Xvfb ":$n" -screen 0 "${SCREEN_W}x${SCREEN_H}x24" -nolisten tcp "${server_options[@]}" \
      >"$e2e_tmp/xvfb.log" 2>&1 &
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
  if [[ "${E2E_NO_GLX:-0}" == 1 ]] && command -v xdpyinfo >/dev/null &&
     DISPLAY=":$n" xdpyinfo -queryExtensions 2>/dev/null | grep -q 'GLX'; then
    fail "the server on :$n still offers GLX"
  fi
  export DISPLAY=":$n"
  unset SDL_VIDEODRIVER WAYLAND_DISPLAY
  export SDL_AUDIODRIVER=dummy  # no sound card under test; keeps the logs quiet
  evilwm -fn fixed >"$e2e_tmp/evilwm.log" 2>&1 &
  e2e_pids+=($!)
  sleep 0.3
}

# Prints the id of the game's window. The window can be rebuilt by a mode
# switch, so it is looked up by its title every time.
game_window() {
  xdotool search --name '^BrAmBl3tS 2$' 2>/dev/null | tail -n1
}

# Prints "width height" of the game's window.
window_size() {
  local WIDTH HEIGHT X Y SCREEN WINDOW id
  id=$(game_window)
  [[ -n "$id" ]] || return 1
  eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)"
  echo "${WIDTH:-} ${HEIGHT:-}"
}

# Waits (up to $2 tenths of a second) until the game's window has size $1 ("w h").
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
