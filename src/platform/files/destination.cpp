// The destination's half of the file calls: a regular destination is written as a temporary
// file beside it that takes its name only once the copy is complete and closed, so a failed,
// interrupted or killed copy leaves the old file as it was, and a file that is the source
// under another name (an overlay's lower file, a FUSE mirror's backing file) is never written.
#include "platform/files/openfiles.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

using namespace files;

namespace {
constexpr std::string_view TempMarker = ".zintra-part";

// Hidden, marked as ours, and the same for every copy to one destination, so that the next
// copy finds what a killed one left. A name too long for the marker is cut: two such names
// sharing their first 242 bytes take turns.
std::string temporaryName(const std::string& name) {
    return "." + name.substr(0, NAME_MAX - 1 - TempMarker.size()) + std::string(TempMarker);
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool names(int folder, const std::string& name, const struct stat& file) {
    struct stat st {};
    return ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(st, file);
}

// A temporary that nobody holds is what a killed copy left; one held is another copy's.
void removeLeftover(int folder, const std::string& temp) {
    const posix::Fd fd(
        ::openat(folder, temp.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid())
        return;
    struct stat st {};
    const bool free = io().flock(fd.get(), LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
    if (free && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && names(folder, temp, st))
        ::unlinkat(folder, temp.c_str(), 0); // if it stays, the new temporary's open fails
}

// An unnamed file where the file system offers one (nothing is left if the process dies),
// else a hidden name of our own. Locked shared: the descriptor that later puts the file in
// place holds it too, and a clean-up's exclusive lock fails while either does.
posix::Fd createTemporary(int folder, const std::string& name, mode_t mode, OpenFile& f) {
    posix::Fd fd(io().openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    if (!fd.valid() && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return fd;
    if (!fd.valid()) {
        f.temp = temporaryName(name);
        removeLeftover(folder, f.temp);
        fd = posix::Fd(io().openat(folder, f.temp.c_str(),
                                   O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (!fd.valid())
            return fd;
    }
    struct stat st {};
    if ((io().flock(fd.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) ||
        ::fstat(fd.get(), &st) != 0) {
        // A named file we created but someone else locked first is theirs now.
        fd = {};
        errno = EEXIST;
        return fd;
    }
    f.dev = st.st_dev;
    f.ino = st.st_ino;
    f.replacing = f.kernelMoves = true;
    return fd;
}

// What the destination held besides `fd` closes with `f`.
HANDLE failed(posix::Fd fd, const OpenFile& f) {
    if (fd.valid() && !f.temp.empty() && f.replacing)
        ::unlinkat(f.folder.get(), f.temp.c_str(), 0);
    return INVALID_HANDLE_VALUE;
}

HANDLE opened(int fd, OpenFile f) {
    f.output = true;
    openFiles()[fd] = std::move(f);
    return fd;
}

// A device, or a regular file in a folder that takes no new file: emptied and written where it
// is, once it is known to be the file expected and nobody else's.
HANDLE openInPlace(OpenFile f, const struct stat& expected) {
    posix::Fd fd(::openat(f.folder.valid() ? f.folder.get() : AT_FDCWD, f.name.c_str(),
                          O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    // A regular file here is already held and locked as `f.existing`.
    const bool ok = fd.valid() && ::fstat(fd.get(), &st) == 0 && sameFile(st, expected) &&
                    (f.existing.valid() || (!heldByUs(st) && lockExclusive(fd.get()))) &&
                    (!S_ISREG(st.st_mode) || ::ftruncate(fd.get(), 0) == 0) &&
                    clearNonBlocking(fd.get());
    if (!ok)
        return failed(std::move(fd), f);
    f.dev = st.st_dev;
    f.ino = st.st_ino;
    f.kernelMoves = S_ISREG(st.st_mode);
    return opened(fd.release(), std::move(f));
}

posix::Fd openFolder(const std::string& path, std::string& name) {
    const auto slash = path.rfind('/');
    name = path.substr(slash + 1); // the whole path when it has no slash
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash ? slash : 1);
    return posix::Fd(name.empty() ? -1 : ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

HANDLE replaceNew(const std::string& path, mode_t mode) {
    OpenFile f;
    f.folder = openFolder(path, f.name);
    posix::Fd fd =
        f.folder.valid() ? createTemporary(f.folder.get(), f.name, mode, f) : posix::Fd();
    return fd.valid() ? opened(fd.release(), std::move(f)) : failed(std::move(fd), f);
}

// May this user rename over the file? Not in a sticky folder (/tmp) over another's file.
bool mayReplace(int folder, const struct stat& file) {
    struct stat st {};
    const uid_t me = ::geteuid();
    return ::fstat(folder, &st) == 0 &&
           (!(st.st_mode & S_ISVTX) || me == 0 || file.st_uid == me || st.st_uid == me);
}

HANDLE replaceExisting(const std::string& path) {
    OpenFile f;
    // Held read-only: if it is the source under another name, it is never opened for writing.
    f.existing = posix::Fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!f.existing.valid() && errno == EACCES) // a file one may write but not read: held unlocked
        f.existing = posix::Fd(::open(path.c_str(), O_PATH | O_CLOEXEC));
    struct stat old {};
    if (!f.existing.valid() || ::fstat(f.existing.get(), &old) != 0 || !S_ISREG(old.st_mode) ||
        heldByUs(old) || !lockExclusive(f.existing.get()))
        return failed({}, f);
    f.existingDev = old.st_dev;
    f.existingIno = old.st_ino;
    // Its contents are about to be replaced: their cached pages go now, for the copy to reuse,
    // as truncating in place would give them back. A failed copy only reads them from disk.
    ::posix_fadvise(f.existing.get(), 0, 0, POSIX_FADV_DONTNEED);

    // The temporary goes beside the file itself, not beside a link to it.
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    f.folder = real ? openFolder(real.get(), f.name) : posix::Fd();
    // A file the user may not write stays refused, though its folder would take a new one.
    if (!f.folder.valid() || !names(f.folder.get(), f.name, old) ||
        ::faccessat(f.folder.get(), f.name.c_str(), W_OK, AT_EACCESS) != 0)
        return failed({}, f);

    posix::Fd fd;
    errno = EPERM;
    if (mayReplace(f.folder.get(), old))
        fd = createTemporary(f.folder.get(), f.name, old.st_mode & 0777, f);
    if (!fd.valid() && (errno == EACCES || errno == EPERM))
        return openInPlace(std::move(f), old);
    // O_TMPFILE and O_CREAT take the umask off: the existing file's mode is set again, with
    // the set-id bits only for root, as writing in place would have kept them.
    const bool root = ::geteuid() == 0;
    if (!fd.valid() || (root && ::fchown(fd.get(), old.st_uid, old.st_gid) != 0) ||
        ::fchmod(fd.get(), old.st_mode & (root ? 07777 : 0777)) != 0)
        return failed(std::move(fd), f);
    return opened(fd.release(), std::move(f));
}

mode_t creationMode(HANDLE templateFile) {
    struct stat st {};
    if (templateFile != INVALID_HANDLE_VALUE && ::fstat(templateFile, &st) == 0)
        return st.st_mode & 0777;
    return 0666;
}

// Gives back room reserved beyond the bytes written: a file that stays must not keep it.
void giveBackRoom(int fd, const OpenFile& f) {
    struct stat st {};
    if (f.reserved && ::fstat(fd, &st) == 0)
        ::ftruncate(fd, st.st_size);
}

// The temporary takes the destination's name: over the file held all along, or as a new name
// that nobody took meanwhile.
bool takeName(const OpenFile& f) {
    struct stat now {};
    const int folder = f.folder.get();
    if (::fstatat(folder, f.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0) {
        const bool held =
            f.existing.valid() && now.st_dev == f.existingDev && now.st_ino == f.existingIno;
        return held && ::renameat(folder, f.temp.c_str(), folder, f.name.c_str()) == 0;
    }
    if (::renameat2(folder, f.temp.c_str(), folder, f.name.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    // Without RENAME_NOREPLACE (NFS), the look above must do.
    return errno == EINVAL && ::renameat(folder, f.temp.c_str(), folder, f.name.c_str()) == 0;
}

bool finishReplacement(int fd, OpenFile& f) {
    if (f.temp.empty()) {
        // An unnamed file needs a name before it can take another's.
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        const std::string temp = temporaryName(f.name);
        auto link = [&] {
            return ::linkat(AT_FDCWD, self.c_str(), f.folder.get(), temp.c_str(),
                            AT_SYMLINK_FOLLOW) == 0;
        };
        if (!link() && (errno != EEXIST || (removeLeftover(f.folder.get(), temp), !link()))) {
            io().close(fd);
            return false;
        }
        f.temp = temp;
    }
    // A second descriptor holds the temporary while the first closes, so that no clean-up
    // takes it for a leftover before it has its name.
    const posix::Fd holder(
        ::openat(f.folder.get(), f.temp.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat mine {};
    const bool held = holder.valid() && ::fstat(fd, &mine) == 0 &&
                      names(f.folder.get(), f.temp, mine) &&
                      (io().flock(holder.get(), LOCK_SH | LOCK_NB) == 0 || errno != EWOULDBLOCK);
    const bool closed = io().close(fd) == 0;
    const bool placed = held && closed && takeName(f);
    if (!placed && held)
        ::unlinkat(f.folder.get(), f.temp.c_str(), 0);
    return placed;
}

bool refusedByKernel(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
           error == EBADF;
}
} // namespace

namespace files {

HANDLE openDestination(const std::string& path, HANDLE templateFile) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? replaceNew(path, creationMode(templateFile))
                               : INVALID_HANDLE_VALUE;
    if (S_ISCHR(st.st_mode)) {
        OpenFile device;
        device.name = path;
        return openInPlace(std::move(device), st);
    }
    return S_ISREG(st.st_mode) ? replaceExisting(path) : INVALID_HANDLE_VALUE;
}

} // namespace files

void PreallocateFile(HANDLE file, std::int64_t length) {
    const auto it = openFiles().find(file);
    if (length <= 0 || it == openFiles().end())
        return;
    // Marked before asking: a reservation that fails part-way may keep what it got. Failing
    // is no reason to stop the copy.
    it->second.reserved = true;
    io().fallocate(file, length);
}

bool ReadOrMoveBlock(HANDLE source, HANDLE destination, void* buffer, std::uint32_t toRead,
                     std::uint32_t& bytesRead, bool& moved) {
    bytesRead = 0;
    moved = false;
    const auto in = openFiles().find(source);
    const auto out = openFiles().find(destination);
    // A source that reports no size (/proc, /sys) may claim to end at once when asked this way.
    if (in != openFiles().end() && in->second.size > 0 && out != openFiles().end() &&
        out->second.kernelMoves) {
        while (bytesRead < toRead) {
            const ssize_t n = posix::retryOnInterrupt(
                [&] { return io().copy_file_range(source, destination, toRead - bytesRead); });
            if (n > 0) {
                bytesRead += static_cast<std::uint32_t>(n);
            } else if (n < 0 && !refusedByKernel(errno)) {
                return false;
            } else {
                // The end, or a pair the kernel will not move: the buffer takes over from here.
                out->second.kernelMoves = false;
                break;
            }
        }
        moved = bytesRead > 0;
        if (moved)
            return true;
    }
    return ReadFile(source, buffer, toRead, bytesRead);
}

bool CloseOutputFile(HANDLE file) {
    auto node = openFiles().extract(file);
    if (node.empty())
        return io().close(file) == 0;
    OpenFile& f = node.mapped();
    giveBackRoom(file, f);
    return f.replacing ? finishReplacement(file, f) : io().close(file) == 0;
}

void DiscardIncompleteFile(HANDLE file) {
    auto node = openFiles().extract(file);
    if (node.empty()) {
        io().close(file);
        return;
    }
    OpenFile& f = node.mapped();
    giveBackRoom(file, f);
    struct stat mine {};
    // While the open handle keeps the file's identity from being reused.
    if (f.replacing && !f.temp.empty() && ::fstat(file, &mine) == 0 &&
        names(f.folder.get(), f.temp, mine))
        ::unlinkat(f.folder.get(), f.temp.c_str(), 0);
    io().close(file);
}

} // namespace platform
