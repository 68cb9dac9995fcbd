#pragma once

// The kernel32 calls whose late failures a copy must survive (a write cut short, a delayed
// write error at flush or close, a lost final rename); tests replace them to make them fail.
// Windows' types as they are in mingw-w64: BOOL int, DWORD unsigned long, HANDLE void*.
namespace platform::win32 {

class FileIo {
public:
    virtual ~FileIo() = default;
    virtual int WriteFile(void* file, const void* buffer, unsigned long toWrite,
                          unsigned long* written);
    virtual int FlushFileBuffers(void* file);
    virtual int CloseHandle(void* file);
    virtual int MoveFileExA(const char* from, const char* to, unsigned long flags);
};

} // namespace platform::win32
