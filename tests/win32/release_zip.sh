#!/bin/sh
# The release zip as a user gets it: unpacked into a fresh folder, it holds
# exactly the release layout, the stand-in host libraries only in test-host/,
# pages Windows' Notepad reads; the unpacked plug-in passes the image check,
# the sample session of test-host/ plays against it under code pages 936 and
# 1252 and prints the log it ships with, and the dobrenz.exe example of the
# install pages converts as dobrenz does on Linux.
#
# Usage (from the repository root, with the Wine environment of
# scripts/wine-env.sh started, after the native build):
#   tests/win32/release_zip.sh build/release/DobrenzData-VERSION-win32.zip
set -eu
zip=$1
root=$PWD
version=$(basename "$zip" | sed 's/^DobrenzData-\(.*\)-win32\.zip$/\1/')
. "$(dirname "$0")/../support/checks.sh"

# A crash ends the run at once instead of waiting in Wine's debugger.
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winedbg.exe=d"
export WINEDLLOVERRIDES

unzip -q "$zip" -d "$work/unpacked" || fail "$zip does not unpack"
top=$work/unpacked/DobrenzData-$version-win32
[ -d "$top" ] || { fail "the zip has no folder DobrenzData-$version-win32"; exit 1; }

echo "-- the layout"
layout=$(cd "$work/unpacked" && find . -type f | sed 's|^\./[^/]*/||' | LC_ALL=C sort | tr '\n' ' ')
expected="DobrenzData.dll INSTALL.txt code-tables/CASSCode.txt code-tables/EPSWconvert.txt dobrenz.exe \
test-host/QelBlk60.dll test-host/QelCore60.dll test-host/README.txt test-host/cass_session.expected \
test-host/cass_session.script test-host/qelhost.exe test-host/sample/parcels.txt test-host/sample/sample.cas \
test-host/sample/sample.qs 安装说明.txt "
[ "$layout" = "$expected" ] || fail "the zip holds [$layout], expected [$expected]"
for f in code-tables/CASSCode.txt code-tables/EPSWconvert.txt; do
  cmp -s "$top/$f" "samples/host/$(basename "$f")" || fail "$f is not the sample code table"
done

echo "-- the pages"
for page in 安装说明.txt INSTALL.txt test-host/README.txt; do
  [ "$(head -c 3 "$top/$page" | od -An -tx1 | tr -d ' ')" = "efbbbf" ] || fail "$page has no UTF-8 byte-order mark"
  lines=$(wc -l <"$top/$page")
  crlf=$(grep -c "$(printf '\r')\$" "$top/$page" || true)
  [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] || fail "$page: $crlf of $lines lines end in CR LF"
  if grep -q "@VERSION@" "$top/$page"; then fail "$page still says @VERSION@"; fi
  grep -q "$version" "$top/$page" || fail "$page does not give the version $version"
done
for page in 安装说明.txt INSTALL.txt; do
  for word in DobrenzData.dll QelBlk60.dll QelCore60.dll CASSCode.txt EPSWconvert.txt CmdConvertCass \
    CmdConvertCassLegacy CmdConvertEpsw CmdAttachAttributes CmdReadTextPoints test-host; do
    grep -q "$word" "$top/$page" || fail "$page does not name $word"
  done
done
grep -q "NEVER copy QelBlk60.dll or QelCore60.dll" "$top/test-host/README.txt" ||
  fail "test-host/README.txt does not warn against copying the stand-ins"
grep -q "切勿把本文件夹中的 QelBlk60.dll 和 QelCore60.dll 复制" "$top/test-host/README.txt" ||
  fail "test-host/README.txt does not warn in Chinese against copying the stand-ins"

echo "-- the unpacked plug-in"
timeout 60 wine build/cross/bin/plugin_image_check.exe "$(winepath -w "$top/DobrenzData.dll" 2>/dev/null)" ||
  fail "the unpacked DobrenzData.dll fails the image check"

# Played from the unpacked folder, as test-host/README.txt says: qelhost.exe
# finds the plug-in there, the stand-ins beside itself.
for cp in 936 1252; do
  echo "-- the test-host session (code page $cp)"
  rm -f "$top/test-host/cass_session.qel"
  locale=zh_CN.UTF-8
  [ "$cp" = 936 ] || locale=C.UTF-8
  if (cd "$top" && LANG=$locale LC_ALL=$locale timeout 120 wine test-host/qelhost.exe test-host/cass_session.script \
      --host-dir code-tables >"$work/session-$cp.log" 2>"$work/session-$cp.err"); then
    cmp -s "$work/session-$cp.log" "$top/test-host/cass_session.expected" || {
      fail "the test-host session under code page $cp prints another log than cass_session.expected"
      diff "$top/test-host/cass_session.expected" "$work/session-$cp.log" | head -n 10 || true
    }
  else
    fail "the test-host session under code page $cp ended with status $?: $(grep -v 'Read access denied' "$work/session-$cp.err" | head -n 5)"
  fi
done

echo "-- the dobrenz.exe example of the install pages"
(cd "$top" && timeout 60 wine dobrenz.exe cass --host-dir code-tables --cas 'test-host\sample\sample.cas' \
  --qs 'test-host\sample\sample.qs' --parcels 'test-host\sample\parcels.txt' --out 试验.qel >"$work/example.out" 2>&1) ||
  fail "the dobrenz.exe example fails: $(cat "$work/example.out")"
(cd "$work" && "$root/build/native/cli/dobrenz" cass --host-dir "$root/samples/host" --cas "$root/samples/cass/sample.cas" \
  --qs "$root/samples/cass/sample.qs" --parcels "$root/samples/cass/parcels.txt" --out native.qel >/dev/null 2>&1) ||
  fail "the native conversion of the sample fails"
cmp -s "$top/试验.qel" "$work/native.qel" || fail "the dobrenz.exe example writes another file than dobrenz on Linux"

if [ "$failures" -ne 0 ]; then
  echo "$failures release check(s) failed"
  exit 1
fi
