#!/usr/bin/env bash
# `cmake --install` of the build tree into a scratch prefix gives a game that
# runs from there: the program with its data, a link in bin/, the desktop
# entry and the icons. Made read-only (and run as an unprivileged user when
# the test runs as root, who could write anyway), the installed game starts,
# takes a screenshot, plays, edits and saves stage 1, quits with exit code 0, keeps its progress
# and the edited stage under $XDG_DATA_HOME/bramblets2/ and writes nothing
# into the prefix.
# Usage: game_install.sh <bramblets2> <game_shot>   (needs BR_BUILD_DIR)
set -u
source "$(dirname "$0")/game_lib.sh"
build=${BR_BUILD_DIR:-$game_src_dir}

prefix="$e2e_tmp/prefix with space"
trap 'chmod -R u+w "$prefix" 2>/dev/null; e2e_cleanup' EXIT
cmake --install "$build" --prefix "$prefix" >"$e2e_tmp/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -n3 "$e2e_tmp/install.log")"

game="$prefix/lib/bramblets2"
for f in bin/bramblets2 lib/bramblets2/bramblets2 lib/bramblets2/data.dat lib/bramblets2/tarn/world1.prp \
         lib/bramblets2/tarn/e1s1.pak share/applications/bramblets2.desktop \
         share/icons/hicolor/64x64/apps/bramblets2.png; do
  [[ -e "$prefix/$f" ]] || fail "not installed: $f"
done
[[ -x "$prefix/bin/bramblets2" ]] || fail "bin/bramblets2 is not executable"
[[ "$(readlink "$prefix/bin/bramblets2")" == ../* ]] || fail "bin/bramblets2 is not a relative link"
if compgen -G "$game_src_dir/audio/*.ogg" >/dev/null; then
  compgen -G "$game/audio/*.ogg" >/dev/null || fail "no sounds installed"
fi
[[ -e "$game/tarn/br2.cfg" ]] && fail "a player's progress file was installed"
compgen -G "$game/screenshot*" >/dev/null && fail "screenshots were installed"

desktop="$prefix/share/applications/bramblets2.desktop"
grep -qx 'Type=Application' "$desktop" || fail "desktop entry: no Type=Application"
grep -qx 'Name=BrAmBl3tS 2' "$desktop" || fail "desktop entry: wrong Name"
grep -qx 'Icon=bramblets2' "$desktop" || fail "desktop entry: wrong Icon"
grep -qxF "Exec=\"$prefix/bin/bramblets2\"" "$desktop" || fail "desktop entry: Exec is $(grep ^Exec "$desktop")"
# The icon is a real PNG picture.
[[ "$(head -c 8 "$prefix/share/icons/hicolor/64x64/apps/bramblets2.png" | od -An -tx1 | tr -d ' \n')" == \
   89504e470d0a1a0a ]] || fail "the icon is not a PNG"

# Read-only prefix; an unprivileged player when we are root.
chmod -R a-w "$prefix"
chmod a+rx "$e2e_tmp"
runner=()
if [[ $(id -u) -eq 0 ]]; then
  command -v setpriv >/dev/null || { echo "setpriv missing: skipped"; exit 77; }
  runner=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
export XDG_DATA_HOME="$e2e_tmp/xdg" HOME="$e2e_tmp/home" XDG_CACHE_HOME="$e2e_tmp/cache"
mkdir -p "$XDG_DATA_HOME" "$HOME" "$XDG_CACHE_HOME"
chmod 777 "$XDG_DATA_HOME" "$HOME" "$XDG_CACHE_HOME"
before=$(cd "$prefix" && find . -printf '%p %s %T@ %m\n' | sort)
# A player who has finished the episode: the editor is unlocked.
mkdir -p "$XDG_DATA_HOME/bramblets2/tarn"
"$shot_tool" config-write "$XDG_DATA_HOME/bramblets2/tarn/br2.cfg" 20 1 || fail "cannot write the progress file"
chmod -R a+rwX "$XDG_DATA_HOME/bramblets2"

start_display
"${runner[@]}" "$prefix/bin/bramblets2" >"$e2e_tmp/game.log" 2>&1 &
game_pid=$!
e2e_pids+=("$game_pid")
wid=$(timeout 15 xdotool search --sync --name '^BrAmBl3tS 2$' | head -n1)
[[ -n "$wid" ]] || fail "the installed game shows no window"
mouse_to 10 300
sleep 1
# A screenshot of the installed game lands in the per-user folder.
game_dir="$XDG_DATA_HOME/bramblets2" shot_count=0
take_shot
# Play stage 1 from the installed data and edit it: F1 opens the editor, a
# click paints the brush, F1 again saves the stage.
press Return
sleep 4
kill -0 "$game_pid" 2>/dev/null || fail "the installed game ended while starting stage 1"
press F1
sleep 0.5
mouse_to 400 100
click
sleep 0.3
press F1
sleep 1
press Escape
sleep 1
xdotool key ctrl+alt+Escape
wait_exit 50
((game_rc == 0)) || fail "exit code $game_rc: $(tail -n3 "$e2e_tmp/game.log")"

after=$(cd "$prefix" && find . -printf '%p %s %T@ %m\n' | sort)
[[ "$before" == "$after" ]] || fail "the prefix changed: $(diff <(echo "$before") <(echo "$after") | head -n5)"
cfg="$XDG_DATA_HOME/bramblets2/tarn/br2.cfg"
[[ -f "$cfg" ]] || fail "no progress file under \$XDG_DATA_HOME/bramblets2: $(find "$XDG_DATA_HOME" | head)"
progress=$("$shot_tool" config-read "$cfg") || fail "progress file not in stored form"
echo "progress: $progress"
[[ "$progress" == *"completed=20 "* && "$progress" == *"editor=1 "* ]] || fail "progress lost: $progress"
[[ -s "$XDG_DATA_HOME/bramblets2/tarn/e1s1.pak" ]] || fail "the edited stage was not saved under \$XDG_DATA_HOME/bramblets2/tarn"
# Nothing else of the game's lands in the home folder.
stray=$(find "$HOME" -mindepth 1 | head -n3)
[[ -z "$stray" ]] || fail "wrote into \$HOME: $stray"
echo "PASS"
