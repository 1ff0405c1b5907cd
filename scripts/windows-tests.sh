#!/bin/sh
# Checks the Windows binaries of the cross build (build/cross): their export
# and import tables, and runs the Windows test programs under Wine; and the
# release zip (scripts/release.sh) unpacked.
set -eu
cd "$(dirname "$0")/.."
bin=build/cross/bin
objdump=i686-w64-mingw32-objdump
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# Ends the checks: a failure if any failed, else the words given.
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures Windows check(s) failed"
    exit 1
  fi
  echo "== $1"
  exit 0
}

# The ordinals a library exports, one per line.
exported_ordinals() {
  $objdump -p "$1" | sed -n '/^Export Address Table/,/^$/p' | sed -n 's/.*+base\[ *\([0-9]*\)\].*/\1/p' | sort -n | tr '\n' ' '
}

echo "== export tables of the stand-in host libraries"
[ "$(exported_ordinals $bin/QelBlk60.dll)" = "9 11 12 13 16 20 22 23 24 34 60 61 65 75 85 90 1001 1002 1003 1004 1005 1006 1007 1008 1009 " ] ||
  fail "QelBlk60.dll exports $(exported_ordinals $bin/QelBlk60.dll)"
[ "$(exported_ordinals $bin/QelCore60.dll)" = "116 121 205 226 250 1559 " ] ||
  fail "QelCore60.dll exports $(exported_ordinals $bin/QelCore60.dll)"

echo "== DobrenzData.dll: exports and imports"
plugin=$bin/DobrenzData.dll
# The commands' ordinals as res/DobrenzData.def gives them (a unit test holds
# the .def file to the command table).
commands="$(sed -n 's/.*@\([0-9]*\).*/\1/p' res/DobrenzData.def | sort -n | tr '\n' ' ')"
[ "$(exported_ordinals $plugin)" = "$commands" ] || fail "DobrenzData.dll exports $(exported_ordinals $plugin), not $commands"
$objdump -p $plugin | grep -q '^Export Address Table -- Ordinal Base 10$' || fail "DobrenzData.dll: ordinal base is not 10"
$objdump -p $plugin | grep -q '^[[:space:]]*\[Name Pointer/Ordinal\] Table[[:space:]]*00000000$' || fail "DobrenzData.dll exports names"
# The imports: the host's two libraries by ordinal only, at ordinals they
# export, and otherwise only libraries that come with Windows.
imports=$($objdump -p $plugin | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
for dll in $imports; do
  case "$dll" in
    qelblk60.dll | qelcore60.dll | kernel32.dll | user32.dll | gdi32.dll | comdlg32.dll | msvcrt.dll) ;;
    *) fail "DobrenzData.dll imports $dll" ;;
  esac
done
for host_lib in QelBlk60 QelCore60; do
  entries=$($objdump -p $plugin | sed -n "/DLL Name: $host_lib.dll/,/^\$/p" | sed -n '3,$p' | sed '/^$/d')
  [ -n "$entries" ] || fail "DobrenzData.dll does not import $host_lib.dll"
  by_name=$(echo "$entries" | grep -v '^[[:space:]]*8000[0-9a-f]*[[:space:]]*[0-9]*[[:space:]]*<none>$' || true)
  [ -z "$by_name" ] || fail "DobrenzData.dll imports from $host_lib.dll by name: $by_name"
  allowed=" $(sed -n 's/.*@\([0-9]*\).*/\1/p' res/$host_lib.def | tr '\n' ' ')"
  for ordinal in $(echo "$entries" | awk '{print $2}'); do
    case "$allowed" in *" $ordinal "*) ;; *) fail "DobrenzData.dll imports ordinal $ordinal of $host_lib.dll, which it does not export" ;; esac
  done
done

# The compiler's emulated thread-locals of a DLL are freed before its
# DllMain runs for the detach, where the module state is switched: the
# plug-in keeps its per-thread state in Windows' own slots instead.
own_emulated=$(i686-w64-mingw32-nm $plugin | grep -E '__emutls_v\._ZN(2dz|2ui)' || true)
[ -z "$own_emulated" ] || fail "DobrenzData.dll has emulated thread-locals of its own: $own_emulated"

