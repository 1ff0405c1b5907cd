#!/bin/sh
# Plays every session script both ways — `dobrenz run` on the headless
# backend and qelhost.exe with the real DobrenzData.dll under Wine — and
# checks that the two logs, exit statuses, the reasons a script that does not
# fit was stopped for, and the resulting feature files are identical. Scripts
# whose first line is `# headless-only` are skipped.
#
# Usage (from the repository root, with the Wine environment of
# scripts/wine-env.sh started):
#   tests/win32/e2e_sessions.sh PICTURE_DIR [SCRIPT...]
# Each dialog's picture (qelhost --pictures) is kept in PICTURE_DIR.
# Without SCRIPTs: samples/scripts/*.script and tests/win32/sessions/*.script.
# With DZ_SESSION_FILES=DIR, the files of DIR are copied into each tree's
# root as well (scripts made at test time, with the data they name).
set -eu
root=$PWD
dobrenz=$root/build/native/cli/dobrenz
qelhost=$root/${DZ_CROSS_DIR:-build/cross}/bin/qelhost.exe
pictures=$1
shift
[ -x "$dobrenz" ] || { echo "FAILED: $dobrenz is missing: build the native preset first"; exit 1; }
[ -f "$qelhost" ] || { echo "FAILED: $qelhost is missing: build the cross preset first"; exit 1; }
mkdir -p "$pictures"
win_pictures=$(winepath -w "$pictures" 2>/dev/null)

if [ $# -eq 0 ]; then
  set -- samples/scripts/*.script tests/win32/sessions/*.script
fi

# A crash ends the run at once instead of waiting in Wine's debugger.
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winedbg.exe=d"
export WINEDLLOVERRIDES

. "$(dirname "$0")/../support/checks.sh"
played=0

# Why a player stopped the script (SCRIPT:LINE: reason), without the
# player's name.
stop_reason() {  # PLAYER ERRFILE
  sed -n "s|^$1: \($script:[0-9]*: \)|\1|p" "$2"
}

# The feature files a run left, one relative path per line.
feature_files() {
  (cd "$1" && find . -name '*.qel' -type f | sort)
}

for script in "$@"; do
  # A script of DZ_SESSION_FILES is named from the tree's root.
  source=$script
  [ -f "$source" ] || source=${DZ_SESSION_FILES:-.}/$script
  [ -f "$source" ] || { fail "$script: no such script"; continue; }
  if head -n 1 "$source" | grep -q '^# headless-only'; then
    echo "-- $script: headless-only"
    continue
  fi
  # Each side plays from a fresh tree with the samples and the test
  # sessions, as from the repository root: the scripts name their data
  # (samples/cass/sample.cas) and write their files there.
  case=$work/$(echo "$script" | tr / _)
  for side in native wine; do
    mkdir -p "$case/$side/tests/win32"
    cp -R samples "$case/$side/"
    [ ! -d tests/win32/sessions ] || cp -R tests/win32/sessions "$case/$side/tests/win32/"
    [ -z "${DZ_SESSION_FILES:-}" ] || cp -R "$DZ_SESSION_FILES"/. "$case/$side/"
  done
  (cd "$case/native" && "$dobrenz" run "$script" --host-dir samples/host >"$case/native.log" 2>"$case/native.err") &&
    echo 0 >"$case/native.rc" || echo $? >"$case/native.rc"
  (cd "$case/wine" && timeout 120 wine "$qelhost" "$script" --host-dir samples/host \
      --pictures "$win_pictures" --timeout 90 >"$case/wine.log" 2>"$case/wine.err") &&
    echo 0 >"$case/wine.rc" || echo $? >"$case/wine.rc"
  played=$((played + 1))

  ok=1
  if ! cmp -s "$case/native.rc" "$case/wine.rc"; then
    fail "$script: exit status $(cat "$case/native.rc") from dobrenz run, $(cat "$case/wine.rc") from qelhost"
    ok=0
  fi
  if [ "$(stop_reason 'dobrenz run' "$case/native.err")" != "$(stop_reason qelhost "$case/wine.err")" ]; then
    fail "$script: stopped for different reasons"
    ok=0
  fi
  if ! cmp -s "$case/native.log" "$case/wine.log"; then
    fail "$script: the logs differ (< dobrenz run, > qelhost)"
    diff "$case/native.log" "$case/wine.log" | head -n 20 || true
    ok=0
  fi
  if [ "$(feature_files "$case/native")" != "$(feature_files "$case/wine")" ]; then
    fail "$script: different feature files: [$(feature_files "$case/native" | tr '\n' ' ')] and [$(feature_files "$case/wine" | tr '\n' ' ')]"
    ok=0
  else
    for f in $(feature_files "$case/native"); do
      cmp -s "$case/native/$f" "$case/wine/$f" || { fail "$script: $f differs"; ok=0; }
    done
  fi
  if [ $ok -eq 0 ]; then
    echo "   dobrenz run said:"; sed 's/^/     /' "$case/native.err"
    echo "   qelhost said:"; grep -v 'Read access denied for device' "$case/wine.err" | sed 's/^/     /' || true
  else
    reason=$(stop_reason 'dobrenz run' "$case/native.err")
    echo "-- $script: same log ($(wc -l <"$case/native.log") lines), status $(cat "$case/native.rc")${reason:+ ($reason)}, $(feature_files "$case/native" | wc -l) feature file(s)"
  fi
done

[ $played -gt 0 ] || fail "no session script was played"
if [ $failures -ne 0 ]; then
  echo "$failures session check(s) failed"
  exit 1
fi
