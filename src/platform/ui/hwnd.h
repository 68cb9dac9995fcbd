#pragma once

// A window as the platform calls know it; the handlers only pass it on.
namespace platform {
using HWND = struct HWND__*;
} // namespace platform
