#pragma once

#include "platform/registry/regfile.h"

// Explorer's part on Linux: the file managers' menu entries follow the verb keys in the
// machine-wide registry (see menuexports.h for what is written).
namespace platform::filemanagers {

// Brings the file managers' folders (below ZINTRA_ROOT when set) in line with the hive:
// rewrites each entry whose file differs, removes our entries ("zintra-*") that no verb has any
// more, leaves every other file alone. Tries every file, then raises the first failure.
void synchronize(const reg::Key& machine);

// From now on, every committed change of the registry is followed by synchronize(). A failure
// there reaches the caller of the change, which stays committed: the registry is the truth.
void followRegistry();

// Whether this process writes the entries itself: as root, in a system relocated by ZINTRA_ROOT,
// or where no systemd runs. Otherwise the package's path unit rewrites them as root after every
// change, so that the registry is all a member of staff must be able to write.
bool writesEntriesItself();

// The command the path unit runs: brings the entries in line with the registry, again while the
// registry changes meanwhile (a change during the run starts no second run).
void updateFromRegistry();

} // namespace platform::filemanagers
