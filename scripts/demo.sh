#!/bin/sh
# Sets up the machine, builds dobrenz, converts the sample CASS data set into
# a feature file and prints that file as JSON.
set -eu
cd "$(dirname "$0")/.."
jobs="$(nproc 2>/dev/null || echo 2)"

./scripts/setup.sh --core
cmake --preset native >/dev/null
# dobrenz and its manual page and completion: what `cmake --install` installs.
cmake --build --preset native -j"$jobs" --target dobrenz dobrenz_reference

out=build/demo
mkdir -p "$out"
dobrenz=build/native/cli/dobrenz
"$dobrenz" cass --host-dir samples/host \
  --cas samples/cass/sample.cas --qs samples/cass/sample.qs --parcels samples/cass/parcels.txt \
  --out "$out/sample.qel" --overwrite
"$dobrenz" dump "$out/sample.qel"
echo "demo: dobrenz is $dobrenz (README.md: using and installing it)" >&2
