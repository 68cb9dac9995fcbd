#include "platform/ui/shell.h"

#include "platform/textbridge.h"
#include "runtime/seam.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {
class DesktopShell final : public ShellHost {
public:
    void execute(HWND, const std::string& operation, const std::string& file, const std::string&,
                 int) override {
        if (operation == "open")
            QDesktopServices::openUrl(QUrl(fromBytes(file)));
    }
};

DesktopShell realHost;
} // namespace

void ShellExecuteA(HWND owner, const std::string& operation, const std::string& file,
                   const std::string& parameters, int showCommand) {
    use<ShellHost>(realHost).execute(owner, operation, file, parameters, showCommand);
}

} // namespace platform
