#!/bin/sh
# Sets up the machine and runs every test: the native build and its unit, CLI
# and fuzz-seed tests; the same under address and undefined-behaviour
# sanitizers; the 32-bit Windows cross build and its release zip, the
# binaries checked and run under Wine; the core and its tests built for
# 32-bit Linux, the plug-in's word size.
set -eu
cd "$(dirname "$0")/.."
jobs="$(nproc 2>/dev/null || echo 2)"

./scripts/setup.sh

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native -j"$jobs"

echo "== sanitizer build and tests"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$jobs"
ctest --preset sanitize -j"$jobs"

echo "== fuzzing, 20 s a target (scripts/fuzz.sh SECONDS for longer)"
./scripts/fuzz.sh 20

echo "== Windows (i686) cross build and release zip"
./scripts/release.sh
./scripts/windows-tests.sh

echo "== 32-bit Linux build and tests"
./scripts/linux32-tests.sh

echo "== all tests passed"
