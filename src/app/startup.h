#pragma once

#include <functional>

class frmzintra;

namespace startup {
// Starts the application: creates the main window with `create` once the controls are
// initialised, loads it, then shows it.
void Main(const std::function<frmzintra&()>& create);
} // namespace startup
