#pragma once

#include <string>

namespace dialogs {

// What the folder browser's path buffer makes of the destination folder.
struct BrowsedFolder {
    std::string folder; // empty for an invalid item
    bool invalid;       // the item has no usable path: the user is told so
};

// The text before the buffer's first NUL is the chosen path. An empty path, or one character
// other than a root, is invalid; a root stays as it is, any other folder gets a separator.
BrowsedFolder normaliseBrowsedPath(const std::string& buffer);

// Shown once when the confirmed item has no file-system path.
std::string invalidPathMessage();

} // namespace dialogs
