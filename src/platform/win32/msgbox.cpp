#include "platform/ui/msgbox.h"

#include "platform/process/process.h"
#include "runtime/seam.h"

#include <algorithm>
#include <windows.h>

namespace {
// Shown text: bytes that are not UTF-8 (server data) show as replacement characters.
std::wstring shown(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(std::max(length, 0)), L'\0');
    if (length <= 0 || ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(),
                                             length) != length)
        return {};
    return wide;
}

class WindowsMessageBoxes final : public platform::MessageBoxHost {
public:
    int show(const std::string& prompt, int buttons, const std::string& title) override {
        const UINT type = buttons == platform::vbYesNo ? MB_YESNO : MB_OK;
        switch (
            ::MessageBoxW(::GetActiveWindow(), shown(prompt).c_str(), shown(title).c_str(), type)) {
        case IDYES:
            return platform::vbYes;
        case IDNO:
            return platform::vbNo;
        default:
            return platform::vbOK;
        }
    }
};

WindowsMessageBoxes realHost;
} // namespace

int platform::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    return use<MessageBoxHost>(realHost).show(prompt, buttons, title.empty() ? appTitle() : title);
}
