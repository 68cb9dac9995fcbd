#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

// The file calls of a copy: over POSIX descriptors on Linux, over kernel32 handles on Windows.
//
// Opens are exclusive ("no sharing"): an open fails while another open of this program holds
// the same file, and a destination never opens onto a file that is already open for a copy,
// by whatever path it is named. A source is never created, truncated or written.
namespace platform {

#ifdef _WIN32
using HANDLE = void*;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(std::intptr_t{-1});
#else
using HANDLE = int;
inline constexpr HANDLE INVALID_HANDLE_VALUE = -1;
#endif

inline constexpr std::uint32_t GENERIC_READ = 0x80000000u;
inline constexpr std::uint32_t GENERIC_WRITE = 0x40000000u;
inline constexpr std::uint32_t CREATE_ALWAYS = 2;
inline constexpr std::uint32_t OPEN_EXISTING = 3;
inline constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;

// GENERIC_READ with OPEN_EXISTING opens an existing regular file (or a link to one).
// GENERIC_WRITE with CREATE_ALWAYS opens a destination. A regular file, new or existing, is
// written as a temporary file in its folder that takes its name only once complete and closed
// (CloseOutputFile); an existing one is held, locked and never written meanwhile, and its mode
// (and, for root, owner and group) carries over. A new file gets the permission bits of
// `templateFile` less the umask. A device, or a file in a folder that takes no new file, is
// emptied and written in place after the identity check and the lock. Share mode 0 is the only
// one there is.
HANDLE CreateFileA(const std::string& path, std::uint32_t desiredAccess, std::uint32_t shareMode,
                   std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes,
                   HANDLE templateFile = INVALID_HANDLE_VALUE);

// Reads until `toRead` bytes are in or the file ends; false on an error.
bool ReadFile(HANDLE file, void* buffer, std::uint32_t toRead, std::uint32_t& bytesRead);

// The next block of `source`, moved straight into `destination` inside the kernel where it
// can (`moved` true: nothing is left to write), or else read into `buffer` as ReadFile does.
bool ReadOrMoveBlock(HANDLE source, HANDLE destination, void* buffer, std::uint32_t toRead,
                     std::uint32_t& bytesRead, bool& moved);

// Writes every byte or fails; a short count means the write failed.
bool WriteFile(HANDLE file, const void* buffer, std::uint32_t toWrite, std::uint32_t& bytesWritten);

bool CloseHandle(HANDLE file);

// Reserves room for `length` bytes without changing the file's size, so that its size is
// always the bytes really written. A file system that cannot is no reason to fail. Closing or
// discarding the file gives back whatever room lies beyond its size, also when the
// reservation failed part-way.
void PreallocateFile(HANDLE file, std::int64_t length);

// True when a source read to its end gave the whole file as it was opened: its size,
// modification and change times are still those it had then, and `bytesRead` is that size
// (any count, for a file that reported a size of 0, as /proc and /sys files do). A source that
// was deleted meanwhile is unchanged: its open handle still reads the original bytes.
bool IsUnchangedSinceOpen(HANDLE file, std::int64_t bytesRead);

// Closes a finished destination and puts it in place: the temporary takes the destination's
// name, unless that name meanwhile came to stand for another file. Network and quota file
// systems report delayed write errors only at close: a failed close, like any failed step,
// discards the copy as DiscardIncompleteFile does.
bool CloseOutputFile(HANDLE file);

// Closes a destination whose copy failed. A temporary is removed, so the old destination stays
// as it was; a file written in place keeps the bytes written.
void DiscardIncompleteFile(HANDLE file);

// True when `path` names the file open under `file` (same device and inode).
bool IsSameFile(const std::string& path, HANDLE file);

// The size in bytes of a named file; raises "File not found" when there is none.
std::int64_t FileLen(const std::string& path);

// Owns a handle: closes it when dropped, or for a destination, discards the incomplete file,
// so that every early way out is safe. The copy still closes each handle where it means to.
class UniqueHandle {
public:
    enum class OnDrop { Close, DiscardIncomplete };
    explicit UniqueHandle(HANDLE file, OnDrop onDrop = OnDrop::Close)
        : file_(file), onDrop_(onDrop) {}
    ~UniqueHandle() {
        if (onDrop_ == OnDrop::Close)
            close();
        else
            discardIncomplete();
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return file_; }
    bool valid() const { return file_ != INVALID_HANDLE_VALUE; }
    // False when a destination's close failed (its file is then discarded).
    bool close() {
        return !valid() || (onDrop_ == OnDrop::Close ? CloseHandle : CloseOutputFile)(
                               std::exchange(file_, INVALID_HANDLE_VALUE));
    }
    void discardIncomplete() {
        if (valid())
            DiscardIncompleteFile(std::exchange(file_, INVALID_HANDLE_VALUE));
    }

private:
    HANDLE file_;
    OnDrop onDrop_;
};

// A buffer for whole-block reads and writes, allocated once per copy. Its alignment matters:
// an unaligned 4 MiB buffer runs the copy loop up to twice as slowly, and huge pages (where the
// kernel offers them) cut the cost of moving each block through it. Throws std::bad_alloc.
class IoBuffer {
public:
    explicit IoBuffer(std::size_t size);
    std::byte* data() const { return data_.get(); }

private:
    struct Free {
        void operator()(std::byte* p) const;
    };
    std::unique_ptr<std::byte[], Free> data_;
};

} // namespace platform
