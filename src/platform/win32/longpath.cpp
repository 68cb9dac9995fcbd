#include "platform/files/longpath.h"

#include "platform/win32/ansi.h"
#include "runtime/buffers.h"
#include "runtime/errors.h"

#include <windows.h>

namespace platform {

// The call works in ANSI; the buffer and the sizes are in the core's UTF-8.
std::uint32_t GetLongPathNameA(const std::string& shortPath, std::string& buffer,
                               std::uint32_t bufferLength) {
    if (bufferLength > buffer.size())
        Raise(err::InvalidProcedureCall, "Invalid procedure call or argument");
    std::string ansi, found(MAX_PATH, '\0');
    if (shortPath.empty() || shortPath.find('\0') != std::string::npos ||
        !win32::toAnsi(shortPath, ansi))
        return 0;
    DWORD n = ::GetLongPathNameA(ansi.c_str(), found.data(), MAX_PATH);
    if (n >= MAX_PATH) {
        found.resize(n);
        n = ::GetLongPathNameA(ansi.c_str(), found.data(), n);
    }
    if (n == 0 || n >= found.size())
        return 0;
    found.resize(n);
    const std::string longPath = win32::fromAnsi(found);
    const auto length = static_cast<std::uint32_t>(longPath.size());
    if (longPath.empty())
        return 0;
    return putTerminated(longPath, buffer, bufferLength) ? length : length + 1;
}

} // namespace platform
