#pragma once

#include <string_view>

// How paths are written here.
namespace platform {

inline constexpr char PathSeparator = '/';

// The root folder is the one folder whose name already ends in the separator.
constexpr bool IsRootFolder(std::string_view folder) {
    return folder == "/";
}

} // namespace platform
