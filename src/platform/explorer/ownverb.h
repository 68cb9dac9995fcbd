#pragma once

#include <QString>
#include <QStringList>

// The program's own verb as it registers it (see shellverb/verb.h), in the registry's text.
namespace platform::ownverb {

// The key that holds the verbs of every file, below HKEY_LOCAL_MACHINE.
QStringList shellKey();
QString name(); // the verb's key below it
QString text(); // the menu entry's text, the verb key's default value

// The command key's default value: the program's path, unquoted, and the chosen file.
QString commandLine(const QString& program);

} // namespace platform::ownverb
