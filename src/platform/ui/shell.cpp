#include "platform/ui/shell.h"

#include "platform/runtime/seam.h"

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
} // namespace

void ShellExecuteA(QWidget* owner, const QString& operation, const QString& file,
                   const QString& parameters, int showCommand) {
    use<ShellHost>(realHost).execute(owner, operation, file, parameters, showCommand);
}

} // namespace platform
