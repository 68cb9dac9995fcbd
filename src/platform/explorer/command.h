#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// How the file manager starts a registered command line for a file, without a shell: the
// program is the text inside leading double quotes, or else the text before " %1"; the file's
// path is one argument in the placeholder's place. Returns the program, then its arguments.
QStringList explorerCommand(const QString& commandLine, const QString& filePath);

} // namespace platform
