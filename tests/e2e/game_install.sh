#!/usr/bin/env bash
# `cmake --install` of the build tree into a scratch prefix gives a game that
# runs from there: the program with its data, the install marker, a link in
# bin/, the desktop entry and the icons. Run by the user who installed it
# (root in CI), who could write into the prefix, the installed game starts,
# takes a screenshot, plays, edits and saves stage 1 and quits with exit
# code 0: nothing under the prefix changes, and progress, the edited stage
# and the screenshot are under $XDG_DATA_HOME/bramblets2/. A second
# `cmake --install` leaves the player's files alone, and the game, now
# read-only (and run as an unprivileged user when the test runs as root),
# plays the player's edited stage 1, not the reinstalled one.
# Usage: game_install.sh <bramblets2> <game_shot>   (needs BR_BUILD_DIR)
set -u
source "$(dirname "$0")/game_lib.sh"
source "$(dirname "$0")/short_stage.sh"
build=${BR_BUILD_DIR:-$game_src_dir}

prefix="$e2e_tmp/prefix with space"
trap 'chmod -R u+w "$prefix" 2>/dev/null; e2e_cleanup' EXIT
cmake --install "$build" --prefix "$prefix" >"$e2e_tmp/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -n3 "$e2e_tmp/install.log")"

game="$prefix/lib/bramblets2"
for f in bin/bramblets2 lib/bramblets2/bramblets2 lib/bramblets2/data.dat lib/bramblets2/tarn/world1.prp \
         lib/bramblets2/bramblets2.installed \
         lib/bramblets2/tarn/e1s1.pak share/applications/org.bramblets2.bramblets2.desktop \
         share/icons/hicolor/64x64/apps/bramblets2.png; do
  [[ -e "$prefix/$f" ]] || fail "not installed: $f"
