#!/bin/sh
# The README's examples, run as written: each block after a line
# "<!-- The block below is run as written by tests/release/readme_examples.sh. -->"
# runs from the repository root in a shell of its own that stops at the first
# failing command, with dobrenz of build/native on PATH. None may leave a file
# in the repository; the points example ends with the next point name the
# README explains.
# Usage: readme_examples.sh SOURCE_DIR
set -eu
source=$1
. "$(dirname "$0")/../support/checks.sh"
# The indented lines of each marked block, unindented, one file per block.
awk -v dir="$work" '
  /run as written by tests\/release\/readme_examples\.sh/ { n++; want = 1; started = 0; next }
  want && /^    / { started = 1; print substr($0, 5) > (dir "/block" n ".sh"); next }
  want && started && !/^    / { want = 0 }
' "$source/README.md"
blocks=$(ls "$work"/block*.sh 2>/dev/null | wc -l)
[ "$blocks" -ge 2 ] || fail "the README has $blocks tested blocks, expected the examples and the session"

untracked() { (cd "$source" && find . -path ./build -prune -o -type f -newer "$work/start" -print | sort); }
touch "$work/start"
for block in "$work"/block*.sh; do
  name=$(basename "$block" .sh)
  (cd "$source" && PATH="$source/build/native/cli:$PATH" sh -e "$block" >"$work/$name.out" 2>"$work/$name.err") ||
    fail "README $name fails: $(tail -n 3 "$work/$name.err")"
done
left=$(untracked)
[ -z "$left" ] || fail "the README's examples leave files in the repository: $left"

grep -qx '6' "$work/block1.out" || fail "the points example does not print the next point name 6 on a line of its own"
grep -q 'control_points.txt: 5 lines; 5 added, 0 renamed, 0 updated, 0 ignored, 0 refused$' "$work/block1.out" ||
  fail "the points example does not print the summary the README shows"
grep -q '^dialog 1002 closed 2$' "$work/block2.out" || fail "the session example does not print the log the README shows"

[ "$failures" -eq 0 ]
