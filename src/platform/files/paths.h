#pragma once

#include <string_view>

// How paths are written here.
namespace platform {

#ifdef _WIN32
inline constexpr char PathSeparator = '\\';

// A drive's root ("C:\\") is the one folder whose name already ends in the separator.
constexpr bool IsRootFolder(std::string_view folder) {
    return folder.size() == 3 && folder[1] == ':' && folder[2] == PathSeparator;
}
#else
inline constexpr char PathSeparator = '/';

// The root folder is the one folder whose name already ends in the separator.
constexpr bool IsRootFolder(std::string_view folder) {
    return folder == "/";
}
#endif

} // namespace platform
