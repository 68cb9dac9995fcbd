#pragma once

#include <QString>

class QWidget;

// The update check: the program's version against the one its maker's server publishes.
namespace update {

// A version as text: major, minor and revision in decimal, joined by ".".
QString versionText(int major, int minor, int revision);
// The program's own version text.
QString localVersion();

// True when the server's version text is greater: compared as text, character by character
// from the left by character code, so 1.0.10 is older than 1.0.9 and a trailing line break
// makes a version newer. The published version files rely on exactly this order.
bool isNewer(const QString& serverVersion, const QString& localVersion);

// Where the version file and the download lie on a server.
QString versionFileUrl(const QString& baseUrl);
QString downloadUrl(const QString& baseUrl);

// The "Check for update" command against the server at `baseUrl`, with `window` showing the
// hourglass during the exchange and owning the browser launch.
void checkForUpdate(QWidget& window, const QString& baseUrl);

} // namespace update
