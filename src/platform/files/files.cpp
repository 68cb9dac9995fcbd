#include "platform/files/files.h"

#include "platform/runtime/errors.h"
#include "platform/runtime/seam.h"
#include "platform/runtime/text.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/falloc.h>
#include <map>
#include <new>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {
struct OpenFile {
    dev_t dev;
    ino_t ino;
    std::string path;
    bool regular;
    bool emptiedByUs;      // created or truncated by this open
    bool reserved = false; // room reserved beyond the bytes written
    off_t size = 0;        // a source's size and modification time when it was opened
    timespec mtime{};
};

std::map<HANDLE, OpenFile>& openFiles() {
    static std::map<HANDLE, OpenFile> files;
    return files;
}

FileIo realIo;

bool heldByUs(const struct stat& st) {
    for (const auto& [fd, f] : openFiles())
        if (f.dev == st.st_dev && f.ino == st.st_ino)
            return true;
    return false;
}

// No sharing: an exclusive lock on the open file description. NFS refuses that on a read-only
// descriptor (EBADF) but grants a shared lock, which still keeps every writer out. File systems
// that cannot lock at all are no reason to fail; the identity check still keeps a copy off its
// own source.
bool lockExclusive(int fd) {
    if (use<FileIo>(realIo).flock(fd, LOCK_EX | LOCK_NB) == 0)
        return true;
    if (errno == EBADF && use<FileIo>(realIo).flock(fd, LOCK_SH | LOCK_NB) == 0)
        return true;
    return errno != EWOULDBLOCK;
}

bool clearNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

HANDLE openSource(const std::string& path) {
    // O_NONBLOCK: opening a FIFO must never wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || heldByUs(st) || !lockExclusive(fd) ||
        !clearNonBlocking(fd)) {
        ::close(fd);
        return INVALID_HANDLE_VALUE;
    }
    openFiles()[fd] = {st.st_dev, st.st_ino, path, true, false, false, st.st_size, st.st_mtim};
    return fd;
}

mode_t creationMode(HANDLE templateFile) {
    struct stat st {};
    if (templateFile != INVALID_HANDLE_VALUE && ::fstat(templateFile, &st) == 0)
        return st.st_mode & 0777;
    return 0666;
}

HANDLE openDestination(const std::string& path, HANDLE templateFile) {
    const int flags = O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    bool created = true;
    int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, creationMode(templateFile));
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = ::open(path.c_str(), flags);
    }
    if (fd < 0)
        return INVALID_HANDLE_VALUE;

    struct stat st {};
    const bool locked = ::fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISCHR(st.st_mode)) &&
                        !heldByUs(st) && lockExclusive(fd);
    if (!locked || (S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0) || !clearNonBlocking(fd)) {
        // A file we created but another copy locked first is that copy's file now.
        if (created && locked)
            ::unlink(path.c_str());
        ::close(fd);
        return INVALID_HANDLE_VALUE;
    }
    openFiles()[fd] = {st.st_dev, st.st_ino, path, S_ISREG(st.st_mode), S_ISREG(st.st_mode)};
    return fd;
}
} // namespace

IoBuffer::IoBuffer(std::size_t size) {
    // Whole huge pages where the kernel offers them, the rest on ordinary pages: a block and a
    // byte takes two huge pages and one small page, not a third huge page for one byte.
    constexpr std::size_t HugePage = 2 << 20;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t rounded = (size + page - 1) / page * page;
    void* memory = nullptr;
    if (::posix_memalign(&memory, HugePage, rounded) != 0)
        throw std::bad_alloc();
    data_.reset(static_cast<std::byte*>(memory));
    if (const std::size_t huge = size / HugePage * HugePage)
        ::madvise(data_.get(), huge, MADV_HUGEPAGE);
}

void IoBuffer::Free::operator()(std::byte* p) const {
    std::free(p);
}

ssize_t FileIo::read(int fd, void* buffer, size_t count) {
    return ::read(fd, buffer, count);
}

ssize_t FileIo::write(int fd, const void* buffer, size_t count) {
    return ::write(fd, buffer, count);
}

int FileIo::close(int fd) {
    return ::close(fd);
}

