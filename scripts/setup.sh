#!/bin/sh
# Installs what the build and the tests need on Debian 12, only what is missing.
#   scripts/setup.sh          everything (native build, tests, Windows cross build, Wine, 32-bit Linux build)
#   scripts/setup.sh --core   only the native build and its tests (fuzzing with clang's libFuzzer and packaging included)
#   scripts/setup.sh --cross  the native build and the Windows cross build, without Wine
set -eu

# GDAL/OGR, cairo and fontconfig with a Chinese font: dobrenz export and render.
# The CRC-32 of the feature files: ISA-L natively, zlib for the cross and 32-bit builds.
core="cmake g++ make pkg-config libgtest-dev libbenchmark-dev zlib1g-dev libisal-dev dpkg-dev file groff-base clang libclang-rt-14-dev libgdal-dev gdal-bin libcairo2-dev libfontconfig-dev fonts-wqy-microhei"
cross="g++-mingw-w64-i686 binutils-mingw-w64-i686 libz-mingw-w64-dev"
# The 32-bit Linux build of the tests, and qemu to run it where the kernel cannot.
linux32="g++-multilib zlib1g-dev:i386 libgtest-dev:i386 qemu-user-static"
# wine64 and the x86_64 cross compiler: the runs under Wine where the kernel starts no 32-bit program.
windows="wine wine32:i386 wine64 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 xvfb fonts-wine locales imagemagick x11-apps unzip"

case "${1:-}" in
  --core) packages="$core" ;;
  --cross) packages="$core $cross" ;;
  *) packages="$core $cross $linux32 $windows" ;;
esac

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done

if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  case "$missing" in *:i386*) $sudo dpkg --add-architecture i386 ;; esac
  # A mirror in the middle of a sync fails an update now and then ("File has
  # unexpected size"): the lists are fetched again a few times before the
  # install goes on with those there are, and tells what it cannot find.
  tries=0
  until $sudo apt-get update -qq; do
    tries=$((tries + 1))
    if [ "$tries" -ge 5 ]; then
      echo "setup: apt-get update failed $tries times; going on with the package lists there are" >&2
      break
    fi
    echo "setup: apt-get update failed; trying again in 30 s" >&2
    sleep 30
  done
  apt_install() {
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@" $missing >/dev/null
  }
  if ! apt_install; then
    # wine32:i386 needs i386 libraries of the very versions the amd64 ones
    # have; without the mirror's i386 security list they cannot match. A
    # throw-away machine (CI sets DZ_SETUP_BASE_RELEASE=1) may then take the
    # packages of the release itself, security updates left out, downgrades
    # allowed; a workstation is not changed behind its owner's back.
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    if [ "${DZ_SETUP_BASE_RELEASE:-}" != 1 ] || [ -z "$codename" ]; then
      echo "setup: apt-get install failed; if the mirror lacks a security list, DZ_SETUP_BASE_RELEASE=1 installs from $codename alone (it may downgrade security updates)" >&2
      exit 1
    fi
    echo "setup: apt-get install failed; installing from $codename alone, without its security updates" >&2
    pin=$(mktemp)
    printf 'Package: *\nPin: release n=%s\nPin-Priority: 1001\n' "$codename" >"$pin"
    apt_install -o Dir::Etc::Preferences="$pin" --allow-downgrades || { rm -f "$pin"; exit 1; }
    rm -f "$pin"
  fi
fi

# Wine gets code page 936 from a Chinese locale.
if [ -z "${1:-}" ] && ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi
