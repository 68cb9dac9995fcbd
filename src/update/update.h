#pragma once

#include <string>

namespace ui {
class Form;
}

// The update check: the program's version against the one its maker's server publishes.
namespace update {

// A version as text: major, minor and revision in decimal, joined by ".".
std::string versionText(int major, int minor, int revision);
// The program's own version text.
std::string localVersion();

// True when the server's version text is greater: compared as text, byte by byte from the left,
// so 1.0.10 is older than 1.0.9 and a trailing line break makes a version newer. The published
// version files rely on exactly this order.
bool isNewer(const std::string& serverVersion, const std::string& localVersion);

// Where the version file and the download lie on a server.
std::string versionFileUrl(const std::string& baseUrl);
std::string downloadUrl(const std::string& baseUrl);

// The "Check for update" command against the server at `baseUrl`, with `window` showing the
// hourglass during the exchange and owning the browser launch.
void checkForUpdate(ui::Form& window, const std::string& baseUrl);

} // namespace update