done
[[ "$(cat "$game/bramblets2.installed")" == "$game" ]] || fail "the install marker names $(cat "$game/bramblets2.installed")"
[[ -x "$prefix/bin/bramblets2" ]] || fail "bin/bramblets2 is not executable"
[[ "$(readlink "$prefix/bin/bramblets2")" == ../* ]] || fail "bin/bramblets2 is not a relative link"
if compgen -G "$game_src_dir/audio/*.ogg" >/dev/null; then
  compgen -G "$game/audio/*.ogg" >/dev/null || fail "no sounds installed"
fi
[[ -e "$game/tarn/br2.cfg" ]] && fail "a player's progress file was installed"
compgen -G "$game/screenshot*" >/dev/null && fail "screenshots were installed"

desktop="$prefix/share/applications/org.bramblets2.bramblets2.desktop"
grep -qx 'Type=Application' "$desktop" || fail "desktop entry: no Type=Application"
grep -qx 'Name=BrAmBl3tS 2' "$desktop" || fail "desktop entry: wrong Name"
grep -qx 'Icon=bramblets2' "$desktop" || fail "desktop entry: wrong Icon"
grep -qxF "Exec=\"$prefix/bin/bramblets2\"" "$desktop" || fail "desktop entry: Exec is $(grep ^Exec "$desktop")"
# The icon is a real PNG picture.
[[ "$(head -c 8 "$prefix/share/icons/hicolor/64x64/apps/bramblets2.png" | od -An -tx1 | tr -d ' \n')" == \
   89504e470d0a1a0a ]] || fail "the icon is not a PNG"

# --- the installing user runs the game; the prefix stays writable
export XDG_DATA_HOME="$e2e_tmp/xdg" HOME="$e2e_tmp/home" XDG_CACHE_HOME="$e2e_tmp/cache"
mkdir -p "$XDG_DATA_HOME" "$HOME" "$XDG_CACHE_HOME"
user_dir="$XDG_DATA_HOME/bramblets2"
before=$(cd "$prefix" && find . -printf '%p %s %T@ %m\n' | sort)
# A player who has finished the episode: the editor is unlocked.
mkdir -p "$user_dir/tarn"
"$shot_tool" config-write "$user_dir/tarn/br2.cfg" 20 1 || fail "cannot write the progress file"

start_display
start_game "$prefix/bin/bramblets2"
mouse_to 10 300
sleep 1
# A screenshot of the installed game lands in the per-user folder.
game_dir="$user_dir" shot_count=0
take_shot
# Play stage 1 from the installed data and edit it: F1 opens the editor, a
# click paints the brush, F1 again saves the stage.
play_stage_one
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
cfg="$user_dir/tarn/br2.cfg"
[[ -f "$cfg" ]] || fail "no progress file under \$XDG_DATA_HOME/bramblets2: $(find "$XDG_DATA_HOME" | head)"
progress=$("$shot_tool" config-read "$cfg") || fail "progress file not in stored form"
echo "progress: $progress"
[[ "$progress" == *"completed=20 "* && "$progress" == *"editor=1 "* ]] || fail "progress lost: $progress"
[[ -s "$user_dir/tarn/e1s1.pak" ]] || fail "the edited stage was not saved under \$XDG_DATA_HOME/bramblets2/tarn"
[[ -s "$user_dir/tarn/world1.prp" ]] || fail "the tile kinds were not saved under \$XDG_DATA_HOME/bramblets2/tarn"
grep -q "cannot save" "$e2e_tmp/game.log" && fail "a save failed: $(grep "cannot save" "$e2e_tmp/game.log" | head -n2)"
# Nothing else of the game's lands in the home folder.
stray=$(find "$HOME" -mindepth 1 | head -n3)
[[ -z "$stray" ]] || fail "wrote into \$HOME: $stray"

# --- the player's stage 1 is now one that holding Right finishes; the
# progress starts afresh so that finishing it shows.
write_short_stage "$user_dir/tarn/e1s1.pak" || fail "cannot write the short stage"
"$shot_tool" config-write "$cfg" 0 1 || fail "cannot write the progress file"
mine=$(cd "$user_dir" && find . -type f -printf '%p %s %T@\n' | sort; md5sum tarn/e1s1.pak)

# --- a reinstall (an upgrade) over the game leaves the player's files alone
cmake --install "$build" --prefix "$prefix" >"$e2e_tmp/install2.log" 2>&1 ||
  fail "the second cmake --install failed: $(tail -n3 "$e2e_tmp/install2.log")"
[[ "$mine" == "$(cd "$user_dir" && find . -type f -printf '%p %s %T@\n' | sort; md5sum tarn/e1s1.pak)" ]] ||
  fail "cmake --install changed the player's files"
cmp -s "$user_dir/tarn/e1s1.pak" "$prefix/lib/bramblets2/tarn/e1s1.pak" && fail "the short stage was installed?"

# --- read-only prefix, and an unprivileged player when we are root
chmod -R a-w "$prefix"
chmod a+rx "$e2e_tmp"
chmod -R a+rwX "$XDG_DATA_HOME" "$HOME" "$XDG_CACHE_HOME"
chmod 777 "$XDG_DATA_HOME" "$HOME" "$XDG_CACHE_HOME"
runner=()
if [[ $(id -u) -eq 0 ]] && command -v setpriv >/dev/null; then
  runner=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
before=$(cd "$prefix" && find . -printf '%p %s %T@ %m\n' | sort)
# A new run numbers its screenshots from 1 again.
rm -f "$user_dir"/screenshot*.tga
shot_count=0
"${runner[@]}" "$prefix/bin/bramblets2" >>"$e2e_tmp/game.log" 2>&1 &
game_pid=$!
e2e_pids+=("$game_pid")
wid=$(timeout 30 xdotool search --sync --name '^BrAmBl3tS 2$' | head -n1)
if [[ -z "$wid" ]]; then
  kill -0 "$game_pid" 2>/dev/null || fail "the reinstalled game ended at once: $(tail -n3 "$e2e_tmp/game.log")"
  fail "the reinstalled game shows no window"
fi
mouse_to 10 300
play_stage_one
# Holding Right finishes the player's stage; the reinstalled one it would not.
walk_until_stage_recorded "$cfg" 100
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
after=$(cd "$prefix" && find . -printf '%p %s %T@ %m\n' | sort)
[[ "$before" == "$after" ]] || fail "the prefix changed: $(diff <(echo "$before") <(echo "$after") | head -n5)"

# --- a per-user folder that cannot be written (not even by root): the game
# still plays (no screenshot can be kept either, so only its life shows),
# says on stderr what it could not save, and writes nothing into the prefix.
XDG_DATA_HOME=/proc/self/bramblets2-readonly "$prefix/bin/bramblets2" >"$e2e_tmp/readonly.log" 2>&1 &
game_pid=$!
e2e_pids+=("$game_pid")
wid=$(timeout 15 xdotool search --sync --name '^BrAmBl3tS 2$' | head -n1)
[[ -n "$wid" ]] || fail "no window with a read-only per-user folder"
mouse_to 10 300
sleep 1
press Return
sleep 4
kill -0 "$game_pid" 2>/dev/null || fail "the game ended with a read-only per-user folder"
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
grep -q "cannot save tarn.br2.cfg" "$e2e_tmp/readonly.log" ||
  fail "nothing said about the progress that could not be saved: $(head -n3 "$e2e_tmp/readonly.log")"
after=$(cd "$prefix" && find . -printf '%p %s %T@ %m\n' | sort)
[[ "$before" == "$after" ]] || fail "the prefix changed: $(diff <(echo "$before") <(echo "$after") | head -n5)"
echo "PASS"
