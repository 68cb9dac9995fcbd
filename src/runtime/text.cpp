#include "runtime/text.h"

#include "platform/files/paths.h"

namespace platform {

std::size_t sequenceLength(std::string_view s, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        n = 3, low = lead == 0xE0 ? 0xA0 : low, high = lead == 0xED ? 0x9F : high;
    else if (lead >= 0xF0 && lead <= 0xF4)
        n = 4, low = lead == 0xF0 ? 0x90 : low, high = lead == 0xF4 ? 0x8F : high;
    if (n == 0 || at + n > s.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = 2; i < n; ++i)
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    return n;
}

std::string Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string textBoxText(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

std::string withSeparator(std::string_view folder) {
    std::string written(folder);
    if (!IsRootFolder(folder))
        written += PathSeparator;
    return written;
}

int InStrRev(std::string_view text, char needle) {
    return static_cast<int>(text.rfind(needle) + 1); // npos + 1 is 0
}

namespace utf8 {

std::size_t lastCharacterLength(std::string_view s) {
    for (std::size_t n = 2; n <= 4 && n <= s.size(); ++n)
        if (sequenceLength(s, s.size() - n) == n)
            return n;
    return s.empty() ? 0 : 1;
}

} // namespace utf8

} // namespace platform
