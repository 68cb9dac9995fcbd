#include "platform/ui/shell.h"

#include "platform/win32/ansi.h"
#include "runtime/seam.h"

#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>

namespace {
class WindowsShell final : public platform::ShellHost {
public:
    void execute(platform::HWND owner, const std::string& operation, const std::string& file,
                 const std::string& parameters, int showCommand) override {
        std::wstring verb, target, arguments;
        if (!platform::win32::toWide(operation, verb) || !platform::win32::toWide(file, target) ||
            !platform::win32::toWide(parameters, arguments))
            return;
        // Not reported: a desktop without a program for the link shows what it shows.
        static_cast<void>(
            ::ShellExecuteW(reinterpret_cast<::HWND>(owner), verb.c_str(), target.c_str(),
                            arguments.empty() ? nullptr : arguments.c_str(), nullptr, showCommand));
    }
};

WindowsShell realHost;
} // namespace

void platform::ShellExecuteA(HWND owner, const std::string& operation, const std::string& file,
                             const std::string& parameters, int showCommand) {
    use<ShellHost>(realHost).execute(owner, operation, file, parameters, showCommand);
}
