#include "platform/registry/registry.h"

#include "platform/machine/machinefiles.h"
#include "platform/machine/machinepath.h"
#include "platform/runtime/errors.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform::registry {

namespace {
ChangeObserver& observer() {
    static ChangeObserver current;
    return current;
}

std::chrono::milliseconds& lockWait() {
    static std::chrono::milliseconds limit{5000};
    return limit;
}

using machinefiles::Descriptor;

const QString registryFile = QStringLiteral("the registry file");

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

// Tries in short naps until the limit: whoever holds the lock, or a writer that hangs, delays
// changes but never freezes the program.
bool lockWithin(int fd, const QString& path, std::chrono::milliseconds limit) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + limit;
    milliseconds nap(1);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            raiseIo(path, errno);
        const auto left = deadline - steady_clock::now();
        if (left <= steady_clock::duration::zero())
            return false;
        std::this_thread::sleep_for(std::min<steady_clock::duration>(nap, left));
        nap = std::min(nap * 2, milliseconds(20));
    }
}

// A separate lock file: the registry file itself is replaced on every change. Only those who may
// change the registry may open it, so nobody else can hold the lock. Opening it for writing is
// the first thing that fails for a user who may not change the machine.
Descriptor lockExclusive(const QString& folder) {
    const QString path = folder + QStringLiteral("/HKEY_LOCAL_MACHINE.reg.lock");
    const std::string name = machinefiles::native(path);
    int raw = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const bool created = raw >= 0;
    if (!created && errno == EEXIST)
        raw = ::open(name.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (raw < 0)
        raiseIo(path, errno);
    Descriptor fd(raw);
    const mode_t mode = machinefiles::groupWritable(folder) ? 0660 : 0600;
    struct stat st {};
    if (created ? ::fchmod(fd.get(), mode) != 0 : ::fstat(fd.get(), &st) != 0)
        raiseIo(path, errno);
    // A lock file that an older version left open to everyone is closed to them where this user
    // may; only ever narrowed, and only on a file of its own.
    if (!created && S_ISREG(st.st_mode) && st.st_nlink == 1 && (st.st_mode & 0777 & ~mode))
        ::fchmod(fd.get(), st.st_mode & 07777 & mode);
    if (!lockWithin(fd.get(), path, lockWait()))
        Raise(err::Failed, QStringLiteral("Cannot use %1 \"%2\": another process holds its lock.")
                               .arg(registryFile, path));
    return fd;
}

// A writer killed between making its temporary file and renaming it leaves the file behind.
// Only a writer holding the lock makes one, so under the lock any such file is a leftover.
void removeLeftovers(const QString& path) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(
        ::opendir(machinefiles::native(QFileInfo(path).path()).c_str()), &::closedir);
    if (!dir)
        return;
    const std::string prefix = machinefiles::native(QFileInfo(path).fileName()) + '.';
    // What mkostemp puts in place of "XXXXXX".
    constexpr std::string_view temporaryLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
            name.find_first_not_of(temporaryLetters, prefix.size()) == std::string_view::npos)
            ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
}
} // namespace

QString machineFile() {
    return machinePath(QStringLiteral("/var/lib/zintra/registry/HKEY_LOCAL_MACHINE.reg"));
}

reg::Key load() {
    return loadFrom(machineFile());
}

void update(const std::function<void(reg::Key&)>& change) {
    const QString path = machineFile();
    const QString folder = QFileInfo(path).path();
    if (!QFileInfo::exists(folder)) {
        // Without a folder the hive is empty: a change that fails on it must leave no folder.
        reg::Key empty = reg::emptyMachine();
        change(empty);
        machinefiles::makeFolders(folder);
    }
    const Descriptor lock = lockExclusive(folder);
    removeLeftovers(path);
    reg::Key machine = loadFrom(path);
    change(machine);
    const QByteArray text = reg::format(machine);
    if (text.size() > reg::maxTextSize)
        Raise(err::Failed,
              QStringLiteral("The registry would grow past %1 bytes; it is left as it is.")
                  .arg(reg::maxTextSize));
    machinefiles::replaceFile(registryFile, path, text, fileMode(folder));
    if (observer())
        observer()(machine);
}

void setLockWait(std::chrono::milliseconds limit) {
    lockWait() = limit;
}

void setChangeObserver(ChangeObserver changeObserver) {
    observer() = std::move(changeObserver);
}

} // namespace platform::registry