# Wine runs the programs in 32-bit processes. A machine whose kernel starts
# no 32-bit program (some virtual machines give a process no 32-bit mode:
# the i386 loader, installed with Wine, fails with "Exec format error") can
# build and check the 32-bit binaries, not run them. It still runs 64-bit
# programs under Wine's 64-bit loader (wine64): the runs below are then made
# with a 64-bit build of the same sources (build/cross64), all but the
# release zip's, whose programs are 32-bit. That checks the Windows side of
# the code (files, paths, dialogs, the sessions through the plug-in and the
# host's libraries), not the 32-bit binaries, whose tables are checked
# above; the core at 32 bits is run by scripts/linux32-tests.sh. Without
# wine64 the checks stop here and say so, unless DZ_REQUIRE_WINE=1 makes it
# a failure. A loader that is not there is a missing install, and the runs
# below fail on it.
cross=build/cross
if [ -e /lib/ld-linux.so.2 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  if [ -x /usr/lib/wine/wine64 ] && command -v x86_64-w64-mingw32-g++ >/dev/null; then
    echo "== this machine's kernel starts no 32-bit program: the runs under Wine use a 64-bit build"
    cmake --preset cross64 >/dev/null
    cmake --build --preset cross64 -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
    cross=build/cross64
    bin=$cross/bin
    plugin=$bin/DobrenzData.dll
    export DZ_WINE64=1
  else
    if [ "${DZ_REQUIRE_WINE:-0}" = 1 ]; then
      fail "this machine starts no 32-bit program: the Windows programs cannot run under Wine"
    else
      echo "== Windows programs under Wine: NOT RUN: this machine's kernel starts no 32-bit program" \
        "(/lib/ld-linux.so.2 does not start) and there is no wine64 or x86_64 cross compiler; the tables above were checked"
    fi
    finish "Windows checks passed, but for the runs under Wine"
  fi
fi
export DZ_CROSS_DIR="$cross"

echo "== Windows programs under Wine"
. ./scripts/wine-env.sh
wine_start
trap wine_stop EXIT
work="$(mktemp -d)"
if ! timeout 60 wine "$bin/host_binding_check.exe" "Z:$(echo "$work" | tr / '\\')"; then
  fail "host_binding_check"
fi
rm -rf "$work"

timeout 60 wine "$bin/plugin_image_check.exe" "$(winepath -w "$plugin" 2>/dev/null)" || fail "plugin_image_check"

# Paths in any script, on a Windows whose ANSI code page is not 936.
work="$(mktemp -d)"
LANG=C.UTF-8 LC_ALL=C.UTF-8 timeout 60 wine "$bin/file_paths_check.exe" "Z:$(echo "$work" | tr / '\\')" ||
  fail "file_paths_check"
rm -rf "$work" && work="$(mktemp -d)"
timeout 120 wine "$bin/file_safety_check.exe" "Z:$(echo "$work" | tr / '\\')" || fail "file_safety_check"
rm -rf "$work" && work="$(mktemp -d)"
LANG=C.UTF-8 LC_ALL=C.UTF-8 timeout 60 wine "$bin/file_dialog_check.exe" "Z:$(echo "$work" | tr / '\\')" 2>/dev/null ||
  fail "file_dialog_check"
rm -rf "$work"

# Every session script played with the real plug-in in qelhost.exe and with
# `dobrenz run` gives the same log and the same files: under code page 936,
# and again under a Western code page. The pictures of the four dialogs are
# kept in build/artifacts and checked to show their Chinese texts.
artifacts=build/artifacts
rm -rf "$artifacts/dialogs" "$artifacts/dialogs-cp1252"
echo "== sessions: dobrenz run and qelhost.exe (code page 936)"
tests/win32/e2e_sessions.sh "$artifacts/dialogs" || fail "sessions under code page 936"
echo "== sessions: dobrenz run and qelhost.exe (code page 1252)"
LANG=C.UTF-8 LC_ALL=C.UTF-8 tests/win32/e2e_sessions.sh "$artifacts/dialogs-cp1252" || fail "sessions under code page 1252"
echo "== the dialogs on the screen"
tests/win32/dialog_rendering.sh "$artifacts/dialogs" || fail "dialogs under code page 936"
tests/win32/dialog_rendering.sh "$artifacts/dialogs-cp1252" || fail "dialogs under code page 1252"

# A file of 100,000 lines is listed and checked on the real dialog too
# (about 6 ms a line when the list repaints after each, and tens of seconds
# when every call looks its control up again): played both ways. The time is
# shown, not judged; a step that hangs is stopped by qelhost itself.
echo "== sessions: a list of 100,000 lines"
long=build/sessions-long
rm -rf "$long" && mkdir -p "$long"
cp tests/win32/long_list.script "$long/"
awk 'BEGIN { for (i = 1; i <= 100000; i++) printf "%d.5\r\n", i }' >"$long/long_list.txt"
started=$(date +%s)
DZ_SESSION_FILES=$long tests/win32/e2e_sessions.sh build/sessions-pictures long_list.script || fail "the session of a long list"
took=$(($(date +%s) - started))
echo "   played both ways in $took s"

# Generated sessions (tests/win32/session_generator.h): random but valid
# sessions over all five commands, played both ways under both code pages.
# The seed is fixed, so that a run of the tests means the same every day;
# DZ_SESSION_SEED=day takes the day's seed, any other value that seed, to
# explore further (a failure names its seed).
seed=${DZ_SESSION_SEED:-20261208}
[ "$seed" = day ] && seed=$(date +%Y%m%d)
count=${DZ_SESSION_COUNT:-30}
generated=build/sessions-generated
rm -rf "$generated"
echo "== sessions: $count generated from seed $seed"
if build/native/tests/gen_sessions "$seed" "$count" "$generated" . >"$generated.txt"; then
  scripts=$(cd "$generated" && ls ./*.script | sed 's|^\./||')
  # shellcheck disable=SC2086
  DZ_SESSION_FILES=$generated tests/win32/e2e_sessions.sh build/sessions-pictures $scripts ||
    fail "generated sessions (seed $seed) under code page 936"
  # shellcheck disable=SC2086
  LANG=C.UTF-8 LC_ALL=C.UTF-8 DZ_SESSION_FILES=$generated tests/win32/e2e_sessions.sh build/sessions-pictures $scripts ||
    fail "generated sessions (seed $seed) under code page 1252"
else
  cat "$generated.txt"
  fail "gen_sessions $seed $count"
fi

# The base helpers give the same results on both platforms.
native_probe=build/native/tests/base_probe
if [ -x "$native_probe" ]; then
  "$native_probe" tests/probe/inputs.txt > $cross/probe-native.txt
  timeout 60 wine "$bin/base_probe.exe" tests/probe/inputs.txt > $cross/probe-windows.txt ||
    fail "base_probe.exe did not run"
  cmp -s $cross/probe-native.txt $cross/probe-windows.txt ||
    fail "base helpers differ between Linux and Windows: diff $cross/probe-native.txt $cross/probe-windows.txt"
else
  fail "$native_probe is missing: build the native preset first"
fi

# The conversions write the same files on both platforms.
compare_runs() {  # NAME ARGS... (with OUT standing for the output file)
  name=$1
  shift
  native_args=""
  windows_args=""
  for a in "$@"; do
    case "$a" in
      OUT) native_args="$native_args $runs/$name-native.qel"; windows_args="$windows_args $runs/$name-windows.qel" ;;
      *) native_args="$native_args $a"; windows_args="$windows_args $a" ;;
    esac
  done
  # shellcheck disable=SC2086
  build/native/cli/dobrenz $native_args >/dev/null 2>&1 || true
  # shellcheck disable=SC2086
  timeout 60 wine $cross/cli/dobrenz.exe $windows_args >/dev/null 2>&1 || true
  cmp -s "$runs/$name-native.qel" "$runs/$name-windows.qel" || fail "dobrenz $name writes different files on Linux and Windows"
}
runs=$cross/runs
rm -rf "$runs" && mkdir -p "$runs"
compare_runs cass cass --host-dir samples/host --cas samples/cass/sample.cas --qs samples/cass/sample.qs \
  --parcels samples/cass/parcels.txt --out OUT
compare_runs epsw epsw --host-dir samples/host --cor samples/epsw/sample.cor --not samples/epsw/sample.not --out OUT
for f in samples/textpoints/*.txt; do
  compare_runs "points-$(basename "$f" .txt)" points --qel OUT --file "$f"
done
# A control-point list with its names, in GBK and in UTF-8: the same file either way.
compare_runs points-dat points --qel OUT --file samples/textpoints/control_points.dat --name-field 1 --skip 1
compare_runs points-dat-utf8 points --qel OUT --file samples/textpoints/control_points_utf8.dat --name-field 1 \
  --skip 1 --encoding utf-8
cmp -s "$runs/points-dat-windows.qel" "$runs/points-dat-utf8-windows.qel" ||
  fail "dobrenz.exe writes another file for the UTF-8 control-point list than for its GBK twin"
# A run of several seconds draws no progress when standard error is not a terminal.
awk 'BEGIN { for (i = 0; i < 600000; i++) printf "P%d,%d,%.3f,%.3f,%.3f\r\n", i, i % 50, 53000 + i % 997, 31000 + i % 991, 10 + i % 7 }' \
  > "$runs/big.txt"
timeout 120 wine $cross/cli/dobrenz.exe points --qel "$runs/big.qel" --file "$runs/big.txt" \
  >/dev/null 2>"$runs/big.err" || fail "dobrenz.exe points of 600000 lines failed"
if grep -q '0\.\.\.10' "$runs/big.err"; then fail "dobrenz.exe draws progress into a file"; fi
cp "$runs/cass-native.qel" "$runs/attach-native.qel"
cp "$runs/cass-native.qel" "$runs/attach-windows.qel"
compare_runs attach attach --qel OUT --parcels samples/attributes/parcels.txt \
  --boundary-points samples/attributes/boundary_points.txt --houses samples/attributes/houses.txt

# A feature file behind a link is written through the link, as on Linux.
links="$runs/links"
mkdir -p "$links"
timeout 60 wine $cross/cli/dobrenz.exe points --qel "$links/real.qel" --file samples/textpoints/control_points.txt \
  >/dev/null 2>&1 || fail "dobrenz.exe points into a new file"
ln -s real.qel "$links/link.qel"
timeout 60 wine $cross/cli/dobrenz.exe points --qel "$links/link.qel" --file samples/textpoints/control_points.txt \
  --base K1 >/dev/null 2>&1 || fail "dobrenz.exe points through a link"
[ -L "$links/link.qel" ] || fail "dobrenz.exe replaced a link with a file"
build/native/cli/dobrenz dump "$links/real.qel" | grep -q '"name": "K1"' || fail "dobrenz.exe did not write through a link"

# dobrenz.exe takes Chinese arguments and shows Chinese messages whatever
# the code page.
echo "== dobrenz.exe: Chinese arguments and messages (code page 936)"
tests/win32/unicode_cli.sh || fail "dobrenz.exe under code page 936"
echo "== dobrenz.exe: Chinese arguments and messages (code page 1252)"
LANG=C.UTF-8 LC_ALL=C.UTF-8 tests/win32/unicode_cli.sh || fail "dobrenz.exe under code page 1252"

# The release zip, unpacked into a fresh folder, plays its test-host
# session against the unpacked plug-in. Made again when the build is newer.
if [ "$cross" != build/cross ]; then
  echo "== the release zip: NOT RUN under Wine: its programs are 32-bit"
  finish "Windows checks passed, with the 64-bit build under Wine"
fi
echo "== the release zip"
zip=$(ls build/release/DobrenzData-*-win32.zip 2>/dev/null || true)
if [ -z "$zip" ] || [ "$zip" -ot "$plugin" ] || [ "$zip" -ot build/cross/cli/dobrenz.exe ]; then
  ./scripts/release.sh >/dev/null
  zip=$(ls build/release/DobrenzData-*-win32.zip)
fi
tests/win32/release_zip.sh "$zip" || fail "the release zip"

finish "Windows checks passed"
