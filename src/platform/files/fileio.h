#pragma once

#include <sys/types.h>

namespace platform {

// The raw calls beneath the file calls; tests replace them to make them fail.
class FileIo {
public:
    virtual ~FileIo() = default;
    virtual ssize_t read(int fd, void* buffer, size_t count);
    virtual ssize_t write(int fd, const void* buffer, size_t count);
    virtual int close(int fd);
    virtual int flock(int fd, int operation);
    virtual int openat(int folder, const char* name, int flags, mode_t mode);
    virtual ssize_t copy_file_range(int in, int out, size_t count);
    virtual int fallocate(int fd, off_t length);
};

} // namespace platform
