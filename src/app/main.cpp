#include "app/frmzintra.h"
#include "app/startup.h"
#include "config.h"
#include "platform/explorer/filemanagers.h"
#include "platform/runtime/process.h"
#include "platform/ui/untrapped.h"
#include "platform/ui/window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Every argument is the program's own: Qt sees only the program name, so a file called
    // "-platform" or "-reverse" is a file like any other.
    platform::setCommandLine(argc, argv);
    platform::chooseDisplayServer();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral(ZINTRA_NAME));
    QApplication::setOrganizationName(QStringLiteral(ZINTRA_ORGANIZATION));
    QApplication::setApplicationVersion(QStringLiteral(ZINTRA_VERSION));
    platform::applyFixedLook(app);
    platform::holdFixedSizes(app);

    std::unique_ptr<frmzintra> form;
    platform::runHandler([&] { form = startup::Main(); });
    return QApplication::exec();
}
