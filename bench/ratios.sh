#!/bin/sh
# Whole-process ratios of docs/performance.md: each of our commands against
# a bare scan of its input, cp/dd of the same bytes, or the size of the file
# it wrote, measured in pairs run alternately (dz_pairs), medians printed.
#
#   cmake --preset full && cmake --build --preset full -j2
#   bench/ratios.sh [ROW...]          rows: cass scaling saveas load memory dump
#                                           attach-scaling attach attach-memory epsw
#                                           points ogr
# Environment: DZ_BENCH_DIR (inputs and outputs, default /tmp/dz-bench, about
# 1.5 GB), PAIRS (default 5), PAUSE (seconds of rest before each run, default
# 0), DOBRENZ (the dobrenz to measure, default the full build's), DZ_BIN (the
# full build's bench folder).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="${DZ_BIN:-$root/build/full/bench}"
dz="${DOBRENZ:-$root/build/full/cli/dobrenz}"
dir="${DZ_BENCH_DIR:-/tmp/dz-bench}"
pairs="${PAIRS:-5}"
pause="${PAUSE:-0}"
rows="${*:-cass scaling saveas load memory dump attach-scaling attach attach-memory epsw points ogr}"

for tool in dz_generate dz_bare_scan dz_pairs dz_load; do
  [ -x "$bin/$tool" ] || { echo "ratios.sh: no $bin/$tool: build the full preset first" >&2; exit 2; }
done
[ -x "$dz" ] || { echo "ratios.sh: no $dz" >&2; exit 2; }

# Inputs are made once per size and kept: the generator is deterministic.
input() {  # KIND N PATH
  [ -e "$3" ] && return 0
  case "$1" in points) mkdir -p "$(dirname "$3")" ;; *) mkdir -p "$3" ;; esac
  "$bin/dz_generate" "$1" "$2" "$3"
}
# PAUSE=S sleeps S seconds ahead of every measured run: the system then has
# time to hand the memory of the run before back to its host, and each run
# meets fresh memory as a single run of a command does (see "What this
# machine charges for fresh memory" in docs/performance.md).
pair() {
  if [ "$pause" = 0 ]; then
    "$bin/dz_pairs" --pairs "$pairs" "$@"
    return
  fi
  before="sleep $pause"
  set -- "$@" --end
  while [ "$1" != --end ]; do
    if [ "$1" = --before ]; then
      before="$before; $2"
      shift 2
    else
      set -- "$@" "$1"
      shift
    fi
  done
  shift
  "$bin/dz_pairs" --pairs "$pairs" --before "$before" "$@"
}
cass() {  # N OUT
  echo "$dz cass --host-dir $dir/cass$1 --cas $dir/cass$1/in.cas --qs $dir/cass$1/in.qs --parcels $dir/cass$1/in.txt --out $2 --overwrite"
}
attach() {  # N OUT
  echo "$dz attach --qel $dir/attach$1/attach.qel --parcels $dir/attach$1/parcels.txt --boundary-points $dir/attach$1/points.txt --houses $dir/attach$1/houses.txt --save-as $2 --overwrite"
}

out="$dir/out"
mkdir -p "$out"
input cass 100000 "$dir/cass100000"
input cass 1000000 "$dir/cass1000000"
# The large feature file of the save-as, load and dump rows: 10^6 CASS features.
[ -e "$out/big.qel" ] || $(cass 1000000 "$out/big.qel") >/dev/null

