#!/usr/bin/env bash
# Without any display the game reports "InitializeGraphics Failed!" on stderr
# and exits 0 at once instead of running unseen.
# Usage: window_nodisplay.sh <path to bramblets2>
set -u
game=${1:?usage: window_nodisplay.sh <bramblets2>}
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$game" 2>&1 >/dev/null)
rc=$?
((rc == 0)) || { echo "FAIL: exit code $rc"; exit 1; }
grep -q '^Problem: InitializeGraphics Failed!$' <<<"$out" || { echo "FAIL: stderr was: $out"; exit 1; }
echo "PASS"
