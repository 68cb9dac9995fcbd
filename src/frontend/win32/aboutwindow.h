#pragma once

#include "about/frmabout.h"
#include "frontend/win32/adapters.h"

#include <optional>

// The About window as Win32 draws it, built from its layout; its handlers are frmabout's. The
// program keeps at most one, without owner; closing it unloads it, and the next Load makes a
// fresh one.
class AboutWindow {
public:
    // The loaded About window, loaded now if it was not.
    static AboutWindow& Load();

    w32front::FormWindow window;

private:
    AboutWindow();

    w32front::Form me_;
    w32front::Label website_, email_;

public:
    std::optional<frmabout> handlers;
};