echo "# $(date -u '+%Y-%m-%d %H:%M UTC'), load average $(cut -d' ' -f1-3 /proc/loadavg), $pairs pairs, pause $pause s, $dz"
for row in $rows; do
  case "$row" in
  cass)
    pair --label "cass 10^5 vs line scan of the .cas (cpu)" --metric cpu \
      --a "$(cass 100000 "$out/c5.qel")" --b "$bin/dz_bare_scan lines $dir/cass100000/in.cas" ;;
  scaling)
    pair --label "cass t(10^6)/t(10^5) (cpu)" --metric cpu \
      --a "$(cass 1000000 "$out/c6.qel")" --b "$(cass 100000 "$out/c5.qel")" ;;
  saveas)
    pair --label "save-as of 10^6 features vs dd conv=fsync (wall)" --metric wall \
      --a "$dz attach --qel $out/big.qel --save-as $out/saved.qel --overwrite" \
      --b "dd if=$out/big.qel of=$out/dd.qel bs=1M conv=fsync status=none" ;;
  load)
    pair --label "load of 10^6 features vs reading its bytes (cpu)" --metric cpu \
      --a "$bin/dz_load $out/big.qel" --b "$bin/dz_load --bytes $out/big.qel" ;;
  memory)
    pair --label "peak memory of cass 10^6 vs the .qel" --metric rss \
      --a "$(cass 1000000 "$out/c6.qel")" --b-size "$out/c6.qel"
    input epsw 1000000 "$dir/epsw1000000"
    pair --label "peak memory of epsw 10^6 vs the .qel" --metric rss \
      --a "$dz epsw --host-dir $dir/epsw1000000 --cor $dir/epsw1000000/in.cor --out $out/e6.qel --overwrite" \
      --b-size "$out/e6.qel"
    input points 1000000 "$dir/points1000000.txt"
    pair --label "peak memory of points 10^6 vs the .qel" --metric rss --before "rm -f $out/p6.qel" \
      --a "$dz points --qel $out/p6.qel --file $dir/points1000000.txt" --b-size "$out/p6.qel" ;;
  dump)
    pair --label "peak memory of dump of 10^6 features vs the .qel" --metric rss \
      --a "$dz dump $out/big.qel" --b-size "$out/big.qel" ;;
  attach-scaling)
    input attach 150000 "$dir/attach150000"
    input attach 300000 "$dir/attach300000"
    pair --label "attach t(2N)/t(N), N = 1.5*10^5 (cpu)" --metric cpu \
      --a "$(attach 300000 "$out/a300000.qel")" --b "$(attach 150000 "$out/a150000.qel")" ;;
  attach)
    input attach 300000 "$dir/attach300000"
    a="$dir/attach300000"
    pair --label "attach 3*10^5 vs whitespace scan of the files (cpu)" --metric cpu \
      --a "$(attach 300000 "$out/a3.qel")" \
      --b "$bin/dz_bare_scan words $a/parcels.txt $a/points.txt $a/houses.txt" ;;
  attach-memory)
    # No goal of the issue: what the attachment holds beside the feature file
    # it reads and writes.
    input attach 300000 "$dir/attach300000"
    pair --label "peak memory of attach 3*10^5 vs its .qel" --metric rss \
      --a "$(attach 300000 "$out/a3.qel")" --b-size "$dir/attach300000/attach.qel" ;;
  epsw)
    input epsw 1000000 "$dir/epsw1000000"
    pair --label "epsw 10^6 points vs scan of the .cor (cpu)" --metric cpu \
      --a "$dz epsw --host-dir $dir/epsw1000000 --cor $dir/epsw1000000/in.cor --out $out/e6.qel --overwrite" \
      --b "$bin/dz_bare_scan cor $dir/epsw1000000/in.cor" ;;
  points)
    input points 1000000 "$dir/points1000000.txt"
    pair --label "points 10^6 lines vs CSV scan (cpu)" --metric cpu --before "rm -f $out/p6.qel" \
      --a "$dz points --qel $out/p6.qel --file $dir/points1000000.txt" \
      --b "$bin/dz_bare_scan csv $dir/points1000000.txt" ;;
  ogr)
    # The other way round: how many times longer ogr2ogr takes to write a
    # GeoPackage from the same point file.
    command -v ogr2ogr >/dev/null || { echo "ogr: no ogr2ogr, row skipped"; continue; }
    input points 1000000 "$dir/points1000000.txt"
    cp "$dir/points1000000.txt" "$out/points.csv"
    pair --label "ogr2ogr to GeoPackage vs points, 10^6 lines (wall)" --metric wall \
      --before "rm -f $out/p6.qel $out/p6.gpkg" \
      --a "ogr2ogr -f GPKG $out/p6.gpkg $out/points.csv -oo HEADERS=NO -oo X_POSSIBLE_NAMES=field_3 -oo Y_POSSIBLE_NAMES=field_4" \
      --b "$dz points --qel $out/p6.qel --file $dir/points1000000.txt" ;;
  *) echo "ratios.sh: unknown row $row" >&2; exit 2 ;;
  esac
done
