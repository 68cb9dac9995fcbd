#include "platform/explorer/filemanagers.h"

#include "platform/explorer/menuexports.h"
#include "platform/machine/machinefiles.h"
#include "platform/machine/machinepath.h"
#include "platform/registry/registry.h"
#include "platform/runtime/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace platform::filemanagers {

namespace {
const QString menuEntry = QStringLiteral("the menu entry");

// A file that already holds the entry is left untouched, so that file managers watching their
// folders see no change where there is none.
bool holds(const QString& path, const menuexports::Export& entry) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
        (st.st_mode & 07777) != entry.mode || st.st_size != entry.contents.size())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == entry.contents;
}
} // namespace

void synchronize(const reg::Key& machine) {
    std::optional<RuntimeError> failure;
    const auto attempt = [&](const std::function<void()>& step) {
        try {
            step();
        } catch (const RuntimeError& e) {
            if (!failure)
                failure = e;
        }
    };

    QSet<QString> wanted;
    for (const menuexports::Export& entry : menuexports::exports(machine)) {
        const QString path = machinePath(entry.path);
        wanted.insert(path);
        if (holds(path, entry))
            continue;
        attempt([&] {
            machinefiles::makeFolders(QFileInfo(path).path());
            machinefiles::replaceFile(menuEntry, path, entry.contents, entry.mode);
        });
    }

    for (const menuexports::Place& place : menuexports::places()) {
        const QDir folder(machinePath(place.folder));
        const QStringList ours =
            folder.entryList({QStringLiteral("zintra-*") + place.suffix},
                             QDir::Files | QDir::System | QDir::Hidden | QDir::CaseSensitive);
        for (const QString& name : ours) {
            const QString path = folder.filePath(name);
            if (wanted.contains(path))
                continue;
            attempt([&] {
                if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
                    machinefiles::raiseIo(menuEntry, path, errno);
            });
        }
    }
    if (failure)
        throw *failure;
}

void followRegistry() {
    registry::setChangeObserver(&synchronize);
}

bool writesEntriesItself() {
    return ::geteuid() == 0 || !qEnvironmentVariableIsEmpty("ZINTRA_ROOT") ||
           ::access("/run/systemd/system", F_OK) != 0;
}

void updateFromRegistry() {
    // Every change replaces the file, so a new inode or change time means a new registry.
    const auto version = []() -> std::tuple<ino_t, time_t, long> {
        struct stat st {};
        if (::lstat(QFile::encodeName(registry::machineFile()).constData(), &st) != 0)
            return {};
        return {st.st_ino, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
    };
    // A few rounds at most: a registry that never settles is caught up with by its next change.
    for (int round = 0; round < 10; ++round) {
        const auto before = version();
        synchronize(registry::load());
        if (version() == before)
            return;
    }
}

} // namespace platform::filemanagers
