// Runs one registry call or one session of the main window in a process of its own, so that
// tests can run it as another user or several at once. Exit status 0 on success, 1 when a call
// raised a runtime error (reported on stderr), 2 on a usage error.
//
//   zintra_testhost write NAME TEXT | read NAME | delete NAME
//   zintra_testhost churn WHO COUNT   writes, reads back and deletes keys of its own COUNT times
//   zintra_testhost form [click...]   loads the main window, chooses Context Menu per "click",
//                                     prints the check mark after each step and the message count
#include "app/frmzintra.h"
#include "platform/filemanagers.h"
#include "platform/runtime.h"
#include "platform/shellobject.h"
#include "support/scripted.h"

#include <QAction>
#include <QApplication>
#include <cstdio>

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
    if (argc > 1 && QByteArrayView(argv[1]) == "form")
        return form(argc, argv);
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
