#!/bin/sh
# The portable core, dobrenz and their tests built for 32-bit Linux (gcc -m32)
# and run: the word and pointer size of the plug-in, on a machine that may not
# run its Windows programs. A kernel that starts no 32-bit program (some
# virtual machines) runs them through qemu's user-mode emulator: the tests
# themselves through CMake's emulator setting, and the programs they start
# (dobrenz, the crash and race tests' writers) through a binfmt_misc entry
# made for this run and removed after it, which takes root. Without root
# there the tests are told as not run, unless DZ_REQUIRE_LINUX32=1 makes it
# a failure.
set -eu
cd "$(dirname "$0")/.."
jobs="$(nproc 2>/dev/null || echo 2)"

cmake --preset linux32 >/dev/null
cmake --build --preset linux32 -j"$jobs"

entry=/proc/sys/fs/binfmt_misc/dz-qemu-i386
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  qemu="$(command -v qemu-i386-static || true)"
  registered=0
  if [ "$(id -u)" -eq 0 ] && [ -n "$qemu" ]; then
    [ -e /proc/sys/fs/binfmt_misc/register ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || true
    [ -e "$entry" ] && echo -1 >"$entry"
    # 32-bit little-endian ELF programs and shared objects for the i386.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    if [ -e /proc/sys/fs/binfmt_misc/register ] &&
      printf ':dz-qemu-i386:M::%s:%s:%s:F\n' "$magic" "$mask" "$qemu" >/proc/sys/fs/binfmt_misc/register 2>/dev/null; then
      registered=1
      trap 'echo -1 >"$entry"' EXIT
    fi
  fi
  if [ "$registered" = 0 ]; then
    if [ "${DZ_REQUIRE_LINUX32:-0}" = 1 ]; then
      echo "FAILED: this machine starts no 32-bit program and qemu's emulator could not be registered" >&2
      exit 1
    fi
    echo "== 32-bit tests: NOT RUN: this machine starts no 32-bit program, and qemu's emulator" \
      "could not be registered for the programs the tests start (it takes root and qemu-user-static)"
    exit 0
  fi
  echo "== 32-bit tests under qemu's user-mode emulator (this kernel starts no 32-bit program)"
fi
ctest --preset linux32 -j"$jobs"
