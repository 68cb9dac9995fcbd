#!/bin/sh
# Builds the native 32-bit Windows program and its installer (mingw-w64, NSIS), installing what is
# missing first, and prints the paths of zintra.exe and of the installer (the only lines on stdout).
set -eu
cd "$(dirname "$0")/.."
scripts/setup-debian.sh windows >&2
cmake --preset win32 >&2
cmake --build --preset win32 >&2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win32/CMakeCache.txt)
for built in build-win32/bin/zintra.exe "build-win32/zintra-$version-setup.exe"; do
  [ -f "$built" ] || { echo "build-windows: $built was not built" >&2; exit 1; }
  echo "$PWD/$built"
done
