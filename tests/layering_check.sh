#!/usr/bin/env bash
# Layering rules of the source tree:
#   - SDL (and X11) headers are included only in engine/host/;
#   - engine/host/ includes nothing from the engine above it nor from the game;
#   - the game (game/, world/, gameplay/) reaches the host layer only through
#     the engine, never by including engine/host/ itself.
# Usage: layering_check.sh <source dir>     checks the tree, exit 1 on a breach
#        layering_check.sh --self-test      checks that planted breaches are caught
set -u

check_tree() {
  local root=$1 found=0 hits
  hits=$(cd "$root" && grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](SDL2?/|SDL[_a-z0-9]*\.h|X11/)' \
           --include='*.cpp' --include='*.h' engine game world gameplay 2>/dev/null |
         grep -v '^engine/host/')
  if [[ -n "$hits" ]]; then
    echo "SDL or X11 header outside engine/host:"; echo "$hits"; found=1
  fi
  hits=$(cd "$root" && grep -rnE '#[[:space:]]*include[[:space:]]*"(engine/(platform|graphics|sound)|game|world|gameplay)/' \
           --include='*.cpp' --include='*.h' engine/host 2>/dev/null)
  if [[ -n "$hits" ]]; then
    echo "engine/host includes a layer above it:"; echo "$hits"; found=1
  fi
  hits=$(cd "$root" && grep -rnE '#[[:space:]]*include[[:space:]]*"engine/host/' \
           --include='*.cpp' --include='*.h' game world gameplay 2>/dev/null)
  if [[ -n "$hits" ]]; then
    echo "the game includes engine/host directly:"; echo "$hits"; found=1
  fi
  return $found
}

if [[ "${1:-}" == "--self-test" ]]; then
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  mkdir -p "$tmp"/engine/host "$tmp"/engine/platform "$tmp"/game "$tmp"/world "$tmp"/gameplay
  echo '#include <SDL.h>' >"$tmp/engine/host/host_ok.cpp"
  echo '#include "engine/platform/KInput.h"' >"$tmp/game/ok.cpp"
  check_tree "$tmp" >/dev/null || { echo "FAIL: a clean tree was refused"; exit 1; }
  for breach in 'engine/platform/KBad.cpp:#include <SDL_opengl.h>' \
                'engine/platform/KBad.h:  #include "SDL.h"' \
                'world/bad.cpp:#include <X11/Xlib.h>' \
                'engine/host/host_bad.cpp:#include "engine/platform/KEvent.h"' \
                'game/bad.cpp:#include "engine/host/host_clock.h"'; do
    file=${breach%%:*}
    echo "${breach#*:}" >"$tmp/$file"
    if check_tree "$tmp" >/dev/null; then echo "FAIL: not caught: $breach"; exit 1; fi
    rm "$tmp/$file"
  done
  echo "PASS"
  exit 0
fi

root=${1:?usage: layering_check.sh <source dir> | --self-test}
check_tree "$root" || exit 1
echo "PASS"
