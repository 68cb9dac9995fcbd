#pragma once

#include "platform/files/fileio.h"
#include "platform/files/files.h"
#include "platform/posix/fd.h"

#include <ctime>
#include <map>
#include <string>
#include <sys/stat.h>

// What the file calls know of each file open for a copy; shared by the source's and the
// destination's halves, nothing outside src/platform/files/ sees it.
namespace platform::files {

struct OpenFile {
    dev_t dev = 0;
    ino_t ino = 0;
    // A source's size and times when it was opened, for the change check.
    off_t size = 0;
    timespec mtime{}, ctime{};

    // A destination. Written in place (a device, or a file in a folder that takes no new
    // file), or as a temporary in `folder` that replaces `name` once complete.
    bool output = false;
    bool replacing = false;
    bool reserved = false;    // room was asked for beyond the bytes written
    bool kernelMoves = false; // blocks may move inside the kernel (until it refuses)
    posix::Fd folder;         // the destination's folder (O_PATH), while replacing
    std::string name;         // the destination's name in it
    std::string temp;         // the temporary's name, once it has one
    posix::Fd existing;       // the destination being replaced, held read-only and locked
    dev_t existingDev = 0;
    ino_t existingIno = 0;
};

std::map<HANDLE, OpenFile>& openFiles();

// True when a file open for a copy is this file (an existing destination being replaced too).
bool heldByUs(const struct stat& st);

// No sharing: an exclusive lock, or a shared one where NFS refuses an exclusive lock on a
// read-only descriptor. False only when another open holds the file; a file system that cannot
// lock at all is no reason to fail.
bool lockExclusive(int fd);

FileIo& io();

// Opened with O_NONBLOCK so that a FIFO never blocks the open; reads and writes block again.
bool clearNonBlocking(int fd);

// The destination's half of CreateFileA.
HANDLE openDestination(const std::string& path, HANDLE templateFile);

} // namespace platform::files
