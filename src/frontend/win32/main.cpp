#include "app/startup.h"
#include "frontend/win32/mainwindow.h"
#include "platform/process/process.h"
#include "platform/win32/ansi.h"

#include <memory>
#include <objbase.h>
#include <shellapi.h>
#include <string>
#include <vector>

namespace {
// The arguments as the core takes them, in UTF-8.
void recordCommandLine() {
    int argc = 0;
    LPWSTR* argvW = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argvW)
        return;
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(platform::win32::fromWide(argvW[i]));
    ::LocalFree(argvW);
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    platform::setCommandLine(argc, argv.data());
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    recordCommandLine();

    std::unique_ptr<MainWindow> window;
    w32front::runHandler([&] {
        startup::Main([&]() -> frmzintra& {
            window = std::make_unique<MainWindow>();
            return *window->handlers;
        });
    });

    MSG message{};
    BOOL got;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) > 0) {
        // Tab, Enter and Space as in a dialog.
        const HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && ::IsDialogMessageW(root, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    window.reset();
    ::CoUninitialize();
    return got < 0 ? 1 : static_cast<int>(message.wParam);
}
