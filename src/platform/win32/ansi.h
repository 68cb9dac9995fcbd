#pragma once

#include <string>

// The program's text is UTF-8; the ...A calls take the ANSI code page, the ...W calls UTF-16.
namespace platform::win32 {

// False for text that is not UTF-8 or that the ANSI code page cannot hold exactly: such a
// name stands for no file, never for a look-alike.
bool toAnsi(const std::string& utf8, std::string& ansi);
std::string fromAnsi(const std::string& ansi);

// False for text that is not UTF-8.
bool toWide(const std::string& utf8, std::wstring& wide);
std::string fromWide(const std::wstring& wide);

} // namespace platform::win32
