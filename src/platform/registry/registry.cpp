#include "platform/registry/registry.h"

#include "platform/limits.h"
#include "platform/machine/machinefiles.h"
#include "platform/machine/machinepath.h"
#include "platform/posix/fd.h"
#include "platform/textbridge.h"
#include "runtime/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace platform::registry {

namespace {
using posix::Fd;

const QString registryFile = QStringLiteral("the registry file");
// Not ".lock", which older versions made open to everyone: someone may hold that one open.
const QString lockSuffix = QStringLiteral(".writelock");

[[noreturn]] void raiseIo(const QString& path, int errnum) {
    machinefiles::raiseIo(registryFile, path, errnum);
}

// Readable by everyone, so that every user's start-up can read the registry; writable by the
// folder's group where the folder is shared with a group (root:staff 2775).
mode_t fileMode(const QString& folder) {
    return machinefiles::groupWritable(folder) ? 0664 : 0644;
}

reg::Key parseOrRaise(const QByteArray& text, const QString& path) {
    auto machine = reg::parse(text);
    if (!machine)
        Raise(
            err::Damaged,
            QStringLiteral("The registry file \"%1\" is damaged; it is left as it is.").arg(path));
    return std::move(*machine);
}

reg::Key loadFrom(const QString& path) {
    bool exists = false;
    const QByteArray text = machinefiles::readFile(registryFile, path, exists, reg::maxTextSize);
    return exists ? parseOrRaise(text, path) : reg::emptyMachine();
}

// Tells one version of a file from the next: every change puts a new file in place.
std::tuple<ino_t, time_t, long> version(const std::string& name) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0)
        return {};
    return {st.st_ino, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

// Whether `name` is still the file open as `fd`.
bool stillNamed(int fd, const std::string& name, const QString& path) {
    struct stat open {};
    struct stat named {};
    if (::fstat(fd, &open) != 0)
        raiseIo(path, errno);
    if (::lstat(name.c_str(), &named) != 0 && errno != ENOENT)
        raiseIo(path, errno);
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Puts a new lock file in place, with its final mode before it has the name. `replace` renames
// it over the one there; otherwise it only takes a free name.
void putLockFile(const QString& path, mode_t mode, bool replace) {
    std::string temp = machinefiles::temporaryPattern(path);
    Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd.valid())
        raiseIo(path, errno);
    auto removeTemp = qScopeGuard([&] { ::unlink(temp.c_str()); });
    if (::fchmod(fd.get(), mode) != 0 || !fd.close())
        raiseIo(path, errno);
    const std::string name = machinefiles::native(path);
    const bool done =
        (replace ? ::rename(temp.c_str(), name.c_str()) : ::link(temp.c_str(), name.c_str())) == 0;
    // Another writer made one first, or removed the temporary file as a leftover: look again.
    if (!done && errno != EEXIST && errno != ENOENT)
        raiseIo(path, errno);
    if (done && replace)
        removeTemp.dismiss();
}

// The lock file, open only to those who may change the registry. One that others could have
// opened is replaced: narrowing its mode would not close what they opened before.
Fd openLockFile(const QString& path, mode_t mode) {
    const std::string name = machinefiles::native(path);
    for (;;) {
        Fd fd(::open(name.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
        if (!fd.valid() && errno != ENOENT && errno != ELOOP)
            raiseIo(path, errno);
        struct stat st {};
        if (fd.valid() && ::fstat(fd.get(), &st) != 0)
            raiseIo(path, errno);
        if (fd.valid() && S_ISREG(st.st_mode) && !(st.st_mode & 07777 & ~mode))
            return fd;
        putLockFile(path, mode, fd.valid() || errno == ELOOP);
    }
}

// Waits for the lock as long as the registry keeps changing, that is while the writers ahead
// make progress: the time limit is for a holder that never lets go, not for a queue. A writer
// letting go (its close) or a change landing (its rename) ends a nap at once where the kernel
// reports them; the naps are short where it does not. Opening the lock file is the first thing
// that fails for a user who may not change the machine.
Fd lockExclusive(const QString& folder, const QString& file) {
    using namespace std::chrono;
    const QString path = file + lockSuffix;
    const std::string name = machinefiles::native(path);
    const mode_t mode = machinefiles::groupWritable(folder) ? 0660 : 0600;
    const Fd events(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    const bool watching =
        events.valid() && ::inotify_add_watch(events.get(), machinefiles::native(folder).c_str(),
                                              IN_CLOSE_WRITE | IN_MOVED_TO) >= 0;
    const auto start = steady_clock::now();
    auto progress = start;
    auto seen = version(machinefiles::native(file));
    for (;;) {
        Fd fd = openLockFile(path, mode);
        for (;;) {
            const bool locked =
                posix::retryOnInterrupt([&] { return ::flock(fd.get(), LOCK_EX | LOCK_NB); }) == 0;
            if (!locked && errno != EWOULDBLOCK)
                raiseIo(path, errno);
            if (!stillNamed(fd.get(), name, path))
                break; // replaced meanwhile: the lock is on the file in its place
            if (locked)
                return fd;
            const auto now = steady_clock::now();
            if (const auto current = version(machinefiles::native(file)); current != seen) {
                seen = current;
                progress = now;
            }
            const auto until =
                std::min(progress + limits().lockWait, start + limits().lockWaitTotal);
            if (now >= until)
                Raise(err::Failed,
                      QStringLiteral("Cannot use %1 \"%2\": another process holds its lock.")
                          .arg(registryFile, path));
            const auto nap =
                ceil<milliseconds>(std::min<steady_clock::duration>(until - now, 20ms));
            if (!watching) {
                std::this_thread::sleep_for(nap);
                continue;
            }
            pollfd ready{events.get(), POLLIN, 0};
            if (posix::retryOnInterrupt(
                    [&] { return ::poll(&ready, 1, static_cast<int>(nap.count())); }) < 0)
                raiseIo(path, errno);
            char drained[4096];
            while (::read(events.get(), drained, sizeof drained) > 0) {
            }
        }
    }
}

// A writer killed between making its temporary file and renaming it leaves the file behind.
// Only a writer holding the lock makes one, so under the lock any such file is a leftover. A new
// lock file's temporary file is made without the lock: its maker, finding it gone, starts over.
// The lock file of older versions is no longer used. What cannot be removed fails no change.
void removeLeftovers(const QString& file) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(
        ::opendir(machinefiles::native(QFileInfo(file).path()).c_str()), &::closedir);
    if (!dir)
        return;
    const std::string oldLock = machinefiles::native(QFileInfo(file).fileName()) + ".lock";
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name == oldLock || machinefiles::isTemporaryOf(file, name) ||
            machinefiles::isTemporaryOf(file + lockSuffix, name))
            static_cast<void>(::unlinkat(::dirfd(dir.get()), entry->d_name, 0));
    }
}
} // namespace

QString machineFile() {
    return machinePath(QStringLiteral("/var/lib/zintra/registry/HKEY_LOCAL_MACHINE.reg"));
}

reg::Key load() {
    return loadFrom(machineFile());
}

void update(const std::function<void(reg::Key&)>& change,
            const std::function<void(const reg::Key&)>& committed) {
    const QString path = machineFile();
    const QString folder = QFileInfo(path).path();
    if (!QFileInfo::exists(folder)) {
        // Without a folder the hive is empty: a change that fails on it must leave no folder.
        reg::Key empty = reg::emptyMachine();
        change(empty);
        machinefiles::makeFolders(folder);
    }
    const Fd lock = lockExclusive(folder, path);
    removeLeftovers(path);
    reg::Key machine = loadFrom(path);
    change(machine);
    const QByteArray text = reg::format(machine);
    if (text.size() > reg::maxTextSize)
        Raise(err::Failed,
              QStringLiteral("The registry would grow past %1 bytes; it is left as it is.")
                  .arg(reg::maxTextSize));
    machinefiles::replaceFile(registryFile, path, text, fileMode(folder));
    committed(machine);
}

} // namespace platform::registry
