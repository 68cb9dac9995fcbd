// A small program for the copy tests that must run in a process of their own: as another
// user, under a file-size limit, or to watch the program end.
//
//   copyhost copy SOURCE DEST [FSIZE]   one "Start Copying" with the two boxes filled
//   copyhost close-during-copy SOURCE DEST
//                                       the user closes the window while the copy runs
//   copyhost raise                      a handler raises an error nothing traps
//
// Every message box is answered at once and printed as "MSG:<title>:<text>" on stdout.
#include "app/frmzintra.h"
#include "platform/msgbox.h"
#include "platform/runtime.h"
#include "platform/window.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {
class PrintingMessageBoxes final : public platform::MessageBoxHost {
public:
    int show(const QString& prompt, int, const QString& title) override {
        std::printf("MSG:%s:%s\n", qPrintable(title), qPrintable(prompt));
        std::fflush(stdout);
        return platform::vbOK;
    }
};

void limitFileSize(const char* bytes) {
    // Over the limit a write fails with EFBIG instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlim_t limit = std::strtoull(bytes, nullptr, 10);
    const rlimit rl{limit, limit};
    setrlimit(RLIMIT_FSIZE, &rl);
}
} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrintingMessageBoxes boxes;
    platform::setMessageBoxHost(&boxes);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    if (mode == QLatin1String("raise")) {
        platform::runHandler([] { platform::Raise(5, QStringLiteral("Invalid procedure call")); });
        return 0;
    }
    if (argc < 4)
        return 2;

    frmzintra form;
    form.txtinput->setText(QString::fromLocal8Bit(argv[2]));
    form.txtoutput->setText(QString::fromLocal8Bit(argv[3]));

    if (mode == QLatin1String("copy")) {
        if (argc > 4)
            limitFileSize(argv[4]);
        platform::runHandler([&] { form.cmdcopy_Click(); });
        return 0;
    }
    if (mode == QLatin1String("close-during-copy")) {
        form.show();
        platform::watchApplicationEnd(app);
        // The click starts the copy; the close arrives with the copy's first event dispatch.
        QTimer::singleShot(0, &form, [&] {
            QTimer::singleShot(0, &form, [&] {
                std::printf("CLOSE\n");
                form.close();
            });
            form.cmdcopy->click();
        });
        const int status = QApplication::exec();
        std::printf("ENDED\n");
        return status;
    }
    return 2;
}
