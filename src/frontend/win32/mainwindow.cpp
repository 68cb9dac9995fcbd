#include "frontend/win32/mainwindow.h"

#include "app/layout.h"
#include "frontend/win32/aboutwindow.h"

namespace {
constexpr DWORD FixedWindow =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
} // namespace

MainWindow::MainWindow()
    : window(layout::frmzintra, FixedWindow),
      me_([this]() -> w32front::FormWindow& { return window; }, false),
      about_([]() -> w32front::FormWindow& { return AboutWindow::Load().window; }, true),
      input_(window.child(window.find("txtinput"))),
      output_(window.child(window.find("txtoutput"))), in_(window, window.find("shpin")),
      out_(window, window.find("shpout")), context_(window.hwnd(), window.menuCommand("mnucont")) {
    handlers.emplace(frmzintraControls{me_, input_, output_, in_, out_, context_, about_});

    // Tab goes from box to box to button: the order of the windows is the order of Tab.
    const HWND input = window.child(window.find("txtinput"));
    const HWND output = window.child(window.find("txtoutput"));
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(input, HWND_TOP, 0, 0, 0, 0, keep);
    ::SetWindowPos(output, input, 0, 0, 0, 0, keep);
    ::SetWindowPos(window.child(window.find("cmdcopy")), output, 0, 0, 0, 0, keep);
    window.keepFocus(window.find("txtinput"));

    frmzintra& f = *handlers;
    window.clicked = [&f](const layout::Control& c) {
        w32front::dispatch(f, c.name,
                           {{"cmdcopy", &frmzintra::cmdcopy_Click},
                            {"Image1", &frmzintra::Image1_Click},
                            {"Image2", &frmzintra::Image2_Click}});
    };
    window.menuChosen = [&f](const layout::MenuItem& item) {
        w32front::dispatch(f, item.name,
                           {{"mnucont", &frmzintra::mnucont_Click},
                            {"mnuupdate", &frmzintra::mnuupdate_Click},
                            {"mnuabout", &frmzintra::mnuabout_Click}});
    };
}
