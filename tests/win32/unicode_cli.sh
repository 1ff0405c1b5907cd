#!/bin/sh
# dobrenz.exe with Chinese arguments under the code page of the locale it is
# run in (windows-tests.sh runs it under 936 and under 1252): Chinese paths,
# host directory, prefix, separator and base name are taken, and each run
# gives the exit status, standard output and error (redirected: UTF-8) and the
# files that dobrenz gives on Linux. A path GBK cannot hold opens by its short
# name; a new file named so is refused as a usage error. On a console the
# messages show in Chinese.
#
# Usage (from the repository root, with the Wine environment of
# scripts/wine-env.sh started, after the native and the cross build):
#   tests/win32/unicode_cli.sh
set -eu
root=$PWD
native=$root/build/native/cli/dobrenz
exe=$root/${DZ_CROSS_DIR:-build/cross}/cli/dobrenz.exe
. "$(dirname "$0")/../support/checks.sh"

# The same inputs for both sides, under Chinese names.
for side in native windows; do
  mkdir -p "$work/$side/数据" "$work/$side/宿主"
  cp samples/host/CASSCode.txt samples/host/EPSWconvert.txt "$work/$side/宿主/"
  cp samples/cass/sample.cas "$work/$side/数据/样例.cas"
  cp samples/cass/sample.qs "$work/$side/数据/样例.qs"
  cp samples/cass/parcels.txt "$work/$side/数据/宗地.txt"
  # The sample points separated by full-width commas, in GBK as such files are.
  sed 's/,/，/g' samples/textpoints/control_points.txt | iconv -f UTF-8 -t GBK >"$work/$side/数据/控制点.txt"
  cp samples/textpoints/control_points.txt "$work/$side/한국.txt"
done

# Runs dobrenz on both sides with the same arguments and compares.
same() {  # NAME ARGS... (NAME names the run)
  name=$1
  shift
  (cd "$work/native" && "$native" "$@" >"$work/$name.native.out" 2>"$work/$name.native.err") &&
    echo 0 >"$work/$name.native.rc" || echo $? >"$work/$name.native.rc"
  (cd "$work/windows" && timeout 60 wine "$exe" "$@" >"$work/$name.windows.out" 2>"$work/$name.windows.err") &&
    echo 0 >"$work/$name.windows.rc" || echo $? >"$work/$name.windows.rc"
  for part in rc out err; do
    cmp -s "$work/$name.native.$part" "$work/$name.windows.$part" || {
      fail "$name: dobrenz.exe gives another $part than dobrenz"
      diff "$work/$name.native.$part" "$work/$name.windows.$part" | head -n 6 || true
    }
  done
}

same_file() {  # FILE
  cmp -s "$work/native/$1" "$work/windows/$1" || fail "$1 differs between dobrenz and dobrenz.exe"
}

same points points --qel 点.qel --file 数据/控制点.txt --prefix 校园点 --sep '，'
same_file 点.qel
grep -q '^校园点6$' "$work/points.windows.out" || fail "points: the next name is not 校园点6"
same base points --qel 点2.qel --file 数据/控制点.txt --sep '，' --base 甲1
same_file 点2.qel
same cass cass --host-dir 宿主 --cas 数据/样例.cas --qs 数据/样例.qs --parcels 数据/宗地.txt --out 成果.qel
same_file 成果.qel
same dump dump 成果.qel
same missing points --qel 缺.qel --file 数据/缺少.txt
grep -q '缺少.txt cannot be opened' "$work/missing.windows.err" || fail "missing: the message does not name 缺少.txt"
grep -q '不能打开所选的文件!!' "$work/missing.windows.err" || fail "missing: the plug-in's message is not shown"

# A file whose name GBK cannot hold: read by its short name, written not at all.
(cd "$work/windows" && timeout 60 wine "$exe" points --qel 韩.qel --file 한국.txt >/dev/null 2>"$work/korean.err") ||
  fail "points --file 한국.txt: $(cat "$work/korean.err")"
(cd "$work/native" && "$native" points --qel 韩.qel --file 한국.txt >/dev/null 2>&1) || fail "native points --file 한국.txt"
same_file 韩.qel
status=0
(cd "$work/windows" && timeout 60 wine "$exe" points --qel 한국.qel --file 数据/控制点.txt >/dev/null 2>"$work/korean-out.err") ||
  status=$?
[ "$status" = 2 ] || fail "points --qel 한국.qel: exit status $status, expected 2"
grep -q "^dobrenz points: --qel '한국.qel' has characters GBK cannot hold" "$work/korean-out.err" ||
  fail "points --qel 한국.qel says: $(cat "$work/korean-out.err")"

# On a console (a terminal for Wine's console) the messages come out as text,
# whatever the console's code page.
(cd "$work/windows" && script -qec "timeout 60 wine '$exe' points --qel 缺.qel --file 数据/缺少.txt" /dev/null \
  >"$work/console.txt" 2>&1) || true
grep -q '不能打开所选的文件!!' "$work/console.txt" || fail "console: the plug-in's message does not show: $(cat -v "$work/console.txt")"
grep -q 'dobrenz points: 数据/缺少.txt cannot be opened' "$work/console.txt" ||
  fail "console: the path does not show: $(cat -v "$work/console.txt")"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of Chinese arguments failed"
  exit 1
fi
