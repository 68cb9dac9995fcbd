#pragma once

#include "runtime/layout.h"

namespace layout {
// The main window, frmzintra.
extern const Form frmzintra;
} // namespace layout
