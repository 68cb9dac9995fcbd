#pragma once

#include "platform/registry/regfile.h"

#include <QStringList>

// Explorer's part on Linux: the file managers' menu entries follow the verb keys in the
// machine-wide registry (see menuexports.h for what is written).
namespace platform::filemanagers {

// Which verbs reach the menus. What root writes reaches every user, and whoever may change the
// registry is not trusted with that: root publishes only the program's own verb, registered as
// the program registers it, whose program nobody but root can change.
enum class Publish { everyVerb, ownVerbOnly };

// Brings the file managers' folders (below ZINTRA_ROOT when set) in line with the hive:
// rewrites each entry whose file differs, removes our entries ("zintra-*") that no published
// verb has, leaves every other file alone. No link in the folders' paths is followed. Tries
// every file, then raises the first failure. Returns the names of the verbs left out.
// Publishing only the own verb also makes the three folders where they are missing.
QStringList synchronize(const reg::Key& machine, Publish which);

// What follows every change the program commits to the registry: synchronize() where this
// process writes the entries itself (only its own verb as root, unless a test holds a
// StandIn<Publish>), and otherwise marking the entries outdated for the path unit. A failure
// here reaches the caller of the change, which stays committed: the registry is the truth.
void afterChange(const reg::Key& machine);

// Whether this process writes the entries itself: as root, in a system relocated by ZINTRA_ROOT,
// or where no systemd runs. Otherwise the package's path unit rewrites them as root after every
// change, so that the registry is all a member of staff must be able to write.
bool writesEntriesItself();

// The file whose presence tells the path unit that the entries are outdated.
QString outdatedMarker();

// The command the path unit runs: removes the marker, then publishes the own verb of the
// registry. A change made meanwhile leaves the marker again, which the path unit finds when it
// watches again (it does not while this runs), so no change goes unseen. Returns the names of
// the verbs left out.
QStringList updateFromRegistry();

} // namespace platform::filemanagers
