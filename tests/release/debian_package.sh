#!/bin/sh
# `cpack -G DEB` of the native build: a package dobrenz_<version>_<arch>.deb
# that installs /usr/bin/dobrenz, its manual page, completion and documents,
# depends on the libraries dobrenz links, and whose dobrenz runs once
# unpacked.
# Usage: debian_package.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
. "$(dirname "$0")/../support/checks.sh"
version=$(sed -n 's/^project(DobrenzData VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  fail "cpack -G DEB failed"
  exit 1
}
deb="$work/out/dobrenz_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { fail "no $deb: $(ls "$work/out")"; exit 1; }

[ "$(dpkg-deb -f "$deb" Package)" = dobrenz ] || fail "the package is not named dobrenz"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in *libc6*) ;; *) fail "the package does not depend on libc6: '$depends'" ;; esac
case "$depends" in *libstdc++6*) ;; *) fail "the package does not depend on libstdc++6: '$depends'" ;; esac

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/dobrenz ./usr/share/man/man1/dobrenz.1.gz ./usr/share/bash-completion/completions/dobrenz \
  ./usr/share/doc/dobrenz/README.md ./usr/share/doc/dobrenz/docs/qel-format.md; do
  echo "$contents" | grep -qx "$f" || fail "the package lacks $f"
done

dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/dobrenz" --version | grep -qx "dobrenz $version" || fail "the packaged dobrenz does not run"
gzip -dc "$work/root/usr/share/man/man1/dobrenz.1.gz" | groff -man -Tutf8 -P-cbou 2>/dev/null | grep -q "dobrenz points" ||
  fail "the packaged manual page does not show"

[ "$failures" -eq 0 ]
