#pragma once

#include "platform/machine/machinefiles.h"
#include "platform/posix/fd.h"

#include <QByteArray>
#include <QString>
#include <sys/types.h>

// Machine-wide folders that others may write into, used through a descriptor of the folder:
// whoever may write a folder on the way can swap a link in for the next one at any moment, so
// no path below `root` is ever followed, and every file is made, replaced and removed relative
// to the folder that was opened.
namespace platform::machinefiles {

// Opens `folder` (absolute, before ZINTRA_ROOT relocates it) one name at a time below the
// relocated root, following no link. With `create`, a missing folder is made as makeFolders
// makes it; without, a missing one gives no descriptor. Raises a runtime error otherwise.
posix::Fd openFolder(const QString& what, const QString& folder, bool create);

// Whether `path` (absolute, not relocated) names a regular file that nobody but root can change:
// it and every folder above it are owned by root and writable by nobody else (a sticky folder
// keeps others from renaming what root owns in it), and none of them is a link.
bool changedOnlyByRoot(const QString& path);

} // namespace platform::machinefiles
