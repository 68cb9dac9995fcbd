#pragma once

#include <QString>

namespace platform {

// A machine-wide path ("/var/lib/...") as this process sees it: relocated below $ZINTRA_ROOT
// when that is set.
QString machinePath(const QString& absolutePath);

} // namespace platform
