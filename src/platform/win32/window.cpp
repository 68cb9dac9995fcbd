#include "platform/ui/window.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

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

// The program cannot end under a copy here: the copy runs inside a handler, and the front end
// destroys no window, the last one included, until every handler has returned.
platform::CopyInProgress::CopyInProgress() = default;
platform::CopyInProgress::~CopyInProgress() = default;
