#!/bin/sh
# Builds the libFuzzer targets with clang and fuzzes each of them for SECONDS
# (default 20) beyond the replay of its seeds.
#   scripts/fuzz.sh            20 s a target, as CI runs it
#   scripts/fuzz.sh 600        a longer run
#   scripts/fuzz.sh 60 cass    one target
# The address and undefined-behaviour sanitizers stay on and abort at their
# first report, and the conversion targets check what they commit, so a
# target can fail even when it finds no crash. New inputs go to a scratch
# corpus, never into fuzz/corpus; the input of a failure is kept as
# build/fuzz/artifacts/TARGET-crash-... and the script exits with 1.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-20}"
[ $# -gt 0 ] && shift
targets="${*:-qel_loader scan line_reader text_input cass epsw attributes textpoints}"
jobs="$(nproc 2>/dev/null || echo 2)"
build=build/fuzz
mkdir -p "$build/artifacts"

cmake -S . -B "$build" -DDZ_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-fno-sanitize-recover=all" -Wno-dev >/dev/null 2>"$build.cmake-warnings" ||
  { cat "$build.cmake-warnings"; exit 1; }
cmake --build "$build" -j"$jobs" --target $(for t in $targets; do printf 'fuzz_%s ' "$t"; done) >/dev/null


failed=""
for t in $targets; do
  # The scanner and the line reader reach their whole coverage within
  # seconds; the entropic schedule then only slows them down.
  extra=""
  case "$t" in scan | line_reader) extra="-entropic=0" ;; esac
  scratch="$(mktemp -d)"
  log="$build/artifacts/$t.log"
  if "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$t-" $extra "$scratch" "fuzz/corpus/$t" >"$log" 2>&1; then
    status=ok
  else
    status=FAILED
    failed="$failed $t"
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")"
  cov="$(sed -n 's/^#[0-9]*.*DONE *cov: *\([0-9]*\).*/\1/p' "$log" | tail -1)"
  printf 'fuzz %-12s %s: %s runs in %s s, %s execs/s, coverage %s\n' "$t" "$status" "${runs:-?}" "$seconds" \
    "${rate:-?}" "${cov:-?}"
  rm -rf "$scratch"
done

if [ -n "$failed" ]; then
  for t in $failed; do
    echo "== fuzz_$t failed; its log is $build/artifacts/$t.log:"
    tail -40 "$build/artifacts/$t.log"
  done
  exit 1
fi
