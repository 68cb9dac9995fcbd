#include "platform/files/files.h"

#include "platform/files/fileio.h"
#include "platform/files/openfiles.h"
#include "runtime/errors.h"
#include "runtime/seam.h"
#include "runtime/text.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/falloc.h>
#include <new>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace files {

std::map<HANDLE, OpenFile>& openFiles() {
    static std::map<HANDLE, OpenFile> files;
    return files;
}

FileIo& io() {
    static FileIo real;
    return use<FileIo>(real);
}

bool heldByUs(const struct stat& st) {
    for (const auto& [fd, f] : openFiles())
        if ((f.dev == st.st_dev && f.ino == st.st_ino) ||
            (f.existing.valid() && f.existingDev == st.st_dev && f.existingIno == st.st_ino))
            return true;
    return false;
}

bool lockExclusive(int fd) {
    if (io().flock(fd, LOCK_EX | LOCK_NB) == 0)
        return true;
    if (errno == EBADF && io().flock(fd, LOCK_SH | LOCK_NB) == 0)
        return true;
    return errno != EWOULDBLOCK;
}

bool clearNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

} // namespace files

using namespace files;

namespace {
HANDLE openSource(const std::string& path) {
    // O_NONBLOCK: opening a FIFO must never wait for a writer.
    posix::Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || heldByUs(st) ||
        !lockExclusive(fd.get()) || !clearNonBlocking(fd.get()))
        return INVALID_HANDLE_VALUE;
    OpenFile& f = openFiles()[fd.get()];
    f.dev = st.st_dev;
    f.ino = st.st_ino;
    f.size = st.st_size;
    f.mtime = st.st_mtim;
    f.ctime = st.st_ctim;
    return fd.release();
}

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
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

int FileIo::openat(int folder, const char* name, int flags, mode_t mode) {
    return ::openat(folder, name, flags, mode);
}

ssize_t FileIo::copy_file_range(int in, int out, size_t count) {
    return ::copy_file_range(in, nullptr, out, nullptr, count, 0);
}

int FileIo::fallocate(int fd, off_t length) {
    return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, length);
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
        const ssize_t n = posix::retryOnInterrupt(
            [&] { return io().read(file, out + bytesRead, toRead - bytesRead); });
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
        const ssize_t n = posix::retryOnInterrupt(
            [&] { return io().write(file, in + bytesWritten, toWrite - bytesWritten); });
        if (n <= 0)
            return false;
        bytesWritten += static_cast<std::uint32_t>(n);
    }
    return true;
}

bool CloseHandle(HANDLE file) {
    openFiles().erase(file);
    return io().close(file) == 0;
}

bool IsUnchangedSinceOpen(HANDLE file, std::int64_t bytesRead) {
    const auto it = openFiles().find(file);
    struct stat st {};
    if (it == openFiles().end() || ::fstat(file, &st) != 0)
        return false;
    const OpenFile& f = it->second;
    // The change time too: a rewrite can put the modification time back, nobody the change time.
    return st.st_size == f.size && sameTime(st.st_mtim, f.mtime) && sameTime(st.st_ctim, f.ctime) &&
           (bytesRead == f.size || f.size == 0);
}

bool IsSameFile(const std::string& path, HANDLE file) {
    struct stat a {
    }, b{};
    return ::stat(path.c_str(), &a) == 0 && ::fstat(file, &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

std::int64_t FileLen(const std::string& path) {
    struct stat st {};
    if (path.empty() || path.find('\0') != std::string::npos || ::stat(path.c_str(), &st) != 0)
        Raise(err::FileNotFound, "File not found");
    return st.st_size;
}

} // namespace platform
