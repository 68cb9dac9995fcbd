#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// The text rules the windows rely on. Text is bytes: UTF-8, or whatever bytes a name has.
namespace platform {

// Trimming removes spaces (0x20) only, never tabs or line breaks.
std::string Trim(std::string_view text);

// A text set into a text box shows up to its first NUL.
std::string textBoxText(std::string_view text);

// A folder as the program writes it: followed by the separator, except a root, which ends in
// one.
std::string withSeparator(std::string_view folder);

// Position (from 1) of the last occurrence of `needle`, 0 when absent.
int InStrRev(std::string_view text, char needle);

// The length of the well-formed UTF-8 sequence at `at`, or 0 where none starts.
std::size_t sequenceLength(std::string_view s, std::size_t at);

namespace utf8 {
// Bytes of the first and the last character: a UTF-8 sequence, or one byte that starts none.
inline std::size_t firstCharacterLength(std::string_view s) {
    return s.empty() ? 0 : std::max<std::size_t>(sequenceLength(s, 0), 1);
}
std::size_t lastCharacterLength(std::string_view s);
} // namespace utf8

} // namespace platform
