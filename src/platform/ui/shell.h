#pragma once

#include "platform/ui/hwnd.h"

#include <string>

namespace platform {

inline constexpr int SW_SHOWNORMAL = 1;

// Who opens documents and links: the desktop (the browser, the mail program), or a recorder
// in tests.
class ShellHost {
public:
    virtual ~ShellHost() = default;
    virtual void execute(HWND owner, const std::string& operation, const std::string& file,
                         const std::string& parameters, int showCommand) = 0;
};

// Hands a URL or a "mailto:" link to the program the desktop associates with it. The outcome
// is not reported: a desktop without such a program shows whatever it shows.
void ShellExecuteA(HWND owner, const std::string& operation, const std::string& file,
                   const std::string& parameters, int showCommand);

} // namespace platform
