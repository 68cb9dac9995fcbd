#pragma once

#include <string>

// The core's text is UTF-8; the ...A calls take the ANSI code page, the ...W calls UTF-16.
namespace platform::win32 {

// False for invalid UTF-8 or a character the code page cannot hold: never a look-alike.
bool toAnsi(const std::string& utf8, std::string& ansi);
std::string fromAnsi(const std::string& ansi);

// Invalid UTF-8 gives an empty text.
std::wstring toWide(const std::string& utf8);
// False for text that is not UTF-8.
inline bool toWide(const std::string& utf8, std::wstring& wide) {
    wide = toWide(utf8);
    return !wide.empty() || utf8.empty();
}
std::string fromWide(const std::wstring& wide);

} // namespace platform::win32
