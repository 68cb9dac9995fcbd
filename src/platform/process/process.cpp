#include "platform/process/process.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace platform {

namespace {
std::string& commandText() {
    static std::string text;
    return text;
}

// The executable's path as bytes, whatever its encoding: the command line registered from it
// must name this very program.
std::string exePath() {
    std::string path(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || std::size_t(n) >= path.size())
        return {};
    path.resize(std::size_t(n));
    return path;
}
} // namespace

std::string appPath() {
    const std::string path = exePath();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string exeName() {
    const std::string path = exePath();
    return path.substr(path.rfind('/') + 1);
}

void setCommandLine(int argc, const char* const* argv) {
    std::string joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            joined += ' ';
        joined += argv[i];
    }
    commandText() = joined;
}

std::string Command() {
    return commandText();
}

std::string CurDir() {
    const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
    return folder ? folder.get() : std::string();
}

} // namespace platform
