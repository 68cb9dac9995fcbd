#!/bin/sh
# Builds the Debian package, checks what it holds (lintian, appstreamcli), installs it on this
# machine, starts the installed program under Xvfb, lets a member of staff switch the verb on,
# then removes, reinstalls and purges it. Run as root on a machine where ZINTRA is not installed,
# after the tests are built (CI does): it changes the system, so ctest never runs it.
set -eu
cd "$(dirname "$0")/../.."
root=$PWD

fail() {
    echo "check-package: $*" >&2
    exit 1
}
# expect <what> <actual> <expected>
expect() {
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}

[ "$(id -u)" -eq 0 ] || fail "must run as root: it installs the package"
if dpkg-query -W zintra >/dev/null 2>&1 || [ -e /var/lib/zintra ]; then
    fail "ZINTRA is installed here already, or /var/lib/zintra is left over; purge it first"
fi

work=$(mktemp -d)
chmod 0755 "$work" # an unprivileged user loads the test driver from it
localShare=/usr/local/share
exportFolders="kio/servicemenus file-manager/actions nemo/actions"
# The file managers' folders this check makes, leaves before their parents, to be removed after.
madeFolders=
for folder in kio/servicemenus kio file-manager/actions file-manager nemo/actions nemo; do
    [ -d "$localShare/$folder" ] || madeFolders="$madeFolders $folder"
