// Runs one registry call, one session of the main window or one copy in a process of its own,
// so that tests can run it as another user, several at once, under a file-size limit, or watch
// the program end. Exit status 0 on success, 1 when a call raised a runtime error (reported on
// stderr), 2 on a usage error.
//
//   zintra_testhost write NAME TEXT | read NAME | delete NAME
//   zintra_testhost churn WHO COUNT   writes, reads back and deletes keys of its own COUNT times
//   zintra_testhost form [click...]   loads the main window, chooses Context Menu per "click",
//                                     prints the check mark after each step and the message count
//   zintra_testhost copy SOURCE DEST [FSIZE]
//                                     one "Start Copying" with the two boxes filled
//   zintra_testhost close-during-copy SOURCE DEST
//                                     the user closes the window while the copy runs
//   zintra_testhost raise             a handler raises an error nothing traps
// In the last three, every message box is answered at once and printed as "MSG:<title>:<text>".
#include "app/frmzintra.h"
#include "platform/explorer/filemanagers.h"
#include "platform/registry/shellobject.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/seam.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/untrapped.h"
#include "platform/ui/window.h"
#include "support/scripted.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {
void print(const QString& line) {
    std::printf("%s\n", qPrintable(line));
}

void churn(platform::ShellObject& shell, const QString& who, int count) {
    const QString counter = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Churn\\%1\\").arg(who);
    const QString passing =
        QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Churn\\%1 passing\\").arg(who);
    for (int i = 1; i <= count; ++i) {
        shell.RegWrite(counter, QString::number(i));
        shell.RegWrite(passing, QStringLiteral("here"));
        // Only this process writes these keys: anything else is a change lost to the other.
        if (shell.RegRead(counter) != QString::number(i))
            platform::Raise(1, QStringLiteral("lost change %1 of %2").arg(i).arg(who));
        shell.RegDelete(passing);
    }
}

int form(int argc, char* argv[]) {
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    testing::ScriptedMessageBoxes boxes;
    frmzintra window;
    window.Form_Load();
    print(QStringLiteral("mark=%1").arg(window.mnucont->isChecked()));
    for (int i = 2; i < argc; ++i) {
        window.mnucont->trigger();
        print(QStringLiteral("mark=%1").arg(window.mnucont->isChecked()));
    }
    print(QStringLiteral("messages=%1").arg(boxes.shown.size()));
    return 0;
}

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

int copy(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    PrintingMessageBoxes boxes;
    const platform::StandIn<platform::MessageBoxHost> standIn(boxes);
    const QByteArrayView mode(argv[1]);
    if (mode == "raise") {
        platform::runHandler([] { platform::Raise(5, QStringLiteral("Invalid procedure call")); });
        return 0;
    }
    if (argc < 4)
        return 2;
    frmzintra form;
    form.txtinput->setText(QString::fromLocal8Bit(argv[2]));
    form.txtoutput->setText(QString::fromLocal8Bit(argv[3]));
    if (mode == "copy") {
        if (argc > 4)
            limitFileSize(argv[4]);
        platform::runHandler([&] { form.cmdcopy_Click(); });
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

int call(const QStringList& args) {
    const auto shell = platform::CreateObject(QStringLiteral("WScript.Shell"));
    const QString& verb = args.value(0);
    if (verb == u"write" && args.size() == 3)
        shell->RegWrite(args[1], args[2]);
    else if (verb == u"read" && args.size() == 2)
        print(shell->RegRead(args[1]));
    else if (verb == u"delete" && args.size() == 2)
        shell->RegDelete(args[1]);
    else if (verb == u"churn" && args.size() == 3)
        churn(*shell, args[1], args[2].toInt());
    else
        return 2;
    return 0;
}
} // namespace

int main(int argc, char* argv[]) {
    platform::filemanagers::followRegistry(); // as the program does
    const QByteArrayView mode(argc > 1 ? argv[1] : "");
    if (mode == "form")
        return form(argc, argv);
    if (mode == "copy" || mode == "close-during-copy" || mode == "raise")
        return copy(argc, argv);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    try {
        return call(args);
    } catch (const platform::RuntimeError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), e.what());
        return 1;
    }
}
