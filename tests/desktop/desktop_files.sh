#!/usr/bin/env bash
# What `cmake --install` gives the desktop: the metainfo that software
# centres list the game by (valid for appstreamcli, its id naming the
# installed desktop entry), the manual page bramblets2(6) (rendered by man
# without a warning, naming the installed folders) and the example
# controls.cfg. Skips (77) without appstreamcli or man.
# Usage: desktop_files.sh <build dir>
set -u
build=${1:?usage: $0 <build dir>}
for tool in appstreamcli man groff; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export HOME="$tmp/home" XDG_CACHE_HOME="$tmp/cache"
mkdir -p "$HOME"

prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -n3 "$tmp/install.log")"

id=org.bramblets2.bramblets2
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
manpage="$prefix/share/man/man6/bramblets2.6"
example="$prefix/share/doc/bramblets2/controls.cfg"
for f in "$metainfo" "$manpage" "$example" "$prefix/share/applications/$id.desktop"; do
  [[ -f "$f" ]] || fail "not installed: ${f#"$prefix"/}"
done

# --- the metainfo: valid, and its id is the desktop entry's name
appstreamcli validate --no-net "$metainfo" >"$tmp/validate.log" 2>&1 ||
  fail "appstreamcli validate: $(cat "$tmp/validate.log")"
[[ "$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")" == "$id" ]] || fail "metainfo id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $id.desktop"
# The tree as a software centre reads it: metainfo, desktop entry and icon.
appstreamcli validate-tree --no-net "$prefix" >"$tmp/tree.log" 2>&1 ||
  fail "appstreamcli validate-tree: $(cat "$tmp/tree.log")"

# --- the manual page renders, without a warning, with the installed paths
MANWIDTH=80 man --warnings -P cat -l "$manpage" >"$tmp/man.txt" 2>"$tmp/man.err" ||
  fail "man -l failed: $(cat "$tmp/man.err")"
[[ ! -s "$tmp/man.err" ]] || fail "man -l warns: $(cat "$tmp/man.err")"
text=$(col -b <"$tmp/man.txt" | tr -s ' \n' ' ')
for words in "BRAMBLETS2(6)" NAME SYNOPSIS "HOW TO PLAY" "CHOOSING YOUR KEYS" FILES \
             tarn/br2.cfg tarn/controls.cfg XDG_DATA_HOME "$prefix/lib/bramblets2/" \
             "$prefix/share/doc/bramblets2/controls.cfg"; do
  [[ "$text" == *"$words"* ]] || fail "the manual page lacks \"$words\""
done
grep -q "@BR_" "$manpage" && fail "the manual page keeps a placeholder"

# --- the example is the source's, unchanged
cmp -s "$example" "$(dirname "$0")/../../data/desktop/controls.cfg" || fail "the example controls.cfg differs"
echo "PASS"
