#!/bin/sh
# Builds the Debian package of ZINTRA and prints the path of the .deb (the only line on stdout).
# Install it with: apt-get install ./build-pkg/zintra_<version>_<arch>.deb
set -eu
cd "$(dirname "$0")/.."
scripts/setup-debian.sh >&2
cmake --preset package >&2
cmake --build --preset package >&2
rm -f build-pkg/zintra_*.deb
cpack --preset package >&2
deb=$(ls build-pkg/zintra_*.deb)
echo "$PWD/$deb"
