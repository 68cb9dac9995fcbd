# Sourced by the tests that drive Windows programs under Wine from outside (sh): a Wine prefix and
# an Xvfb display of their own below a temporary folder; when the test exits, however it exits,
# Wine's processes and Xvfb are ended and the folder is removed.
# Sets $work (the temporary folder), WINEPREFIX, HOME and DISPLAY; fail "message" ends the test.
fail() { echo "$(basename "$0"): $*" >&2; exit 1; }

work=$(mktemp -d)
xvfb=
endSession() {
    status=$?
    wineserver -k 2>/dev/null || :
    wineserver -w 2>/dev/null || :
    [ -z "$xvfb" ] || { kill "$xvfb" && wait "$xvfb"; } 2>/dev/null || :
    rm -rf "$work"
    exit "$status"
}
trap endSession EXIT
trap 'exit 1' HUP INT TERM

# No Mono or Gecko prompt, no debug output; the prefix's user folders link below $work, not $HOME.
export WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export HOME="$work"
mkfifo "$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>/dev/null &
xvfb=$!
read -r display <"$work/display" || :
[ -n "$display" ] || fail "Xvfb did not start"
export DISPLAY=":$display"
wineboot -i 2>/dev/null || fail "wineboot could not make a Wine prefix"
wineserver -w
