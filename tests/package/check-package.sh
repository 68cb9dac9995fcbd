#!/bin/sh
# Builds the Debian package, checks what it holds, installs it on this machine, starts the
# installed program under Xvfb, then removes and purges it. Run as root on a machine where
# ZINTRA is not installed (CI does, after the tests): it changes the system, so ctest never runs it.
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
localShare=/usr/local/share
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

# A listing of /usr/local precise enough to show any file made, changed or removed there.
listLocal() {
    find /usr/local -printf '%p %y %M %u:%g %s %T@\n' | sort
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
} | sort >"$work/files-expected"
awk '$1 !~ /^d/ { print $3 }' "$work/contents" | sort >"$work/files"
diff -u "$work/files-expected" "$work/files" >&2 || fail "the package holds other files"
if awk '{ print $3 }' "$work/contents" | grep -v '^\./usr/'; then
    fail "the package makes folders outside /usr"
fi

dpkg-deb -x "$deb" "$work/tree"
desktop-file-validate "$work/tree/usr/share/applications/zintra.desktop" ||
    fail "desktop entry is not valid"
grep -qx 'Exec=zintra %f' "$work/tree/usr/share/applications/zintra.desktop" ||
    fail "desktop entry does not start zintra with the file"
grep -qx 'X-AppVersion=1.0.0' "$work/tree/usr/share/applications/zintra.desktop" ||
    fail "desktop entry does not carry the program's version"

dpkg-deb -e "$deb" "$work/control"
for script in postinst postrm; do
    [ -x "$work/control/$script" ] || fail "no executable maintainer script $script"
    sh -n "$work/control/$script" || fail "$script is not valid shell"
done

# --- Installed ---------------------------------------------------------------------------------
listLocal >"$work/local-before"

echo "check-package: installing $deb" >&2
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >&2

listLocal >"$work/local-installed"
diff -u "$work/local-before" "$work/local-installed" >&2 || fail "installing wrote under /usr/local"
dpkg -L zintra | grep '^/usr/local' && fail "the package owns files under /usr/local"

expect "/var/lib/zintra" "$(stat -c '%U:%G %a' /var/lib/zintra)" "root:root 755"
expect "registry folder" "$(stat -c '%U:%G %a' /var/lib/zintra/registry)" "root:staff 2775"

# A member of staff may add to the registry, and what it adds stays in the group and readable
# by all; someone outside staff may not.
staffId=$(getent group staff | cut -d: -f3)
setpriv --reuid=65534 --regid=65534 --groups="$staffId" \
    sh -c 'umask 022; echo x >/var/lib/zintra/registry/by-staff' ||
    fail "a member of staff cannot write in the registry folder"
expect "a staff member's file" "$(stat -c '%G' /var/lib/zintra/registry/by-staff)" staff
if setpriv --reuid=65534 --regid=65534 --clear-groups \
    sh -c 'echo x >/var/lib/zintra/registry/by-other' 2>/dev/null; then
    fail "a user outside staff could write in the registry folder"
fi

# Configuring again keeps what was registered and mends the folder's mode.
chmod 0700 /var/lib/zintra/registry
/var/lib/dpkg/info/zintra.postinst configure 1.0.0
expect "registry folder after reconfiguring" "$(stat -c '%U:%G %a' /var/lib/zintra/registry)" \
    "root:staff 2775"
[ -f /var/lib/zintra/registry/by-staff ] || fail "reconfiguring lost a registry file"

# The installed program, started with a file, asks for the destination folder first, then shows
# its main window.
echo "check-package: starting /usr/bin/zintra under Xvfb" >&2
echo "some data" >"$work/source file.txt"
windows=$(cd "$work" && env -u QT_QPA_PLATFORM timeout 180 xvfb-run -a \
    "$root/tests/app/windows-in-order.sh" /usr/bin/zintra "$work/source file.txt")
expect "windows of the installed program" "$windows" \
    "$(printf 'shown: Select the destination folder.\nthen: ZINTRA Free Version')"

# --- Removed, then purged ----------------------------------------------------------------------
# Menu entries a registration exported, and a file of someone else's beside them.
mkdir -p "$localShare/kio/servicemenus" "$localShare/file-manager/actions" \
    "$localShare/nemo/actions"
: >"$localShare/kio/servicemenus/zintra-Zintra.desktop"
: >"$localShare/file-manager/actions/zintra-Zintra.desktop"
: >"$localShare/nemo/actions/zintra-Zintra.nemo_action"
: >"$localShare/nemo/actions/not-ours.nemo_action"

echo "check-package: removing" >&2
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq zintra >&2
[ ! -e /usr/bin/zintra ] || fail "removing left /usr/bin/zintra"
[ ! -e /usr/share/applications/zintra.desktop ] || fail "removing left the desktop entry"
[ -f /var/lib/zintra/registry/by-staff ] || fail "removing took the registry"
[ -f "$localShare/nemo/actions/zintra-Zintra.nemo_action" ] ||
    fail "removing took the menu entries"

echo "check-package: purging" >&2
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq zintra >&2
dpkg-query -W zintra >/dev/null 2>&1 && fail "zintra is still known to dpkg after purging"
[ ! -e /var/lib/zintra ] || fail "purging left /var/lib/zintra"
for export in kio/servicemenus/zintra-Zintra.desktop file-manager/actions/zintra-Zintra.desktop \
              nemo/actions/zintra-Zintra.nemo_action; do
    [ ! -e "$localShare/$export" ] || fail "purging left $localShare/$export"
done
[ -f "$localShare/nemo/actions/not-ours.nemo_action" ] || fail "purging took someone else's file"
# Folders the purge left empty went with it.
for folder in kio/servicemenus file-manager/actions; do
    case " $madeFolders " in
    *" $folder "*) [ ! -e "$localShare/$folder" ] || fail "purging left $localShare/$folder empty" ;;
    esac
done
removeMadeFolders
# This check's own folders came and went there, so times differ; nothing else may.
listLocal | sed 's/ [^ ]*$//' >"$work/local-after"
sed 's/ [^ ]*$//' "$work/local-before" | diff -u - "$work/local-after" >&2 ||
    fail "/usr/local is not as it was"

echo "check-package: all checks passed" >&2
