#pragma once

#include "platform/registry/regfile.h"

#include <QByteArray>
#include <QString>
#include <sys/types.h>
#include <vector>

// What the file managers read in place of Explorer's verb keys: every verb under
// HKEY_LOCAL_MACHINE\Software\CLASSES\*\shell with a command becomes one menu entry in each of
// three system-wide formats. Pure: the hive in, the files out, so the same hive always gives
// the same files.
namespace platform::menuexports {

struct Export {
    QString path; // machine-wide, before ZINTRA_ROOT relocates it
    QByteArray contents;
    mode_t mode;
    bool operator==(const Export&) const = default;
};

// Where each format lives, and how its file names end.
struct Place {
    QString folder;
    QString suffix;
};
std::vector<Place> places();

// A verb key under HKEY_LOCAL_MACHINE\Software\CLASSES\*\shell with a command.
struct Verb {
    QString name;
    QString text;        // the menu entry's text
    QString commandLine; // as registered
    QString program;     // as the file manager must start it
    bool takesFile;      // whether the chosen file follows the program
};
std::vector<Verb> verbs(const reg::Key& machine);

// The files of these verbs, in their order.
std::vector<Export> exports(const std::vector<Verb>& verbs);

// "zintra-" and the verb's name, its letters, digits and "-" kept, every other byte of its
// UTF-8 as "_XX"; a name too long for a file ends in part of a hash of the whole.
QString baseName(const QString& verb);

} // namespace platform::menuexports
