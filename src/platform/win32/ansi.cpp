#include "platform/win32/ansi.h"

#include <windows.h>

namespace platform::win32 {

namespace {
bool wideFrom(unsigned codePage, DWORD flags, const std::string& text, std::wstring& wide) {
    wide.clear();
    if (text.empty())
        return true;
    const int size = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (n <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(n));
    return ::MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), n) == n;
}

// `usedDefault` may only be asked for where the code page is not UTF-8.
bool narrowTo(unsigned codePage, const std::wstring& wide, std::string& text) {
    text.clear();
    if (wide.empty())
        return true;
    const int size = static_cast<int>(wide.size());
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const used = utf8 ? nullptr : &usedDefault;
    const int n =
        ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, used);
    if (n <= 0 || usedDefault)
        return false;
    text.resize(static_cast<std::size_t>(n));
    return ::WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), n, nullptr,
                                 used) == n &&
           !usedDefault;
}
} // namespace

bool toAnsi(const std::string& utf8, std::string& ansi) {
    std::wstring wide;
    return wideFrom(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, wide) && narrowTo(CP_ACP, wide, ansi);
}

std::string fromAnsi(const std::string& ansi) {
    std::wstring wide;
    std::string utf8;
    return wideFrom(CP_ACP, 0, ansi, wide) && narrowTo(CP_UTF8, wide, utf8) ? utf8 : std::string();
}

std::wstring toWide(const std::string& utf8) {
    std::wstring wide;
    return wideFrom(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, wide) ? wide : std::wstring();
}

std::string fromWide(const std::wstring& wide) {
    std::string utf8;
    return narrowTo(CP_UTF8, wide, utf8) ? utf8 : std::string();
}

} // namespace platform::win32
