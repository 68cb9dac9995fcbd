#include "app/frmzintra.h"
#include "config.h"
#include "platform/inet/inet.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/shell.h"
#include "runtime/text.h"
#include "update/update.h"

#include <array>

namespace update {

void checkForUpdate(ui::Form& window, const std::string& baseUrl) {
    using namespace platform;

    // Bytes the read does not fill stay spaces, so a failed read leaves a blank text.
    std::array<char, 25> buffer;
    buffer.fill(' ');

    window.setMousePointer(ui::vbHourglass);
    const HINTERNET internet =
        InternetOpenA("VB Project", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const HINTERNET file =
        InternetOpenUrlA(internet, versionFileUrl(baseUrl), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    std::uint32_t bytesRead = 0;
    InternetReadFile(file, buffer.data(), buffer.size(), bytesRead);
    const std::string received(buffer.data(), buffer.size());
    InternetCloseHandle(file);
    InternetCloseHandle(internet);
    window.setMousePointer(ui::vbDefault);

    const std::string latest = Trim(received);
    if (latest.empty()) {
        MsgBox("Could not retrieve information from the server. Make sure you are online or try "
               "again later.");
        return;
    }
    if (isNewer(latest, localVersion())) {
        const std::string offer =
            "Version " + latest + " is available. Do you want to download it now.";
        if (MsgBox(offer, vbYesNo, "Update information") == vbYes)
            ShellExecuteA(window.hWnd(), "open", downloadUrl(baseUrl), "", SW_SHOWNORMAL);
    } else {
        MsgBox("You have the latest version.");
    }
}

} // namespace update

void frmzintra::mnuupdate_Click() {
    update::checkForUpdate(Me, ZINTRA_UPDATE_BASE_URL);
}
