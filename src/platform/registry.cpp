#include "platform/registry.h"

#include "platform/machinepath.h"
#include "platform/runtime.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::registry {

namespace {
ChangeObserver& observer() {
    static ChangeObserver current;
    return current;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

[[noreturn]] void raiseIo(const QString& path, int errnum) {
    const bool denied = errnum == EACCES || errnum == EPERM || errnum == EROFS;
    Raise(denied ? err::AccessDenied : err::Failed,
          QStringLiteral("Cannot use the registry file \"%1\": %2")
              .arg(path, QString::fromLocal8Bit(std::strerror(errnum))));
}

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool groupWritable(const std::string& folder) {
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && (st.st_mode & S_IWGRP);
}

// Readable by everyone, so that every user's start-up can read the registry; writable by the
// folder's group where the folder is shared with a group (root:staff 2775).
mode_t fileMode(const std::string& folder) {
    return groupWritable(folder) ? 0664 : 0644;
}

// Creates one folder, 0755, or 0775 in a group-writable parent; a setgid parent passes on its
// group and setgid bit, which the mode keeps.
void makeFolder(const std::string& folder, const std::string& parent) {
    if (::mkdir(folder.c_str(), 0700) != 0) {
        if (errno == EEXIST)
            return;
        raiseIo(QFile::decodeName(folder.c_str()), errno);
    }
    struct stat st {};
    const mode_t mode = groupWritable(parent) ? 0775 : 0755;
    if (::stat(folder.c_str(), &st) != 0 ||
        ::chmod(folder.c_str(), mode | (st.st_mode & S_ISGID)) != 0)
        raiseIo(QFile::decodeName(folder.c_str()), errno);
}

void makeFolders(const QString& folder) {
    const std::string path = native(QFileInfo(folder).absoluteFilePath());
    std::size_t end = 0;
    do {
        end = path.find('/', end + 1);
        const std::string part = path.substr(0, end);
        const std::size_t parentEnd = part.rfind('/');
        makeFolder(part, parentEnd == 0 ? "/" : part.substr(0, parentEnd));
    } while (end != std::string::npos);
}

reg::Key parseOrRaise(const QByteArray& text, const QString& path) {
    auto machine = reg::parse(text);
    if (!machine)
        Raise(
            err::Damaged,
            QStringLiteral("The registry file \"%1\" is damaged; it is left as it is.").arg(path));
    return std::move(*machine);
}

QByteArray readFile(const QString& path, bool& exists) {
    Descriptor fd(::open(native(path).c_str(), O_RDONLY | O_CLOEXEC));
    exists = fd.get() >= 0;
    if (!exists) {
        if (errno == ENOENT)
            return {};
        raiseIo(path, errno);
    }
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0)
            return bytes;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            raiseIo(path, errno);
        }
        bytes.append(buffer, n);
    }
}

reg::Key loadFrom(const QString& path) {
    bool exists = false;
    const QByteArray text = readFile(path, exists);
    return exists ? parseOrRaise(text, path) : reg::emptyMachine();
}

// A separate lock file: the registry file itself is replaced on every change. Opening it for
// writing is the first thing that fails for a user who may not change the machine.
Descriptor lockExclusive(const QString& folder) {
    const QString path = folder + QStringLiteral("/HKEY_LOCAL_MACHINE.reg.lock");
    const std::string name = native(path);
    int raw = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const bool created = raw >= 0;
    if (!created && errno == EEXIST)
        raw = ::open(name.c_str(), O_RDWR | O_CLOEXEC);
    if (raw < 0)
        raiseIo(path, errno);
    Descriptor fd(raw);
    if (created && ::fchmod(fd.get(), fileMode(native(folder))) != 0)
        raiseIo(path, errno);
    while (::flock(fd.get(), LOCK_EX) != 0)
        if (errno != EINTR)
            raiseIo(path, errno);
    return fd;
}

void writeAll(int fd, const QByteArray& bytes, const QString& path) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            raiseIo(path, n < 0 ? errno : EIO);
        done += n;
    }
}

// Temporary file in the same folder, flushed to disk, then renamed over the old file: a reader
// or a crash sees the old file or the new one, never a mix.
void replaceFile(const QString& path, const QString& folder, const QByteArray& bytes) {
    std::string temp = native(path) + ".XXXXXX";
    Descriptor fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0)
        raiseIo(path, errno);
    auto removeTemp = qScopeGuard([&] { ::unlink(temp.c_str()); });
    if (::fchmod(fd.get(), fileMode(native(folder))) != 0)
        raiseIo(path, errno);
    writeAll(fd.get(), bytes, path);
    if (::fsync(fd.get()) != 0 || ::close(fd.release()) != 0)
        raiseIo(path, errno);
    if (::rename(temp.c_str(), native(path).c_str()) != 0)
        raiseIo(path, errno);
    removeTemp.dismiss();
    // The change is made; syncing the folder only makes the rename durable sooner.
    const Descriptor dir(::open(native(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
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
        makeFolders(folder);
    }
    const Descriptor lock = lockExclusive(folder);
    reg::Key machine = loadFrom(path);
    change(machine);
    replaceFile(path, folder, reg::format(machine));
    if (observer())
        observer()(machine);
}

void setChangeObserver(ChangeObserver changeObserver) {
    observer() = std::move(changeObserver);
}

} // namespace platform::registry
