#!/bin/sh
# Builds ZINTRA and runs every test: on Linux, then the native Windows build's under Wine.
# "linux" runs the Linux half alone; "asan", the Linux tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."

linux() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  ctest --preset "$1"
}

# The preset's Wine prefix is made afresh, once, before tests start in it in parallel; Wine's
# processes end with the tests, whatever their outcome.
windows() {
  cmake --preset win32 >/dev/null
  cmake --build --preset win32
  prefix=$PWD/build-win32/wineprefix
  rm -rf "$prefix"
  WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i
  status=0
  ctest --preset win32 || status=$?
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || :
  return "$status"
}

case ${1:-all} in
  all) scripts/setup-debian.sh windows; linux default; windows ;;
  linux) scripts/setup-debian.sh; linux default ;;
  asan) scripts/setup-debian.sh; linux asan ;;
  *) echo "usage: scripts/test.sh [linux|asan]" >&2; exit 2 ;;
esac
