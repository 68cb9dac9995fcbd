#include "platform/win32/ansi.h"

#include <windows.h>

namespace platform::win32 {

bool toWide(const std::string& utf8, std::wstring& wide) {
    wide.clear();
    if (utf8.empty())
        return true;
    const int size = int(utf8.size());
    const int length =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    wide.resize(std::size_t(length));
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(),
                                 length) == length;
}

std::string fromWide(const std::wstring& wide) {
    if (wide.empty())
        return {};
    const int size = int(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string utf8(std::size_t(length), '\0');
    if (::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr,
                              nullptr) != length)
        return {};
    return utf8;
}

bool toAnsi(const std::string& utf8, std::string& ansi) {
    ansi.clear();
    std::wstring wide;
    if (!toWide(utf8, wide))
        return false;
    if (wide.empty())
        return true;
    // A UTF-8 code page holds everything, and takes neither the flag nor the default's report.
    const bool exact = ::GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    const DWORD flags = exact ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* report = exact ? nullptr : &usedDefault;
    const int size = int(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, report);
    if (length <= 0 || usedDefault)
        return false;
    ansi.resize(std::size_t(length));
    return ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, ansi.data(), length, nullptr,
                                 report) == length &&
           !usedDefault;
}

std::string fromAnsi(const std::string& ansi) {
    if (ansi.empty())
        return {};
    const int size = int(ansi.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(std::size_t(length), L'\0');
    if (::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length) != length)
        return {};
    return fromWide(wide);
}

} // namespace platform::win32
