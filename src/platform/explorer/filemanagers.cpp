#include "platform/explorer/filemanagers.h"

#include "platform/explorer/menuexports.h"
#include "platform/explorer/ownverb.h"
#include "platform/firstfailure.h"
#include "platform/machine/folderfd.h"
#include "platform/machine/machinefiles.h"
#include "platform/machine/machinepath.h"
#include "platform/posix/fd.h"
#include "platform/registry/registry.h"
#include "runtime/errors.h"
#include "runtime/seam.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::filemanagers {

namespace {
const QString menuEntry = QStringLiteral("the menu entry");

using machinefiles::native;

// A file that already holds the entry is left untouched, so that file managers watching their
// folders see no change where there is none.
bool holds(int dir, const QString& name, const menuexports::Export& entry) {
    const posix::Fd fd(::openat(dir, native(name).c_str(),
                                O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        (st.st_mode & 07777) != entry.mode || st.st_size != entry.contents.size())
        return false;
    QFile file;
    return file.open(fd.get(), QIODevice::ReadOnly) && file.readAll() == entry.contents;
}

// Our entries in the folder: "zintra-*" with the format's ending, folders aside.
QStringList ours(int dir, const QString& folder, const QString& suffix) {
    QStringList names;
    posix::Fd copy(::dup(dir));
    const std::unique_ptr<DIR, int (*)(DIR*)> list(copy.valid() ? ::fdopendir(copy.get()) : nullptr,
                                                   &::closedir);
    if (!list)
        machinefiles::raiseIo(menuEntry, folder, errno);
    copy.release(); // the listing closes it
    while (const dirent* entry = ::readdir(list.get())) {
        const QString name = QFile::decodeName(entry->d_name);
        struct stat st {};
        if (name.startsWith(QStringLiteral("zintra-")) && name.endsWith(suffix) &&
            ::fstatat(dir, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
            names << name;
    }
    return names;
}

bool ownVerb(const menuexports::Verb& verb) {
    return verb.name.compare(ownverb::name(), Qt::CaseInsensitive) == 0 &&
           verb.text == ownverb::text() && verb.commandLine == ownverb::commandLine(verb.program) &&
           machinefiles::changedOnlyByRoot(verb.program);
}

void markOutdated() {
    const QString marker = outdatedMarker();
    posix::Fd fd(::open(native(marker).c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0644));
    if ((!fd.valid() && errno != EEXIST) || !fd.close())
        machinefiles::raiseIo(QStringLiteral("the registry's marker"), marker, errno);
}
} // namespace

QStringList synchronize(const reg::Key& machine, Publish which) {
    FirstFailure attempt;
    QStringList leftOut;
    std::vector<menuexports::Verb> published;
    for (menuexports::Verb& verb : menuexports::verbs(machine)) {
        if (which == Publish::everyVerb) {
            published.push_back(verb);
        } else if (ownVerb(verb)) {
            verb.name = ownverb::name(); // whatever case the key was made with
            published.push_back(verb);
        } else {
            leftOut << verb.name;
        }
    }
    const std::vector<menuexports::Export> entries = menuexports::exports(published);

    for (const menuexports::Place& place : menuexports::places()) {
        std::vector<const menuexports::Export*> here;
        QSet<QString> wanted;
        for (const menuexports::Export& entry : entries) {
            if (QFileInfo(entry.path).path() == place.folder) {
                here.push_back(&entry);
                wanted.insert(QFileInfo(entry.path).fileName());
            }
        }
        attempt([&] {
            const posix::Fd dir = machinefiles::openFolder(
                menuEntry, place.folder, which == Publish::ownVerbOnly || !here.empty());
            if (!dir.valid())
                return; // no folder, no entries
            for (const menuexports::Export* entry : here) {
                if (!holds(dir.get(), QFileInfo(entry->path).fileName(), *entry))
                    attempt([&] {
                        machinefiles::replaceFileAt(menuEntry, dir.get(), machinePath(entry->path),
                                                    entry->contents, entry->mode);
                    });
            }
            for (const QString& name : ours(dir.get(), machinePath(place.folder), place.suffix)) {
                if (!wanted.contains(name))
                    attempt([&] {
                        if (::unlinkat(dir.get(), native(name).c_str(), 0) != 0 && errno != ENOENT)
                            machinefiles::raiseIo(menuEntry,
                                                  machinePath(place.folder + u'/' + name), errno);
                    });
            }
        });
    }
    attempt.raise();
    return leftOut;
}

void afterChange(const reg::Key& machine) {
    if (!writesEntriesItself())
        return markOutdated();
    Publish which = ::geteuid() == 0 ? Publish::ownVerbOnly : Publish::everyVerb;
    synchronize(machine, use<Publish>(which));
}

bool writesEntriesItself() {
    return ::geteuid() == 0 || !qEnvironmentVariableIsEmpty("ZINTRA_ROOT") ||
           ::access("/run/systemd/system", F_OK) != 0;
}

QString outdatedMarker() {
    return QFileInfo(registry::machineFile()).path() + QStringLiteral("/menu-entries-outdated");
}

QStringList updateFromRegistry() {
    const std::string marker = native(outdatedMarker());
    if (::unlink(marker.c_str()) != 0 && errno != ENOENT &&
        !(errno == EISDIR && ::rmdir(marker.c_str()) == 0))
        machinefiles::raiseIo(QStringLiteral("the registry's marker"), outdatedMarker(), errno);
    return synchronize(registry::load(), Publish::ownVerbOnly);
}

} // namespace platform::filemanagers
