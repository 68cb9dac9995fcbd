#include "platform/ui/shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {
class DesktopShell final : public ShellHost {
public:
    void execute(QWidget*, const QString& operation, const QString& file, const QString&,
                 int) override {
        if (operation == QLatin1String("open"))
            QDesktopServices::openUrl(QUrl(file));
    }
};

DesktopShell realHost;
ShellHost* currentHost = &realHost;
} // namespace

void ShellExecuteA(QWidget* owner, const QString& operation, const QString& file,
                   const QString& parameters, int showCommand) {
    currentHost->execute(owner, operation, file, parameters, showCommand);
}

void setShellHost(ShellHost* host) {
    currentHost = host ? host : &realHost;
}

} // namespace platform
