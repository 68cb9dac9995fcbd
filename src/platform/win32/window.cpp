#include "platform/ui/window.h"

#include "platform/win32/running.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

namespace {
int running = 0;
} // namespace

int platform::win32::copiesRunning() {
    return running;
}

void platform::InitCommonControls() {
    ::InitCommonControls();
}

void platform::DoEvents() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        // The application's loop ends on WM_QUIT: it must still find it.
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(int(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

platform::CopyInProgress::CopyInProgress() {
    ++running;
}

platform::CopyInProgress::~CopyInProgress() {
    --running;
}
