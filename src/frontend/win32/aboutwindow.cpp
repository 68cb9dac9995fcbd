#include "frontend/win32/aboutwindow.h"

#include "about/layout.h"

#include <string_view>

namespace {
AboutWindow* current = nullptr;

// In the middle of the screen's work area.
void centre(HWND window) {
    RECT frame, area;
    if (!::GetWindowRect(window, &frame) || !::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        return;
    const LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
    ::SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
} // namespace

AboutWindow& AboutWindow::Load() {
    if (!current)
        current = new AboutWindow;
    return *current;
}

AboutWindow::AboutWindow()
    : window(layout::frmabout, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN),
      me_([this]() -> w32front::FormWindow& { return window; }, true),
      website_(window, window.find("lblwebsite")), email_(window, window.find("lblemail")) {
    handlers.emplace(frmaboutControls{me_, website_, email_});
    centre(window.hwnd());

    frmabout& f = *handlers;
    window.mouseMoved = [&f] { f.Form_MouseMove(); };
    window.mouseMovedOver = [&f](const layout::Control& c) {
        w32front::dispatch(f, c.name,
                           {{"lblwebsite", &frmabout::lblwebsite_MouseMove},
                            {"lblemail", &frmabout::lblemail_MouseMove}});
    };
    window.clicked = [&f](const layout::Control& c) {
        w32front::dispatch(
            f, c.name,
            {{"lblwebsite", &frmabout::lblwebsite_Click}, {"lblemail", &frmabout::lblemail_Click}});
    };
    // Unloaded from the close on; the window itself goes once its handlers have returned.
    window.closing = [this] {
        if (current == this)
            current = nullptr;
    };
    window.destroyed = [this] {
        if (current == this)
            current = nullptr;
        delete this;
    };
}
