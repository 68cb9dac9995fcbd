#include "platform/files/longpath.h"

#include "runtime/buffers.h"
#include "runtime/errors.h"

#include <sys/stat.h>

namespace platform {

std::uint32_t GetLongPathNameA(const std::string& shortPath, std::string& buffer,
                               std::uint32_t bufferLength) {
    if (bufferLength > buffer.size())
        Raise(err::InvalidProcedureCall, "Invalid procedure call or argument");
    // A NUL can be in no path: the kernel would read the text only up to it.
    if (shortPath.empty() || shortPath.find('\0') != std::string::npos)
        return 0;
    struct stat st {};
    if (::lstat(shortPath.c_str(), &st) != 0)
        return 0;
    const auto length = static_cast<std::uint32_t>(shortPath.size());
    if (!putTerminated(shortPath, buffer, bufferLength))
        return length + 1;
    return length;
}

} // namespace platform
