#pragma once

#include <cstring>
#include <string>

namespace platform {

// Writes `text` and its NUL terminator at the start of `buffer` when both fit in `limit`
// bytes; otherwise leaves the buffer as it was and returns false.
inline bool putTerminated(const std::string& text, std::string& buffer, std::size_t limit) {
    if (text.size() >= limit || limit > buffer.size())
        return false;
    std::memcpy(buffer.data(), text.data(), text.size());
    buffer[text.size()] = '\0';
    return true;
}

} // namespace platform
