// Runs one registry call, or one copy of the main window, in a process of its own, so that
// tests can run it as another user, several at once, under a file-size limit, or watch the
// program end. Exit status 0 on success, 1 when a registry call raised a runtime error
// (reported on stderr), 2 for an unknown mode.
//
//   zintra_testhost write NAME TEXT | read NAME
//   zintra_testhost churn WHO COUNT   writes, reads back and deletes keys of its own COUNT times
//   zintra_testhost copy SOURCE DEST [FSIZE]
//                                     one "Start Copying" with the two boxes filled
//   zintra_testhost close-during-copy SOURCE DEST
//                                     the user closes the window while the copy runs
//   zintra_testhost kill SOURCE DEST  the process is killed while the copy runs
//   zintra_testhost raise             a handler raises an error nothing traps
// In these, every message box is answered at once and printed as "MSG:<title>:<text>", unless
// the application was already ending, when a real box could not show.
#include "frontend/qt/mainwindow.h"
#include "platform/registry/shellobject.h"
#include "platform/ui/qtwindow.h"
#include "platform/ui/window.h"
#include "runtime/errors.h"
#include "runtime/untrapped.h"
#include "support/scripted.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {
int window(QByteArrayView mode, const QString& source, const QString& destination,
           const char* fileSizeLimit, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    QApplication app(argc, argv);
    testing::ScriptedMessageBoxes boxes;
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // every line out before the program ends
    boxes.whileShown = [&] {
        QEventLoop box; // what a real box runs, and cannot once the application is ending
        QTimer::singleShot(0, &box, [&] { box.exit(1); });
        if (box.exec() == 1)
            std::printf("MSG:%s:%s\n", qPrintable(boxes.shown.back().title),
                        qPrintable(boxes.shown.back().prompt));
    };
    if (mode == "raise") {
        platform::runHandler([] { platform::Raise(5, QStringLiteral("Invalid procedure call")); });
        return 0;
    }
    MainWindow form;
    form.txtinput->setText(source);
    form.txtoutput->setText(destination);
    if (fileSizeLimit) {
        // Over the limit a write fails with EFBIG instead of killing the process.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{std::strtoull(fileSizeLimit, nullptr, 10), RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (mode == "copy" || mode == "kill") {
        if (mode == "kill")
            QTimer::singleShot(0, &form, [] { std::raise(SIGKILL); });
        platform::runHandler([&] { form.handlers->cmdcopy_Click(); });
        return 0;
    }
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

void churn(platform::ShellObject& shell, const std::string& who, int count) {
    const std::string counter = "HKEY_LOCAL_MACHINE\\Software\\Churn\\" + who + "\\";
    const std::string passing = counter.substr(0, counter.size() - 1) + " passing\\";
    for (int i = 1; i <= count; ++i) {
        shell.RegWrite(counter, std::to_string(i));
        shell.RegWrite(passing, "here");
        // Only this process writes these keys: anything else is a change lost to the other.
        if (shell.RegRead(counter) != std::to_string(i))
            platform::Raise(1, QStringLiteral("lost change %1 of %2").arg(i).arg(who.c_str()));
        shell.RegDelete(passing);
    }
}
} // namespace

int main(int argc, char* argv[]) {
    const QByteArrayView mode(argc > 1 ? argv[1] : "");
    const std::string a = argc > 2 ? argv[2] : "", b = argc > 3 ? argv[3] : "";
    if (mode == "copy" || mode == "kill" || mode == "close-during-copy" || mode == "raise")
        return window(mode, QString::fromLocal8Bit(a), QString::fromLocal8Bit(b),
                      argc > 4 ? argv[4] : nullptr, argv);
    try {
        const auto shell = platform::CreateObject("WScript.Shell");
        if (mode == "write")
            shell->RegWrite(a, b);
        else if (mode == "read")
            std::printf("%s\n", shell->RegRead(a).c_str());
        else if (mode == "churn")
            churn(*shell, a, std::atoi(b.c_str()));
        else
            return 2;
        return 0;
    } catch (const platform::RuntimeError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), e.what());
        return 1;
    }
}
