#!/bin/sh
# Installs ZINTRA silently into a fresh Wine prefix, starts the installed program, uninstalls it
# silently as Add/Remove Programs would, and checks that nothing of it is left: no file, no Start
# menu entry, no Add/Remove Programs key, no "Copy with Zintra" verb.
# tests/win32/installer.sh path/to/zintra-<version>-setup.exe
set -eu
setup=$(realpath "$1")
# shellcheck source=tests/win32/session.sh
. "$(dirname "$0")/session.sh"

program='C:\Program Files\ZINTRA\zintra.exe'
uninstaller='C:\Program Files\ZINTRA\uninstall.exe'
uninstallKey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZINTRA'
verbs='HKLM\Software\Classes\*\shell'
# Drive C:'s files and folders, but the temporary ones (the uninstaller runs from a copy there).
files() { (cd "$WINEPREFIX/drive_c" && find . -path './users/*/Temp' -prune -o -print | sort); }
keyExists() { wine reg query "$1" >/dev/null 2>&1; }
setDefault() { wine reg add "$1" /ve /d "$2" /f >/dev/null || fail "reg add $1 failed"; }

files >"$work/before"
wine "$setup" /S || fail "the silent install failed"
for file in zintra.exe uninstall.exe; do
    [ -f "$WINEPREFIX/drive_c/Program Files/ZINTRA/$file" ] || fail "no $file in Program Files"
done
[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ZINTRA.lnk" ] ||
    fail "no Start menu entry"
wine reg query "$uninstallKey" /v QuietUninstallString 2>/dev/null |
    grep -Fq "\"$uninstaller\" /S" || fail "Add/Remove Programs cannot uninstall ZINTRA silently"

timeout 60 wine "$program" &
started=$!
timeout 60 xdotool search --sync --onlyvisible --name '^ZINTRA Free Version$' >/dev/null ||
    fail "the installed program showed no main window"
# WM_CLOSE, as the window's close box sends.
wine taskkill /im zintra.exe >/dev/null || fail "taskkill could not close the program"
wait "$started" || fail "the program ended with status $? when closed"

# The verb as the program registers it, and another program's verb beside it.
setDefault "$verbs\\Zintra" "Copy with Zintra"
setDefault "$verbs\\Zintra\\command" "$program %1"
setDefault "$verbs\\Other\\command" "other.exe %1"
wine "$uninstaller" /S || fail "the silent uninstall failed"
# The uninstaller returns at once and runs on from its copy: wait until every process has ended.
wineserver -w
files | diff -u "$work/before" - >&2 || fail "after uninstalling, drive C: is not as it was"
! keyExists "$uninstallKey" || fail "the Add/Remove Programs entry is left"
! keyExists "$verbs\\Zintra" || fail "the verb is left"
keyExists "$verbs\\Other\\command" || fail "another program's verb went too"
