// Drives the real program from inside the Wine prefix, where its windows can be read:
//   drive box            waits for a message box of the program, prints its text, presses its
//                        first button
//   drive menu TEXT      chooses the main window's Help menu item TEXT
// Exit status 1, with the reason on stderr, when the window does not come within 30 seconds.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
// Polls `find` until it gives a window or 30 seconds pass: the program answers another process.
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

int box() {
    const HWND dialog = waitFor([] { return FindWindowW(L"#32770", nullptr); });
    if (!dialog)
        return std::fputs("drive: no message box\n", stderr), 1;
    wchar_t title[256] = {}, text[1024] = {};
    GetWindowTextW(dialog, title, 256);
    GetDlgItemTextW(dialog, 0xFFFF, text, 1024);
    std::printf("%s: %s\n", utf8(title).c_str(), utf8(text).c_str());
    const HWND button = FindWindowExW(dialog, nullptr, L"Button", nullptr);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 LPARAM(button));
    return 0;
}

int menu(const wchar_t* item) {
    const HWND main = waitFor([] { return FindWindowW(nullptr, L"ZINTRA Free Version"); });
    const HMENU help = main ? GetSubMenu(GetMenu(main), 0) : nullptr;
    for (int i = 0; help && i < GetMenuItemCount(help); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(help, UINT(i), text, 128, MF_BYPOSITION);
        if (std::wstring(text) == item)
            return !PostMessageW(main, WM_COMMAND, MAKEWPARAM(GetMenuItemID(help, i), 0), 0);
    }
    return std::fputs("drive: no such menu item\n", stderr), 1;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"box")
        return box();
    if (argc == 3 && std::wstring(argv[1]) == L"menu")
        return menu(argv[2]);
    return std::fputs("usage: drive box | drive menu TEXT\n", stderr), 2;
}
