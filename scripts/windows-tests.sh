#!/bin/sh
# Checks the Windows binaries of the cross build (build/cross): their export
# and import tables, and runs the Windows test programs under Wine.
set -eu
cd "$(dirname "$0")/.."
bin=build/cross/bin
objdump=i686-w64-mingw32-objdump
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
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

echo "== Windows programs under Wine"
. ./scripts/wine-env.sh
wine_start
trap wine_stop EXIT
work="$(mktemp -d)"
if ! timeout 60 wine "$bin/host_binding_check.exe" "Z:$(echo "$work" | tr / '\\')"; then
  fail "host_binding_check"
fi
rm -rf "$work"

# The base helpers give the same results on both platforms.
native_probe=build/native/tests/base_probe
if [ -x "$native_probe" ]; then
  "$native_probe" tests/probe/inputs.txt > build/cross/probe-native.txt
  timeout 60 wine "$bin/base_probe.exe" tests/probe/inputs.txt > build/cross/probe-windows.txt ||
    fail "base_probe.exe did not run"
  cmp -s build/cross/probe-native.txt build/cross/probe-windows.txt ||
    fail "base helpers differ between Linux and Windows: diff build/cross/probe-native.txt build/cross/probe-windows.txt"
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
  timeout 60 wine build/cross/cli/dobrenz.exe $windows_args >/dev/null 2>&1 || true
  cmp -s "$runs/$name-native.qel" "$runs/$name-windows.qel" || fail "dobrenz $name writes different files on Linux and Windows"
}
runs=build/cross/runs
rm -rf "$runs" && mkdir -p "$runs"
compare_runs cass cass --host-dir samples/host --cas samples/cass/sample.cas --qs samples/cass/sample.qs \
  --parcels samples/cass/parcels.txt --out OUT
compare_runs epsw epsw --host-dir samples/host --cor samples/epsw/sample.cor --not samples/epsw/sample.not --out OUT
for f in samples/textpoints/*.txt; do
  compare_runs "points-$(basename "$f" .txt)" points --qel OUT --file "$f"
done
cp "$runs/cass-native.qel" "$runs/attach-native.qel"
cp "$runs/cass-native.qel" "$runs/attach-windows.qel"
compare_runs attach attach --qel OUT --parcels samples/attributes/parcels.txt \
  --boundary-points samples/attributes/boundary_points.txt --houses samples/attributes/houses.txt

if [ "$failures" -ne 0 ]; then
  echo "$failures Windows check(s) failed"
  exit 1
fi
echo "== Windows checks passed"
