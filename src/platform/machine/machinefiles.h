#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>
#include <sys/types.h>

// Files of the machine-wide state (the registry, the file managers' menu entries): folders
// made readable by everyone, files replaced atomically. Failures raise runtime errors with the
// registry's error numbers; `what` names the kind of file in the description.
namespace platform::machinefiles {

[[noreturn]] void raiseIo(const QString& what, const QString& path, int errnum);
[[noreturn]] void raiseDamaged(const QString& what, const QString& path, qsizetype limit);

// A path as the kernel takes it.
std::string native(const QString& path);

bool groupWritable(const QString& folder);

// Creates the folder and any missing folders above it, 0755, or 0775 in a group-writable
// parent; a setgid parent passes on its group and setgid bit. Modes are set on each new folder
// itself, which must not be a symbolic link by then.
void makeFolders(const QString& folder);

// The whole file; `exists` false (and nothing read) when there is no file. Anything but a regular
// file (a link to one too), or one larger than `limit` bytes, is damaged.
QByteArray readFile(const QString& what, const QString& path, bool& exists, qsizetype limit);

// The mkostemp pattern of a temporary file beside `path`: hidden and marked
// (".NAME.zintra-tmp-XXXXXX"), so that nobody's own copy such as "NAME.backup" looks like one.
std::string temporaryPattern(const QString& path);
// Whether `name`, in the folder of `path`, is a temporary file made for `path`, by this pattern
// or by replaceFile.
bool isTemporaryOf(const QString& path, std::string_view name);

// Temporary file in the same folder, flushed to disk, then renamed over the old file: a reader
// or a crash sees the old file or the new one, never a mix.
void replaceFile(const QString& what, const QString& path, const QByteArray& bytes, mode_t mode);

// The same within the folder open as `dir`; `path` names the file in errors.
void replaceFileAt(const QString& what, int dir, const QString& path, const QByteArray& bytes,
                   mode_t mode);

} // namespace platform::machinefiles
