#pragma once

#include <QString>

namespace dialogs {

// What the folder browser's path buffer makes of the destination folder.
struct BrowsedFolder {
    QString folder; // empty for an invalid item
    bool invalid;   // the item has no usable path: the user is told so
};

// The text before the buffer's first NUL is the chosen path. An empty path, or one character
// other than the root "/", is invalid; the root stays as it is, any other folder gets a "/".
BrowsedFolder normaliseBrowsedPath(const QString& buffer);

// Shown once when the confirmed item has no file-system path.
QString invalidPathMessage();

} // namespace dialogs
