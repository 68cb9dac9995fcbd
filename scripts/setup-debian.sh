#!/bin/sh
# Installs the Debian packages that building, testing and running ZINTRA need (weston runs the
# Wayland test headless; doctest runs the core's tests). The package check
# also needs lintian, appstreamcli and systemd-analyze (systemd's package, which a container may
# lack; installing it starts nothing there); the look test needs qt6ct as a desktop's theme.
# With "windows", also what the native Windows build needs: mingw-w64, 32-bit Wine (so dpkg learns
# the i386 architecture) and NSIS for the installer.
# Idempotent: does nothing when everything is present.
set -eu

packages="
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-private-dev qt6-qpa-plugins libcurl4-openssl-dev doctest-dev
  fonts-liberation qt6ct
  xvfb xauth xdotool imagemagick weston qt6-wayland
  python3 python3-gi gir1.2-glib-2.0 util-linux
  dpkg-dev file desktop-file-utils
  lintian appstream systemd
"
[ "${1:-}" != windows ] ||
  packages="$packages g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 nsis"

missing=""
for p in $packages; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "setup: these packages are missing and installing them needs root:$missing" >&2
  exit 1
fi

echo "setup: installing$missing" >&2
export DEBIAN_FRONTEND=noninteractive
case "$missing " in *" wine32:i386 "*)
  dpkg --print-foreign-architectures | grep -qx i386 || $as_root dpkg --add-architecture i386
esac
$as_root apt-get update -qq
# shellcheck disable=SC2086
$as_root apt-get install -y -qq --no-install-recommends $missing
