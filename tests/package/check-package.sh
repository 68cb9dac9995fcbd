#!/bin/sh
# Builds the Debian package, checks what it holds (lintian, appstreamcli), installs it on this
# machine, lets a member of staff switch the verb on in the installed program,
# then removes, reinstalls and purges it. Run as root on a machine where ZINTRA is not installed,
# after the tests are built (CI does): it changes the system, so ctest never runs it.
set -eu
cd "$(dirname "$0")/../.."
root=$PWD

fail() { echo "check-package: $*" >&2; exit 1; }
# expect <what> <actual> <expected>
expect() { [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"; }
apt() { DEBIAN_FRONTEND=noninteractive apt-get "$@" -y -qq >&2; }

[ "$(id -u)" -eq 0 ] || fail "must run as root: it installs the package"
! dpkg-query -W zintra >/dev/null 2>&1 && [ ! -e /var/lib/zintra ] ||
    fail "ZINTRA is installed here already, or /var/lib/zintra is left over; purge it first"

work=$(mktemp -d)
chmod 0755 "$work" # an unprivileged user loads the test driver from it
share=/usr/local/share
exports="kio/servicemenus file-manager/actions nemo/actions"
# The file managers' folders this check makes, leaves before their parents; whatever happens,
# the machine ends as it began.
made=
for folder in kio/servicemenus kio file-manager/actions file-manager nemo/actions nemo; do
    [ -d "$share/$folder" ] || made="$made $folder"
done
cleanup() {
    status=$?
    ! dpkg-query -W zintra >/dev/null 2>&1 || apt purge zintra 2>/dev/null || :
    rm -rf "$work" "$share/nemo/actions/not-ours.nemo_action"
    for folder in $made; do rmdir "$share/$folder" 2>/dev/null || :; done
    exit "$status"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# /usr/local, precise enough to show any file made, changed or removed there, but for the
# menu-entry folders and the times they change.
listLocal() { find /usr/local -printf '%p %y %M %u:%g %s\n' |
    grep -Ev "^$share/(kio|nemo|file-manager)[ /]" | sort; }
# Our menu entries below a root: name, mode and contents of each.
entriesBelow() { (cd "$1$share" && find $exports -name 'zintra-*' -printf '%p %m\n' \
    -exec cat {} \; 2>/dev/null || :); }

deb=$(scripts/package.sh)
[ -f "$deb" ] || fail "scripts/package.sh printed '$deb', which is no file"

# --- What the package holds -------------------------------------------------------------------
# The libraries come from dpkg-shlibdeps; the font and the Qt plugins are named by hand.
for needed in fonts-liberation qt6-qpa-plugins libqt6widgets6 libc6; do
    dpkg-deb -f "$deb" Depends | grep -Eq "(^|, )$needed( |,|$)" || fail "Depends lacks $needed"
done
# These files and folders, with these owners and modes, and no others (no test, no benchmark).
dpkg-deb -c "$deb" | awk '{ print $1, $2, $6 }' | LC_ALL=C sort |
    diff -u "$root/tests/package/contents.txt" - >&2 || fail "the package holds other files"
lintian --fail-on error,warning "$deb" >&2 || fail "lintian finds fault with the package"
dpkg-deb -x "$deb" "$work/tree"
appstreamcli validate --no-net "$work/tree/usr/share/metainfo/example.norvane.zintra.metainfo.xml" \
    >&2 || fail "the AppStream metadata is not valid"
desktop-file-validate "$work/tree/usr/share/applications/zintra.desktop" || fail "bad desktop entry"

# --- Installed ---------------------------------------------------------------------------------
listLocal >"$work/local-before"
apt install "$deb"
listLocal | diff -u "$work/local-before" - >&2 || fail "installing wrote under /usr/local"
# The menu-entry folders, empty, so that file managers started now watch them.
owner="root:root 755"
[ ! -e /etc/staff-group-for-usr-local ] || owner="root:staff 2775"
for folder in $exports; do # and empty
    expect "$folder" "$(stat -c '%U:%G %a' "$share/$folder")$(ls -A "$share/$folder")" "$owner"
done
# Warnings (an unknown key, say) leave its status 0: any word from it is a fault.
verified=$(systemd-analyze verify /usr/lib/systemd/system/zintra-menu-entries.path \
    /usr/lib/systemd/system/zintra-menu-entries.service 2>&1) &&
    [ -z "$verified" ] || fail "systemd-analyze finds fault with the path unit: $verified"
# The path unit's program runs as a root that may do little else.
exposure=$(systemd-analyze security --offline=yes \
    /usr/lib/systemd/system/zintra-menu-entries.service 2>/dev/null |
    sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\).*/\1/p')
echo "check-package: the menu-entry service's exposure level is $exposure" >&2
awk -v e="$exposure" 'BEGIN { exit !(e != "" && e <= 2) }' || fail "exposure '$exposure' above 2"
expect "/var/lib/zintra" "$(stat -c '%U:%G %a' /var/lib/zintra)" "root:root 755"
expect "registry folder" "$(stat -c '%U:%G %a' /var/lib/zintra/registry)" "root:staff 2775"

# A member of staff chooses Help > Context Menu in the installed program (the test driver of the
# end-to-end tests clicks it); root does the same in a relocated system for what the program
# itself writes.
cmake --preset default >/dev/null && cmake --build --preset default --target zintradriver >&2
install -D -m 0644 build/tests/shellverb/plugins/generic/libzintradriver.so \
    "$work/plugins/generic/libzintradriver.so"
drive="env HOME=$work QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH=$work/plugins"
drive="$drive QT_QPA_GENERIC_PLUGINS=zintradriver:click /usr/bin/zintra"
staff=$(getent group staff | cut -d: -f3)
member="setpriv --reuid=65534 --regid=65534 --groups=$staff"
# Without the driver the program waits for a click forever: it must be within reach, and a
# program that does not end is ended.
$member test -r "$work/plugins/generic/libzintradriver.so" ||
    fail "nobody cannot reach the test driver in $work (TMPDIR in a closed folder?)"
clicked=$(cd "$work" && timeout 30 $member $drive) || fail "the staff member's program failed"
expect "the staff member's click" "$clicked" "mark=1 source="
(cd "$work" && ZINTRA_ROOT=$work/ref timeout 30 $drive >/dev/null) || fail "root's program failed"
registry=/var/lib/zintra/registry/HKEY_LOCAL_MACHINE.reg
cmp "$work/ref$registry" "$registry" || fail "the staff member's change is not the program's"
expect "the staff member's registry file" "$(stat -c '%G' "$registry")" staff
entriesBelow "$work/ref" >"$work/entries"
grep -q '^nemo/actions/zintra-Zintra.nemo_action 644$' "$work/entries" || fail "no menu entries"
# The staff member may not write below /usr/local/share: the path unit's program, as root, does.
if [ -d /run/systemd/system ]; then
    # Ten more changes at once (off, on, ...): the unit follows them, and never stops for good.
    for _ in 1 2 3 4 5 6 7 8 9 10; do (cd "$work" && $member $drive >/dev/null); done
    timeout 10 sh -c "until [ -e $share/nemo/actions/zintra-Zintra.nemo_action ]; do sleep 0.1; done" ||
        fail "the path unit did not rewrite the menu entries"
    ! systemctl --quiet is-failed zintra-menu-entries.path || fail "the path unit stopped"
else
    [ -z "$(entriesBelow "")" ] || fail "menu entries appeared without the path unit's program"
    /usr/libexec/zintra/update-menu-entries
fi
entriesBelow "" | diff -u "$work/entries" - >&2 ||
    fail "the path unit's program wrote other entries than the program"

# --- Removed, installed again, purged ---------------------------------------------------------
: >"$share/nemo/actions/not-ours.nemo_action"
chmod 0700 /var/lib/zintra/registry # installing again mends the folder's mode
apt remove zintra
[ -z "$(entriesBelow "")" ] || fail "removing left menu entries that start nothing"
apt install "$deb"
cmp "$work/ref$registry" "$registry" || fail "removing or installing again changed the registry"
expect "registry folder, installed again" "$(stat -c '%a' /var/lib/zintra/registry)" 2775
entriesBelow "" | diff -u "$work/entries" - >&2 || fail "installing again brought no entries back"
apt purge zintra
[ ! -e /var/lib/zintra ] || fail "purging left /var/lib/zintra"
[ -f "$share/nemo/actions/not-ours.nemo_action" ] || fail "purging took someone else's file"
# Folders left empty went with it (the rest go on exit).
for folder in kio/servicemenus kio file-manager/actions file-manager; do
    case " $made " in
    *" $folder "*) [ ! -e "$share/$folder" ] || fail "purging left $share/$folder" ;;
    esac
done
listLocal | diff -u "$work/local-before" - >&2 || fail "/usr/local is not as it was"

echo "check-package: all checks passed" >&2
