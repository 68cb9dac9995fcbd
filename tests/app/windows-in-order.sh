#!/bin/sh
# Starts a program on this X display and reports its windows as they appear: the visible ones
# at the moment the first appears ("shown: <title>"); when the folder browser is among them,
# it is closed with Escape and the main window is awaited ("then: <title>").
set -eu
"$@" &
trap 'kill $! 2>/dev/null || :' EXIT
search() { timeout 60 xdotool search --sync --onlyvisible --name "$@"; }

shown=$(for id in $(search '^(Select the destination folder\.|ZINTRA Free Version)$'); do
    xdotool getwindowname "$id"
done)
echo "$shown" | sed 's/^/shown: /'
[ "${shown#*Select the destination folder.}" != "$shown" ] || exit 0
xdotool windowfocus --sync "$(search '^Select the destination folder\.$')" key Escape
echo "then: $(search '^ZINTRA Free Version$' getwindowname)"
