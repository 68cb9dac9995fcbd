#include "platform/machine/machinefiles.h"

#include "platform/posix/fd.h"
#include "platform/textbridge.h"
#include "runtime/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::machinefiles {

namespace {
constexpr char temporaryMarker[] = ".zintra-tmp-";

bool groupWritable(const std::string& folder) {
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && (st.st_mode & S_IWGRP);
}

void makeFolder(const std::string& folder, const std::string& parent) {
    const QString what = QStringLiteral("the folder");
    if (::mkdir(folder.c_str(), 0700) != 0) {
        if (errno == EEXIST)
            return;
        raiseIo(what, QFile::decodeName(folder.c_str()), errno);
    }
    // The mode goes on the folder just made, never by path: whoever may write the parent could
    // have put a link to another file in its place by now.
    const posix::Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    const mode_t mode = groupWritable(parent) ? 0775 : 0755;
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 ||
        ::fchmod(fd.get(), mode | (st.st_mode & S_ISGID)) != 0)
        raiseIo(what, QFile::decodeName(folder.c_str()), errno);
}

void writeAll(int fd, const QByteArray& bytes, const QString& what, const QString& path) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = posix::retryOnInterrupt(
            [&] { return ::write(fd, bytes.constData() + done, bytes.size() - done); });
        if (n <= 0)
            raiseIo(what, path, n < 0 ? errno : EIO);
        done += n;
    }
}
} // namespace

void raiseIo(const QString& what, const QString& path, int errnum) {
    const bool denied = errnum == EACCES || errnum == EPERM || errnum == EROFS;
    Raise(denied ? err::AccessDenied : err::Failed,
          QStringLiteral("Cannot use %1 \"%2\": %3")
              .arg(what, path, QString::fromLocal8Bit(std::strerror(errnum))));
}

void raiseDamaged(const QString& what, const QString& path, qsizetype limit) {
    Raise(err::Damaged,
          QStringLiteral("Cannot use %1 \"%2\": it must be a regular file of at most %3 bytes.")
              .arg(what, path)
              .arg(limit));
}

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool groupWritable(const QString& folder) {
    return groupWritable(native(folder));
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

QByteArray readFile(const QString& what, const QString& path, bool& exists, qsizetype limit) {
    // Without blocking, so that a FIFO in the file's place cannot hold up its readers. The folder
    // may be shared: a link or a terminal put in the file's place is never opened through it.
    const posix::Fd fd(
        ::open(native(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    exists = fd.valid();
    if (!exists) {
        if (errno == ENOENT)
            return {};
        if (errno == ELOOP)
            raiseDamaged(what, path, limit);
        raiseIo(what, path, errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        raiseIo(what, path, errno);
    if (!S_ISREG(st.st_mode) || st.st_size > limit)
        raiseDamaged(what, path, limit);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n =
            posix::retryOnInterrupt([&] { return ::read(fd.get(), buffer, sizeof buffer); });
        if (n == 0)
            return bytes;
        if (n < 0)
            raiseIo(what, path, errno);
        bytes.append(buffer, n);
        if (bytes.size() > limit) // it grew while read
            raiseDamaged(what, path, limit);
    }
}

std::string temporaryPattern(const QString& path) {
    const QFileInfo file(path);
    return native(file.path()) + "/." + native(file.fileName()) + temporaryMarker + "XXXXXX";
}

bool isTemporaryOf(const QString& path, std::string_view name) {
    const std::string prefix = '.' + native(QFileInfo(path).fileName()) + temporaryMarker;
    return name.size() == prefix.size() + 6 && name.starts_with(prefix);
}

void replaceFileAt(const QString& what, int dir, const QString& path, const QByteArray& bytes,
                   mode_t mode) {
    const std::string name = native(QFileInfo(path).fileName());
    // As mkostemp names it, which needs a path: six letters or digits in place of "XXXXXX".
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string temp;
    posix::Fd fd;
    for (int attempt = 0; !fd.valid() && attempt < 100; ++attempt) {
        temp = '.' + name + temporaryMarker;
        for (int i = 0; i < 6; ++i)
            temp += letters[QRandomGenerator::system()->bounded(int(sizeof letters) - 1)];
        fd = posix::Fd(::openat(dir, temp.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd.valid() && errno != EEXIST)
            break;
    }
    if (!fd.valid())
        raiseIo(what, path, errno);
    auto removeTemp = qScopeGuard([&] { ::unlinkat(dir, temp.c_str(), 0); });
    if (::fchmod(fd.get(), mode) != 0)
        raiseIo(what, path, errno);
    writeAll(fd.get(), bytes, what, path);
    if (::fsync(fd.get()) != 0 || !fd.close())
        raiseIo(what, path, errno);
    if (::renameat(dir, temp.c_str(), dir, name.c_str()) != 0)
        raiseIo(what, path, errno);
    removeTemp.dismiss();
    // The change is made; syncing the folder only makes the rename durable sooner.
    ::fsync(dir);
}

void replaceFile(const QString& what, const QString& path, const QByteArray& bytes, mode_t mode) {
    const QString folder = QFileInfo(path).path();
    const posix::Fd dir(::open(native(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        raiseIo(what, folder, errno);
    replaceFileAt(what, dir.get(), path, bytes, mode);
}

} // namespace platform::machinefiles
