// Times the program's own copy path: a main window, "Start Copying", 4 MiB blocks with events
// dispatched and the window repainted per block. Prints "ready" once the window is up, starts
// when a line arrives on its input, then prints the seconds the copy took.
//
//   copybench SOURCE DESTFOLDER/
#include "frontend/qt/mainwindow.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/qtwindow.h"
#include "runtime/seam.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <cstdio>

namespace {
class SilentMessageBoxes final : public platform::MessageBoxHost {
public:
    std::string last;
    int show(const std::string& prompt, int, const std::string&) override {
        last = prompt;
        return platform::vbOK;
    }
};
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: copybench SOURCE DESTFOLDER/\n");
        return 2;
    }
    platform::applyFixedLook(app);
    SilentMessageBoxes boxes;
    const platform::StandIn<platform::MessageBoxHost> standIn(boxes);

    MainWindow form;
    form.show();
    QApplication::processEvents();
    form.txtinput->setText(QString::fromLocal8Bit(argv[1]));
    form.txtoutput->setText(QString::fromLocal8Bit(argv[2]));

    std::printf("ready\n");
    std::fflush(stdout);
    char go[2];
    if (!std::fgets(go, sizeof go, stdin)) {
        std::fprintf(stderr, "copybench: no go\n");
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    form.handlers->cmdcopy_Click();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (boxes.last != "File Successfully Copied") {
        std::fprintf(stderr, "copybench: %s\n", boxes.last.c_str());
        return 1;
    }
    std::printf("%.6f\n", seconds);
    return 0;
}
