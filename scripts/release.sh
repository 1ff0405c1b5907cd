#!/bin/sh
# Builds the Windows release: the cross build (build/cross) and from its
# install rules the zip build/release/DobrenzData-<version>-win32.zip, one
# folder of that name with the plug-in, dobrenz.exe, the install pages, the
# sample code tables and test-host/ (cmake/install.cmake has the layout).
set -eu
cd "$(dirname "$0")/.."
jobs="$(nproc 2>/dev/null || echo 2)"

./scripts/setup.sh --cross
cmake --preset cross >/dev/null
cmake --build --preset cross -j"$jobs"

out=build/release
rm -rf "$out"
cpack --config build/cross/CPackConfig.cmake -B "$out" >/dev/null
rm -rf "$out/_CPack_Packages"
ls "$out"/DobrenzData-*-win32.zip
