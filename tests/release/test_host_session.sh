#!/bin/sh
# The sample session of the release's test-host/ folder, played with
# `dobrenz run` in the release layout, prints exactly the log the release
# ships with it (cass_session.expected), so that the log a Windows user
# compares with stays true. (scripts/windows-tests.sh plays it with
# qelhost.exe and the real plug-in from the unpacked zip.)
# Usage: test_host_session.sh DOBRENZ SOURCE_DIR
set -eu
dobrenz=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The files of the session where cmake/install.cmake puts them in the zip.
mkdir -p "$work/code-tables" "$work/test-host/sample"
cp "$source/samples/host/CASSCode.txt" "$source/samples/host/EPSWconvert.txt" "$work/code-tables/"
cp "$source/samples/cass/sample.cas" "$source/samples/cass/sample.qs" "$source/samples/cass/parcels.txt" \
  "$work/test-host/sample/"
cp "$source/packaging/test-host/cass_session.script" "$work/test-host/"

(cd "$work" && "$dobrenz" run test-host/cass_session.script --host-dir code-tables >"$work/session.log") || {
  echo "FAILED: the test-host session does not play"
  exit 1
}
cmp -s "$work/session.log" "$source/packaging/test-host/cass_session.expected" || {
  echo "FAILED: the test-host session prints another log than packaging/test-host/cass_session.expected"
  diff "$source/packaging/test-host/cass_session.expected" "$work/session.log" | head -n 20
  exit 1
}
