#!/bin/sh
# Builds ZINTRA and runs every test. With "asan", the same tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
preset=${1:-default}
scripts/setup-debian.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
