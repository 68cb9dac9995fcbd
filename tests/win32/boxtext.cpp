// Reads the program's message box from inside the Wine prefix, where its controls can be read:
// waits for the box, prints "title: text", presses its first button. Exit status 1, with the
// reason on stderr, when no box comes within 30 seconds.
#include <cstdio>
#include <string>
#include <windows.h>

namespace {
// Looks for the window every 10 ms until `find` gives it, 30 seconds at most: it belongs to
// another process, and Wine tells no other process when a box's text is set.
template <typename Find> HWND waitFor(Find find) {
    for (int tries = 0; tries < 3000; ++tries) {
        if (HWND window = find())
            return window;
        Sleep(10);
    }
    return nullptr;
}

std::string utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(std::size_t(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), n, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

int readAndPress() {
    // A box is found as soon as it exists; it is read once it shows its text.
    const HWND dialog = waitFor([]() -> HWND {
        const HWND found = FindWindowW(L"#32770", nullptr);
        return found && IsWindowVisible(found) &&
                       GetWindowTextLengthW(GetDlgItem(found, 0xFFFF)) > 0
                   ? found
                   : nullptr;
    });
    if (!dialog)
        return std::fputs("boxtext: no message box\n", stderr), 1;
    wchar_t title[256] = {}, text[1024] = {};
    GetWindowTextW(dialog, title, 256);
    GetDlgItemTextW(dialog, 0xFFFF, text, 1024);
    std::printf("%s: %s\n", utf8(title).c_str(), utf8(text).c_str());
    const HWND button = FindWindowExW(dialog, nullptr, L"Button", nullptr);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), LPARAM(button));
    return 0;
}

} // namespace

int main() {
    return readAndPress();
}
