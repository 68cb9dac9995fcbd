#pragma once

#include <memory>

class frmzintra;

namespace startup {
// Starts the application: shows the main window, whose loading runs first.
std::unique_ptr<frmzintra> Main();
} // namespace startup