int FileIo::flock(int fd, int operation) {
    return ::flock(fd, operation);
}

HANDLE CreateFileA(const std::string& path, std::uint32_t desiredAccess, std::uint32_t shareMode,
                   std::uint32_t creationDisposition, std::uint32_t, HANDLE templateFile) {
    if (shareMode != 0 || path.empty() || path.find('\0') != std::string::npos)
        return INVALID_HANDLE_VALUE;
    if (desiredAccess == GENERIC_READ && creationDisposition == OPEN_EXISTING)
        return openSource(path);
    if (desiredAccess == GENERIC_WRITE && creationDisposition == CREATE_ALWAYS)
        return openDestination(path, templateFile);
    return INVALID_HANDLE_VALUE;
}

bool ReadFile(HANDLE file, void* buffer, std::uint32_t toRead, std::uint32_t& bytesRead) {
    bytesRead = 0;
    auto* out = static_cast<char*>(buffer);
    while (bytesRead < toRead) {
        const ssize_t n = use<FileIo>(realIo).read(file, out + bytesRead, toRead - bytesRead);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        bytesRead += static_cast<std::uint32_t>(n);
    }
    return true;
}

bool WriteFile(HANDLE file, const void* buffer, std::uint32_t toWrite,
               std::uint32_t& bytesWritten) {
    bytesWritten = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (bytesWritten < toWrite) {
        const ssize_t n =
            use<FileIo>(realIo).write(file, in + bytesWritten, toWrite - bytesWritten);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytesWritten += static_cast<std::uint32_t>(n);
    }
    return true;
}

bool CloseHandle(HANDLE file) {
    openFiles().erase(file);
    return use<FileIo>(realIo).close(file) == 0;
}

void PreallocateFile(HANDLE file, std::int64_t length) {
    const auto it = openFiles().find(file);
    if (length > 0 && ::fallocate(file, FALLOC_FL_KEEP_SIZE, 0, length) == 0 &&
        it != openFiles().end())
        it->second.reserved = true;
}

bool IsUnchangedSinceOpen(HANDLE file, std::int64_t bytesRead) {
    const auto it = openFiles().find(file);
    struct stat st {};
    return it != openFiles().end() && ::fstat(file, &st) == 0 && st.st_size == it->second.size &&
           st.st_mtim.tv_sec == it->second.mtime.tv_sec &&
           st.st_mtim.tv_nsec == it->second.mtime.tv_nsec && bytesRead == st.st_size;
}

namespace {
// Truncating to its own size frees the reserved blocks beyond it, also on failure: a file
// that stays (one we may not remove) must not keep them.
OpenFile forgetOutput(HANDLE file) {
    auto node = openFiles().extract(file);
    if (node.empty())
        return {};
    struct stat st {};
    if (node.mapped().reserved && ::fstat(file, &st) == 0)
        ::ftruncate(file, st.st_size);
    return std::move(node.mapped());
}

void removeIfOurs(const OpenFile& f) {
    struct stat st {};
    if (f.regular && f.emptiedByUs && ::stat(f.path.c_str(), &st) == 0 && st.st_dev == f.dev &&
        st.st_ino == f.ino)
        ::unlink(f.path.c_str());
}
} // namespace

bool CloseOutputFile(HANDLE file) {
    const OpenFile f = forgetOutput(file);
    if (use<FileIo>(realIo).close(file) == 0)
        return true;
    removeIfOurs(f);
    return false;
}

void DiscardIncompleteFile(HANDLE file) {
    const OpenFile f = forgetOutput(file);
    removeIfOurs(f); // while the open handle keeps the file's identity from being reused
    use<FileIo>(realIo).close(file);
}

bool IsSameFile(const std::string& path, HANDLE file) {
    struct stat a {
    }, b{};
    return ::stat(path.c_str(), &a) == 0 && ::fstat(file, &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

std::int64_t FileLen(const QString& path) {
    const std::string name = toAnsi(path);
    struct stat st {};
    if (name.empty() || name.find('\0') != std::string::npos || ::stat(name.c_str(), &st) != 0)
        Raise(err::FileNotFound, QStringLiteral("File not found"));
    return st.st_size;
}

} // namespace platform
