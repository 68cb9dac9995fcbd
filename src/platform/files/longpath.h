#pragma once

#include <climits>
#include <cstdint>
#include <string>

namespace platform {

#ifdef _WIN32
// Path buffers hold Windows' classic longest path, terminator included.
inline constexpr std::uint32_t MAX_PATH = 260;
#else
// Path buffers hold Linux's longest path: PATH_MAX bytes, terminator included.
inline constexpr std::uint32_t MAX_PATH = PATH_MAX;
#endif

// Windows: the long form of `shortPath`, as GetLongPathNameA gives it. Linux: there are no
// short names: when something exists at `shortPath`, writes it unchanged and
// NUL-terminated into `buffer` and returns its length in bytes; returns 0 when nothing exists
// there. A result that would not fit `bufferLength` bytes leaves the buffer untouched and
// returns the size it needs, terminator included. Paths are not made absolute.
std::uint32_t GetLongPathNameA(const std::string& shortPath, std::string& buffer,
                               std::uint32_t bufferLength);

} // namespace platform
