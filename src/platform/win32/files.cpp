// The file calls over kernel32 handles. A destination is written as a hidden temporary beside
// it that takes its name only once complete, flushed and closed; the old destination is held
// with share mode 0 until then, so no second copy and no other open reaches it meanwhile.
#include "platform/files/files.h"

#include "platform/win32/ansi.h"
#include "platform/win32/fileio.h"
#include "runtime/errors.h"
#include "runtime/seam.h"

#include <map>
#include <new>
#include <windows.h>

namespace platform {

namespace {
win32::FileIo& io() {
    static win32::FileIo real;
    return use<win32::FileIo>(real);
}

struct OpenFile {
    // A source's size and last write when it was opened.
    ULARGE_INTEGER size{};
    FILETIME written{};
    // A destination: its temporary, its name, and the old file held until it is replaced.
    std::string temp, name;
    HANDLE existing = INVALID_HANDLE_VALUE;
};

std::map<HANDLE, OpenFile>& openFiles() {
    static std::map<HANDLE, OpenFile> files;
    return files;
}

// A name as the ...A calls take it; false for one that no file can have here.
bool ansiName(const std::string& path, std::string& ansi) {
    return !path.empty() && path.find('\0') == std::string::npos && win32::toAnsi(path, ansi);
}

bool info(HANDLE file, BY_HANDLE_FILE_INFORMATION& facts) {
    return ::GetFileInformationByHandle(file, &facts) != 0;
}

// `ok`; closes `file` when false.
bool keptIf(bool ok, HANDLE file) {
    if (!ok)
        ::CloseHandle(file);
    return ok;
}

HANDLE openSource(const std::string& ansi) {
    const HANDLE file = ::CreateFileA(ansi.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    BY_HANDLE_FILE_INFORMATION facts{};
    // Devices (CON, NUL) and pipes are no files to copy.
    if (file == INVALID_HANDLE_VALUE ||
        !keptIf(::GetFileType(file) == FILE_TYPE_DISK && info(file, facts), file))
        return INVALID_HANDLE_VALUE;
    OpenFile& f = openFiles()[file];
    f.size.HighPart = facts.nFileSizeHigh;
    f.size.LowPart = facts.nFileSizeLow;
    f.written = facts.ftLastWriteTime;
    return file;
}

HANDLE openDestination(const std::string& path, HANDLE source) {
    // Split where the text is UTF-8: an ANSI trail byte may look like a separator.
    const std::size_t cut = path.find_last_of("\\/:") + 1;
    const std::string name = path.substr(cut);
    OpenFile f;
    if (name.empty() || !ansiName(path, f.name) ||
        !win32::toAnsi(path.substr(0, cut) + '.' + name + ".zintra-part", f.temp) ||
        (source != INVALID_HANDLE_VALUE && IsSameFile(path, source)))
        return INVALID_HANDLE_VALUE;
    // The old file, held unshared: another copy to it, or from it, fails from now on.
    f.existing = ::CreateFileA(f.name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f.existing == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return INVALID_HANDLE_VALUE;
    if (f.existing != INVALID_HANDLE_VALUE &&
        !keptIf(::GetFileType(f.existing) == FILE_TYPE_DISK, f.existing))
        return INVALID_HANDLE_VALUE;
    // A leftover of a killed copy is overwritten; one another copy holds is refused.
    const HANDLE file = ::CreateFileA(f.temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (f.existing != INVALID_HANDLE_VALUE)
            ::CloseHandle(f.existing);
        return INVALID_HANDLE_VALUE;
    }
    openFiles()[file] = std::move(f);
    return file;
}
} // namespace

IoBuffer::IoBuffer(std::size_t size) {
    void* memory = ::VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!memory)
        throw std::bad_alloc();
    data_.reset(static_cast<std::byte*>(memory));
}

void IoBuffer::Free::operator()(std::byte* p) const {
    ::VirtualFree(p, 0, MEM_RELEASE);
}

HANDLE CreateFileA(const std::string& path, std::uint32_t desiredAccess, std::uint32_t shareMode,
                   std::uint32_t creationDisposition, std::uint32_t, HANDLE templateFile) {
    std::string ansi;
    if (shareMode != 0 || !ansiName(path, ansi)) {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (desiredAccess == GENERIC_READ && creationDisposition == OPEN_EXISTING)
        return openSource(ansi);
    if (desiredAccess == GENERIC_WRITE && creationDisposition == CREATE_ALWAYS)
        return openDestination(path, templateFile);
    return INVALID_HANDLE_VALUE;
}

bool ReadFile(HANDLE file, void* buffer, std::uint32_t toRead, std::uint32_t& bytesRead) {
    bytesRead = 0;
    auto* out = static_cast<char*>(buffer);
    while (bytesRead < toRead) {
        DWORD n = 0;
        if (!::ReadFile(file, out + bytesRead, toRead - bytesRead, &n, nullptr))
            return false;
        if (n == 0)
            break;
        bytesRead += n;
    }
    return true;
}

bool ReadOrMoveBlock(HANDLE source, HANDLE, void* buffer, std::uint32_t toRead,
                     std::uint32_t& bytesRead, bool& moved) {
    moved = false;
    return ReadFile(source, buffer, toRead, bytesRead);
}

bool WriteFile(HANDLE file, const void* buffer, std::uint32_t toWrite,
               std::uint32_t& bytesWritten) {
    bytesWritten = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (bytesWritten < toWrite) {
        DWORD n = 0;
        if (!io().WriteFile(file, in + bytesWritten, toWrite - bytesWritten, &n) || n == 0)
            return false;
        bytesWritten += n;
    }
    return true;
}

bool CloseHandle(HANDLE file) {
    openFiles().erase(file);
    return io().CloseHandle(file) != 0;
}

// NTFS gives back what lies beyond the end of file when the file closes.
void PreallocateFile(HANDLE file, std::int64_t length) {
    FILE_ALLOCATION_INFO room{};
    room.AllocationSize.QuadPart = length;
    if (length > 0)
        ::SetFileInformationByHandle(file, FileAllocationInfo, &room, sizeof room);
}

bool IsUnchangedSinceOpen(HANDLE file, std::int64_t bytesRead) {
    const auto it = openFiles().find(file);
    BY_HANDLE_FILE_INFORMATION now{};
    if (it == openFiles().end() || !info(file, now))
        return false;
    const OpenFile& f = it->second;
    return now.nFileSizeHigh == f.size.HighPart && now.nFileSizeLow == f.size.LowPart &&
           ::CompareFileTime(&now.ftLastWriteTime, &f.written) == 0 &&
           bytesRead == static_cast<std::int64_t>(f.size.QuadPart);
}

bool CloseOutputFile(HANDLE file) {
    auto node = openFiles().extract(file);
    if (node.empty())
        return ::CloseHandle(file) != 0;
    OpenFile& f = node.mapped();
    // Visible once it has the name; the old file is let go only for the replace itself.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    const bool replacing = f.existing != INVALID_HANDLE_VALUE;
    const bool written = ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) &&
                         io().FlushFileBuffers(file);
    const bool closed = io().CloseHandle(file) != 0;
    const bool released =
        !replacing || io().CloseHandle(std::exchange(f.existing, INVALID_HANDLE_VALUE));
    // A new name taken meanwhile by another file is not replaced.
    const DWORD how = MOVEFILE_WRITE_THROUGH | (replacing ? MOVEFILE_REPLACE_EXISTING : 0);
    if (written && closed && released && io().MoveFileExA(f.temp.c_str(), f.name.c_str(), how))
        return true;
    ::DeleteFileA(f.temp.c_str());
    return false;
}

void DiscardIncompleteFile(HANDLE file) {
    auto node = openFiles().extract(file);
    ::CloseHandle(file);
    if (node.empty())
        return;
    if (node.mapped().existing != INVALID_HANDLE_VALUE)
        ::CloseHandle(node.mapped().existing);
    ::DeleteFileA(node.mapped().temp.c_str());
}

int win32::FileIo::WriteFile(void* file, const void* buffer, unsigned long toWrite,
                             unsigned long* written) {
    return ::WriteFile(file, buffer, toWrite, written, nullptr);
}

int win32::FileIo::FlushFileBuffers(void* file) {
    return ::FlushFileBuffers(file);
}

int win32::FileIo::CloseHandle(void* file) {
    return ::CloseHandle(file);
}

int win32::FileIo::MoveFileExA(const char* from, const char* to, unsigned long flags) {
    return ::MoveFileExA(from, to, flags);
}

bool IsSameFile(const std::string& path, HANDLE file) {
    std::string ansi;
    if (!ansiName(path, ansi))
        return false;
    // No access asked: no share mode stands in the way, not even the file's own copy's.
    const HANDLE other =
        ::CreateFileA(ansi.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (other == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    const bool same = info(other, a) && info(file, b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                      a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    return ::CloseHandle(other) && same;
}

std::int64_t FileLen(const std::string& path) {
    std::string ansi;
    WIN32_FILE_ATTRIBUTE_DATA facts{};
    if (!ansiName(path, ansi) ||
        !::GetFileAttributesExA(ansi.c_str(), GetFileExInfoStandard, &facts))
        Raise(err::FileNotFound, "File not found");
    ULARGE_INTEGER size{};
    size.HighPart = facts.nFileSizeHigh;
    size.LowPart = facts.nFileSizeLow;
    return static_cast<std::int64_t>(size.QuadPart);
}

} // namespace platform
