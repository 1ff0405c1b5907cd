#!/bin/sh
# The long run of the reliability tests (tests/reliability): a writer killed
# at random moments while it commits, TRIALS times (default 2000), and two
# writers of one file side by side, TRIALS/10 times (at least 20); every file
# left must load and be one whole generation, and no update may be lost.
# Usage: scripts/crash-test.sh [TRIALS] [PRESET]   (PRESET: native or sanitize)
set -eu
cd "$(dirname "$0")/.."
trials="${1:-2000}"
preset="${2:-native}"
concurrency=$((trials / 10))
[ "$concurrency" -ge 20 ] || concurrency=20

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 --target reliability_tests writer_child dobrenz
DZ_CRASH_TRIALS="$trials" DZ_CONCURRENCY_TRIALS="$concurrency" \
  "build/$preset/tests/reliability/reliability_tests"
