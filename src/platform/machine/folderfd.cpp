#include "platform/machine/folderfd.h"

#include "platform/machine/machinepath.h"

#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::machinefiles {

namespace {
// Each name of an absolute path; nullopt for one with empty, "." or ".." parts.
std::optional<QStringList> names(const QString& path) {
    if (!path.startsWith(u'/'))
        return std::nullopt;
    const QStringList parts = path.mid(1).split(u'/');
    for (const QString& part : parts)
        if (part.isEmpty() || part == u'.' || part == QStringLiteral(".."))
            return std::nullopt;
    return parts;
}

int openBelow(int dir, const QString& name, int flags) {
    return ::openat(dir, native(name).c_str(), flags | O_NOFOLLOW | O_CLOEXEC);
}

// Owned by root, and no one else may change which file each of its names stands for.
bool rootsFolder(const struct stat& st) {
    return S_ISDIR(st.st_mode) && st.st_uid == 0 &&
           (!(st.st_mode & (S_IWGRP | S_IWOTH)) || (st.st_mode & S_ISVTX));
}
} // namespace

posix::Fd openFolder(const QString& what, const QString& folder, bool create) {
    const QString top = machinePath(QStringLiteral("/"));
    posix::Fd dir(::open(native(top).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        raiseIo(what, top, errno);
    const auto parts = names(folder);
    if (!parts)
        raiseIo(what, folder, EINVAL);
    QString path = machinePath({});
    for (const QString& name : *parts) {
        path += u'/' + name;
        posix::Fd next(openBelow(dir.get(), name, O_RDONLY | O_DIRECTORY));
        if (!next.valid() && errno == ENOENT && !create)
            return {};
        if (!next.valid() && errno == ENOENT) {
            // Made with its final mode, so that no chmod has to pass the setgid bit on; where the
            // umask took bits away, they are put back on the new folder itself.
            struct stat st {};
            if (::fstat(dir.get(), &st) != 0)
                raiseIo(what, path, errno);
            const mode_t mode = (st.st_mode & S_IWGRP) ? 0775 : 0755;
            if (::mkdirat(dir.get(), native(name).c_str(), mode) != 0 && errno != EEXIST)
                raiseIo(what, path, errno);
            next = posix::Fd(openBelow(dir.get(), name, O_RDONLY | O_DIRECTORY));
            if (!next.valid() || ::fstat(next.get(), &st) != 0 ||
                ((st.st_mode & 0777) != mode &&
                 ::fchmod(next.get(), mode | (st.st_mode & S_ISGID)) != 0))
                raiseIo(what, path, errno);
        }
        if (!next.valid())
            raiseIo(what, path, errno);
        dir = std::move(next);
    }
    return dir;
}

bool changedOnlyByRoot(const QString& path) {
    const auto parts = names(path);
    posix::Fd at(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat st {};
    if (!parts || !at.valid() || ::fstat(at.get(), &st) != 0 || !rootsFolder(st))
        return false;
    for (qsizetype i = 0; i < parts->size(); ++i) {
        // Each step is checked on what was opened, so a name swapped meanwhile changes nothing.
        at = posix::Fd(openBelow(at.get(), parts->at(i), O_PATH));
        if (!at.valid() || ::fstat(at.get(), &st) != 0)
            return false;
        const bool last = i == parts->size() - 1;
        if (last ? !S_ISREG(st.st_mode) || st.st_uid != 0 || (st.st_mode & (S_IWGRP | S_IWOTH))
                 : !rootsFolder(st))
            return false;
    }
    return true;
}

} // namespace platform::machinefiles
