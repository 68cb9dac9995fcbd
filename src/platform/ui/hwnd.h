#pragma once

// windows.h's own window handle type, declared here so that both are the same type.
struct HWND__;

// A window as the platform calls know it; the handlers only pass it on.
namespace platform {
using HWND = ::HWND__*;
} // namespace platform
