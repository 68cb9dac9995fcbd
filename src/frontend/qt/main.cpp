#include "app/startup.h"
#include "config.h"
#include "frontend/qt/mainwindow.h"
#include "platform/process/process.h"
#include "platform/ui/qtwindow.h"
#include "runtime/untrapped.h"

#include <QApplication>
#include <memory>

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

    std::unique_ptr<MainWindow> window;
    platform::runHandler([&] {
        startup::Main([&]() -> frmzintra& {
            window = std::make_unique<MainWindow>();
            return *window->handlers;
        });
    });
    platform::watchApplicationEnd(app);
    return QApplication::exec();
}