done
removeMadeFolders() {
    rm -f "$localShare/nemo/actions/not-ours.nemo_action"
    for folder in $madeFolders; do
        rmdir "$localShare/$folder" 2>/dev/null || :
    done
}
# Whatever happens, the machine ends as it began.
cleanup() {
    status=$?
    if dpkg-query -W zintra >/dev/null 2>&1; then
        apt-get purge -y -qq zintra >/dev/null 2>&1 || :
    fi
    removeMadeFolders
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# A listing of /usr/local precise enough to show any file made, changed or removed there, but
# for the menu-entry folders and the times they change.
listLocal() {
    find /usr/local -printf '%p %y %M %u:%g %s\n' | grep -Ev "^$localShare/(kio|nemo|file-manager)[ /]" |
        sort
}
# Our menu entries below a root: name, mode and contents of each.
entriesBelow() {
    (cd "$1$localShare" && find $exportFolders -name 'zintra-*' -printf '%p %m\n' -exec cat {} \; \
        2>/dev/null || :)
}

echo "check-package: building" >&2
deb=$(scripts/package.sh)
[ -f "$deb" ] || fail "scripts/package.sh printed '$deb', which is no file"

# --- What the package holds -------------------------------------------------------------------
expect "package name" "$(dpkg-deb -f "$deb" Package)" zintra
expect "package version" "$(dpkg-deb -f "$deb" Version)" 1.0.0
expect "maintainer" "$(dpkg-deb -f "$deb" Maintainer)" "Norvane <support@norvane.example>"
expect "section" "$(dpkg-deb -f "$deb" Section)" utils
depends=$(dpkg-deb -f "$deb" Depends)
# The libraries come from dpkg-shlibdeps; the font and the Qt plugins are named by hand.
for needed in fonts-liberation qt6-qpa-plugins libqt6widgets6 libc6; do
    echo "$depends" | tr ',' '\n' | grep -q "^ *$needed\( \|$\)" ||
        fail "Depends lacks $needed: $depends"
done

dpkg-deb -c "$deb" | awk '{ print $1, $2, $6 }' >"$work/contents"
grep -qx -- '-rwxr-xr-x root/root ./usr/bin/zintra' "$work/contents" ||
    fail "no executable /usr/bin/zintra owned by root"
# These files and no others (no test, no benchmark), all under /usr.
{
    echo ./usr/bin/zintra
    echo ./usr/share/applications/zintra.desktop
    for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
        echo "./usr/share/icons/hicolor/$size/apps/zintra.png"
    done
    echo ./usr/share/icons/hicolor/scalable/apps/zintra.svg
    echo ./usr/libexec/zintra/update-menu-entries
    echo ./usr/lib/systemd/system/zintra-menu-entries.path
    echo ./usr/lib/systemd/system/zintra-menu-entries.service
    echo ./usr/share/doc/zintra/changelog.gz
    echo ./usr/share/doc/zintra/copyright
    echo ./usr/share/man/man1/zintra.1.gz
    echo ./usr/share/metainfo/example.norvane.zintra.metainfo.xml
} | sort >"$work/files-expected"
awk '$1 !~ /^d/ { print $3 }' "$work/contents" | sort >"$work/files"
diff -u "$work/files-expected" "$work/files" >&2 || fail "the package holds other files"
if awk '{ print $3 }' "$work/contents" | grep -v '^\./usr/'; then
    fail "the package makes folders outside /usr"
fi

# Debian's own checks: no error or warning, no override.
lintian --fail-on error,warning "$deb" >&2 || fail "lintian finds fault with the package"
dpkg-deb -x "$deb" "$work/tree"
appstreamcli validate --no-net "$work/tree/usr/share/metainfo/example.norvane.zintra.metainfo.xml" \
    >&2 || fail "the AppStream metadata is not valid"
desktop-file-validate "$work/tree/usr/share/applications/zintra.desktop" ||
    fail "desktop entry is not valid"
grep -qx 'Exec=zintra %f' "$work/tree/usr/share/applications/zintra.desktop" ||
    fail "desktop entry does not start zintra with the file"
grep -qx 'X-AppVersion=1.0.0' "$work/tree/usr/share/applications/zintra.desktop" ||
    fail "desktop entry does not carry the program's version"

dpkg-deb -e "$deb" "$work/control"
for script in postinst prerm postrm; do
    [ -x "$work/control/$script" ] || fail "no executable maintainer script $script"
    sh -n "$work/control/$script" || fail "$script is not valid shell"
done

# --- Installed ---------------------------------------------------------------------------------
listLocal >"$work/local-before"

echo "check-package: installing $deb" >&2
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >&2

listLocal | diff -u "$work/local-before" - >&2 || fail "installing wrote under /usr/local"
dpkg -L zintra | grep '^/usr/local' && fail "the package owns files under /usr/local"
# The menu-entry folders, empty, so that file managers started now watch them.
folderOwner="root:root 755"
[ ! -e /etc/staff-group-for-usr-local ] || folderOwner="root:staff 2775"
for folder in $exportFolders; do
    expect "$folder" "$(stat -c '%U:%G %a' "$localShare/$folder")" "$folderOwner"
    [ -z "$(ls -A "$localShare/$folder")" ] || fail "$localShare/$folder is not empty"
done
# Warnings (an unknown key, say) leave its status 0: any word from it is a fault.
verified=$(systemd-analyze verify /usr/lib/systemd/system/zintra-menu-entries.path \
    /usr/lib/systemd/system/zintra-menu-entries.service 2>&1) &&
    [ -z "$verified" ] || fail "systemd-analyze finds fault with the path unit: $verified"

expect "/var/lib/zintra" "$(stat -c '%U:%G %a' /var/lib/zintra)" "root:root 755"
expect "registry folder" "$(stat -c '%U:%G %a' /var/lib/zintra/registry)" "root:staff 2775"
if setpriv --reuid=65534 --regid=65534 --clear-groups \
    sh -c 'echo x >/var/lib/zintra/registry/by-other' 2>/dev/null; then
    fail "a user outside staff could write in the registry folder"
fi

# The installed program, started with a file, asks for the destination folder first, then shows
# its main window.
echo "check-package: starting /usr/bin/zintra under Xvfb" >&2
echo "some data" >"$work/source file.txt"
windows=$(cd "$work" && env -u QT_QPA_PLATFORM timeout 180 xvfb-run -a \
    "$root/tests/app/windows-in-order.sh" /usr/bin/zintra "$work/source file.txt")
expect "windows of the installed program" "$windows" \
    "$(printf 'shown: Select the destination folder.\nthen: ZINTRA Free Version')"

# A member of staff chooses Help > Context Menu in the installed program (the test driver of the
# end-to-end tests clicks it); root does the same in a relocated system for what the program
# itself writes.
cmake --preset default >/dev/null && cmake --build --preset default --target zintradriver >&2
mkdir -p "$work/plugins/generic"
cp build/tests/shellverb/plugins/generic/libzintradriver.so "$work/plugins/generic/"
chmod -R a+rX "$work/plugins"
drive="env HOME=$work QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH=$work/plugins"
drive="$drive QT_QPA_GENERIC_PLUGINS=zintradriver:click /usr/bin/zintra"
staffId=$(getent group staff | cut -d: -f3)
clicked=$(cd "$work" && setpriv --reuid=65534 --regid=65534 --groups="$staffId" $drive)
expect "the staff member's click" "$clicked" "$(printf 'mark=0\nmark=1\nsource=')"
(cd "$work" && ZINTRA_ROOT=$work/ref $drive >/dev/null)
registryFile=/var/lib/zintra/registry/HKEY_LOCAL_MACHINE.reg
cmp "$work/ref$registryFile" "$registryFile" || fail "the staff member's change is not the program's"
expect "the staff member's registry file" "$(stat -c '%G' "$registryFile")" staff
entriesBelow "$work/ref" >"$work/entries"
grep -q '^nemo/actions/zintra-Zintra.nemo_action 644$' "$work/entries" ||
    fail "the program wrote no menu entries"
# The staff member may not write below /usr/local/share: the path unit's program, as root, does.
if [ -d /run/systemd/system ]; then
    echo "check-package: waiting for the path unit to rewrite the menu entries" >&2
    timeout 10 sh -c "until [ -e $localShare/nemo/actions/zintra-Zintra.nemo_action ]; do
        sleep 0.1; done" || fail "the path unit did not rewrite the menu entries"
else
    [ -z "$(entriesBelow "")" ] || fail "menu entries appeared without the path unit's program"
    echo "check-package: no systemd runs here: the path unit's trigger is not exercised;" \
        "running its program as root" >&2
    /usr/libexec/zintra/update-menu-entries
fi
entriesBelow "" | diff -u "$work/entries" - >&2 ||
    fail "the path unit's program wrote other entries than the program"

# Configuring again keeps what was registered and mends the folder's mode.
chmod 0700 /var/lib/zintra/registry
DPKG_MAINTSCRIPT_PACKAGE=zintra DPKG_MAINTSCRIPT_NAME=postinst \
    /var/lib/dpkg/info/zintra.postinst configure 1.0.0
expect "registry folder after reconfiguring" "$(stat -c '%U:%G %a' /var/lib/zintra/registry)" \
    "root:staff 2775"
cmp "$work/ref$registryFile" "$registryFile" || fail "reconfiguring changed the registry"

# --- Removed, installed again, purged ---------------------------------------------------------
: >"$localShare/nemo/actions/not-ours.nemo_action"
echo "check-package: removing" >&2
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq zintra >&2
[ ! -e /usr/bin/zintra ] || fail "removing left /usr/bin/zintra"
[ ! -e /usr/share/applications/zintra.desktop ] || fail "removing left the desktop entry"
cmp "$work/ref$registryFile" "$registryFile" || fail "removing changed the registry"
[ -z "$(entriesBelow "")" ] || fail "removing left menu entries that start nothing"

echo "check-package: installing again" >&2
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >&2
entriesBelow "" | diff -u "$work/entries" - >&2 ||
    fail "installing again did not bring the menu entries back"

echo "check-package: purging" >&2
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq zintra >&2
dpkg-query -W zintra >/dev/null 2>&1 && fail "zintra is still known to dpkg after purging"
[ ! -e /var/lib/zintra ] || fail "purging left /var/lib/zintra"
[ -z "$(entriesBelow "")" ] || fail "purging left menu entries"
[ -f "$localShare/nemo/actions/not-ours.nemo_action" ] || fail "purging took someone else's file"
# Folders left empty went with it.
for folder in kio/servicemenus kio file-manager/actions file-manager; do
    case " $madeFolders " in
    *" $folder "*) [ ! -e "$localShare/$folder" ] || fail "purging left $localShare/$folder" ;;
    esac
done
removeMadeFolders
listLocal | diff -u "$work/local-before" - >&2 || fail "/usr/local is not as it was"

echo "check-package: all checks passed" >&2
