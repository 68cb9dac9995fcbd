#pragma once

#include <QString>

// The registry layout of the "Copy with Zintra" verb, which file managers read.
namespace shellverb {

// Both names end in "\": they address the key's default value, or the key when deleted.
QString verbKey();    // its default value is the text of the menu entry
QString commandKey(); // its default value is the command line
QString verbText();

// The program's own path and the placeholder for the chosen file, unquoted:
// "/usr/bin/zintra %1". `apppath` ends in "/".
QString commandLine(const QString& apppath, const QString& exeName);

} // namespace shellverb
