#!/bin/sh
# Builds ZINTRA and starts it; a file path given here becomes the program's argument.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "ZINTRA is a desktop program and there is no display here (neither DISPLAY nor" >&2
  echo "WAYLAND_DISPLAY is set). Start it from a desktop session, or under Xvfb:" >&2
  echo "  xvfb-run -a scripts/run.sh [FILE]" >&2
  exit 1
fi
exec build/bin/zintra "$@"
