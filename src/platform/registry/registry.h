#pragma once

#include "platform/registry/regfile.h"

#include <QString>
#include <functional>

// HKEY_LOCAL_MACHINE kept in one REGEDIT4 file. Every call reads the file afresh; every change
// rewrites it atomically under an exclusive lock, so concurrent processes never lose each
// other's changes and readers never see half a file. A damaged file is never overwritten.
// Failures raise runtime errors.
namespace platform::registry {

QString machineFile();

// The hive as the file holds it now; an absent file is an empty hive.
reg::Key load();

// Applies `change` to the current hive and commits the result, then runs `committed` with the
// hive as written, all under the lock. An error that `change` raises commits nothing, and so
// does a lock held for Limits::lockWait in which the registry did not change (or for
// Limits::lockWaitTotal in all); one that `committed` raises leaves the change committed.
void update(const std::function<void(reg::Key&)>& change,
            const std::function<void(const reg::Key&)>& committed);

} // namespace platform::registry
