#pragma once

#include "runtime/layout.h"

namespace layout {
// The About window, frmabout.
extern const Form frmabout;
} // namespace layout
