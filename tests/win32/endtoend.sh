#!/bin/sh
# The real zintra.exe under Wine and Xvfb, driven as a user would: a source and a destination
# typed in, Start Copying, the outcome box read back and the bytes compared; Help > Context Menu
# registers the verb in the registry and removes it again.
# tests/win32/endtoend.sh path/to/zintra.exe path/to/boxtext.exe
set -eu
program=$(realpath "$1")
boxtext=$(realpath "$2")
# shellcheck source=tests/win32/session.sh
. "$(dirname "$0")/session.sh"

mkdir "$work/in" "$work/out"
head -c 9437185 /dev/urandom >"$work/in/a b.bin" # three blocks, the last of one byte
source=$(winepath -w "$work/in/a b.bin")
destination=$(winepath -w "$work/out")\\
verb='HKLM\Software\Classes\*\shell\Zintra'

wine "$program" &
# No window manager gives the focus here: the test gives it, as a click on the window would.
timeout 60 xdotool search --sync --onlyvisible --name '^ZINTRA Free Version$' windowfocus --sync \
    >/dev/null || fail "no main window"
# The focus starts in the file name box; Tab leads to the destination, then to the button.
xdotool type --delay 0 "$source"
xdotool key Tab
xdotool type --delay 0 "$destination"
xdotool key Tab space
outcome=$(wine "$boxtext") || fail "no outcome box"
outcome=$(printf %s "$outcome" | tr -d '\r') # Windows ends its lines in CR LF
[ "$outcome" = "ZINTRA: File Successfully Copied" ] || fail "the outcome was: $outcome"
cmp "$work/in/a b.bin" "$work/out/a b.bin" || fail "the copy differs from its source"

# F10 opens the menu bar; Down opens Help on its first item, Context Menu.
xdotool key F10 Down Return
timeout 30 sh -c "until wine reg query '$verb\\command' >/dev/null 2>&1; do :; done" ||
    fail "the verb's command key was not written"
wine reg query "$verb\\command" /ve | grep -Fq "$(winepath -w "$program") %1" ||
    fail "the verb's command is not the program's"
xdotool key F10 Down Return
timeout 30 sh -c "while wine reg query '$verb' >/dev/null 2>&1; do :; done" ||
    fail "the verb was not removed"
