#!/bin/sh
# Starts a program on this X display and reports its windows as they appear: the visible ones
# at the moment the first appears ("shown: <title>"); when the folder browser is among them,
# it is closed with Escape and the main window is awaited ("then: <title>").
set -eu
"$@" &
program=$!
trap 'kill "$program" 2>/dev/null || :' EXIT

browser='^Select the destination folder\.$'
main='^ZINTRA Free Version$'
search() { timeout 60 xdotool search --sync --onlyvisible --name "$1"; }

browserId=
for id in $(search "$browser|$main"); do
    title=$(xdotool getwindowname "$id")
    echo "shown: $title"
    [ "$title" = "Select the destination folder." ] && browserId=$id
done
if [ -n "$browserId" ]; then
    xdotool windowfocus --sync "$browserId" key Escape
    for id in $(search "$main"); do
        echo "then: $(xdotool getwindowname "$id")"
    done
fi
