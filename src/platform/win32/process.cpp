#include "platform/process/process.h"

#include "platform/win32/ansi.h"

#include <algorithm>
#include <windows.h>

namespace platform {

namespace {
std::wstring exePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
} // namespace

std::string appPath() {
    const std::wstring path = exePath();
    const std::size_t cut = path.rfind(L'\\');
    if (cut == std::wstring::npos)
        return {};
    // A drive's root keeps its separator.
    return win32::fromWide(path.substr(0, cut == 2 && path[1] == L':' ? 3 : cut));
}

std::string exeName() {
    const std::wstring path = exePath();
    return win32::fromWide(path.substr(path.rfind(L'\\') + 1));
}

// Windows keeps the command line as typed; it is read from there.
void setCommandLine(int, const char* const*) {}

// The command line less the program's token, quoted or not, and the blanks after it.
std::string Command() {
    const std::wstring line = ::GetCommandLineW();
    std::size_t at = 0;
    if (!line.empty() && line[0] == L'"') {
        const std::size_t close = line.find(L'"', 1);
        at = close == std::wstring::npos ? line.size() : close + 1;
    } else {
        at = std::min(line.find_first_of(L" \t"), line.size());
    }
    at = std::min(line.find_first_not_of(L" \t", at), line.size());
    return win32::fromWide(line.substr(at));
}

std::string CurDir() {
    const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(n, L'\0');
    if (n == 0 || ::GetCurrentDirectoryW(n, folder.data()) != n - 1)
        return {};
    folder.resize(n - 1);
    return win32::fromWide(folder);
}

} // namespace platform
