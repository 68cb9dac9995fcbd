#include "app/frmzintra.h"
#include "config.h"
#include "platform/inet/inet.h"
#include "platform/runtime/text.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/shell.h"
#include "platform/ui/window.h"
#include "update/update.h"

#include <array>

namespace update {

void checkForUpdate(QWidget& window, const QString& baseUrl) {
    using namespace platform;

    // Bytes the read does not fill stay spaces, so a failed read leaves a blank text.
    std::array<char, 25> buffer;
    buffer.fill(' ');

    setMousePointer(window, vbHourglass);
    const HINTERNET internet =
        InternetOpenA("VB Project", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const HINTERNET file = InternetOpenUrlA(internet, toAnsi(versionFileUrl(baseUrl)), nullptr, 0,
                                            INTERNET_FLAG_RELOAD, 0);
    std::uint32_t bytesRead = 0;
    InternetReadFile(file, buffer.data(), buffer.size(), bytesRead);
    const QString received = fromAnsi(std::string(buffer.data(), buffer.size()));
    InternetCloseHandle(file);
    InternetCloseHandle(internet);
    setMousePointer(window, vbDefault);

    const QString latest = Trim(received);
    if (latest.isEmpty()) {
        MsgBox(QStringLiteral("Could not retrieve information from the server. Make sure you "
                              "are online or try again later."));
        return;
    }
    if (isNewer(latest, localVersion())) {
        const QString offer = QStringLiteral("Version ") + latest +
                              QStringLiteral(" is available. Do you want to download it now.");
        if (MsgBox(offer, vbYesNo, QStringLiteral("Update information")) == vbYes)
            ShellExecuteA(&window, QStringLiteral("open"), downloadUrl(baseUrl), QString(),
                          SW_SHOWNORMAL);
    } else {
        MsgBox(QStringLiteral("You have the latest version."));
    }
}

} // namespace update

void frmzintra::mnuupdate_Click() {
    update::checkForUpdate(*this, QStringLiteral(ZINTRA_UPDATE_BASE_URL));
}
