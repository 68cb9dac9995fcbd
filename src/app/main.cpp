#include "app/frmzintra.h"
#include "app/startup.h"
#include "platform/filemanagers.h"
#include "platform/runtime.h"
#include "platform/window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Every argument is the program's own: Qt sees only the program name, so a file called
    // "-platform" or "-reverse" is a file like any other.
    platform::setCommandLine(argc, argv);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("ZINTRA"));
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    platform::applyFixedLook(app);
    // No file manager reads our registry: the verbs it holds reach their menus as exports that
    // follow every change, written by the program or, for a user under systemd, the path unit.
    if (platform::filemanagers::writesEntriesItself())
        platform::filemanagers::followRegistry();

    std::unique_ptr<frmzintra> form;
    platform::runHandler([&] { form = startup::Main(); });
    return QApplication::exec();
}
