#pragma once

#include "app/frmzintra.h"
#include "frontend/win32/adapters.h"

#include <optional>

// The main window as Win32 draws it, built from its layout; its handlers are frmzintra's.
class MainWindow {
public:
    MainWindow();

    w32front::FormWindow window;

private:
    w32front::Form me_;
    w32front::Form about_;
    w32front::TextBox input_, output_;
    w32front::Shape in_, out_;
    w32front::MenuItem context_;

public:
    // The handlers, on this window's controls.
    std::optional<frmzintra> handlers;
};
