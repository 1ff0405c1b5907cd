#!/bin/sh
# `cmake --install` of the native build into a fresh prefix: dobrenz in bin/
# runs from there and converts (and renders, where the build has render),
# its manual page and bash completion are the ones it prints, the documents
# are in share/doc/dobrenz.
# Usage: install_tree.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
. "$(dirname "$0")/../support/checks.sh"
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/dobrenz share/man/man1/dobrenz.1.gz share/bash-completion/completions/dobrenz \
  share/doc/dobrenz/README.md share/doc/dobrenz/docs/qel-format.md share/doc/dobrenz/docs/dump-format.md \
  share/doc/dobrenz/docs/cli.md; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/dobrenz" ] || fail "bin/dobrenz is not executable"
# Only what belongs to dobrenz: no libraries, headers or test programs.
extra=$(cd "$prefix" && find . -type f | grep -v -e '^\./bin/dobrenz' -e '^\./share/man/man1/dobrenz\.1\.gz$' \
  -e '^\./share/bash-completion/completions/dobrenz$' -e '^\./share/doc/dobrenz/' || true)
[ -z "$extra" ] || fail "installed besides dobrenz: $extra"

version=$("$prefix/bin/dobrenz" --version) || fail "the installed dobrenz does not run"
gzip -dc "$prefix/share/man/man1/dobrenz.1.gz" >"$prefix/page.1"
"$prefix/bin/dobrenz" --man-page | cmp -s - "$prefix/page.1" || fail "the installed manual page is not the one dobrenz prints"
"$prefix/bin/dobrenz" --bash-completion | cmp -s - "$prefix/share/bash-completion/completions/dobrenz" ||
  fail "the installed completion is not the one dobrenz prints"
grep -q "\"$version\"" "$prefix/page.1" || fail "the manual page does not carry the version '$version'"

# The installed dobrenz converts, with nothing of the build tree at hand.
mkdir "$work/run"
(cd "$work/run" && PATH="$prefix/bin:/usr/bin:/bin" dobrenz cass --host-dir "$source/samples/host" \
  --cas "$source/samples/cass/sample.cas" --qs "$source/samples/cass/sample.qs" \
  --parcels "$source/samples/cass/parcels.txt" --out sample.qel >/dev/null 2>&1) ||
  fail "the installed dobrenz does not convert the CASS sample"

# export and render run in programs of their own beside dobrenz, so that
# dobrenz itself loads neither GDAL nor cairo at each start.
needed=$(readelf -d "$prefix/bin/dobrenz" | grep NEEDED || true)
case "$needed" in *libgdal* | *libcairo*) fail "dobrenz itself loads GDAL or cairo: $needed" ;; esac
if [ -x "$build/cli/dobrenz-render" ]; then
  for f in bin/dobrenz-export bin/dobrenz-render; do
    [ -x "$prefix/$f" ] || fail "$f is not installed"
  done
  (cd "$work/run" && PATH="$prefix/bin:/usr/bin:/bin" dobrenz render sample.qel sample.png >/dev/null 2>&1) ||
    fail "the installed dobrenz does not render the CASS sample"
  [ -s "$work/run/sample.png" ] || fail "the installed dobrenz rendered no picture"
fi

[ "$failures" -eq 0 ]
