#include "frontend/qt/mainwindow.h"
#include "platform/machine/machinepath.h"
#include "platform/process/process.h"
#include "platform/textbridge.h"
#include "runtime/errors.h"
#include "runtime/text.h"
#include "support/scripted.h"

#include <QLineEdit>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

// The command line's text becomes the source box while the window loads; any argument then
// opens the folder browser.
class IntakeTest : public QObject {
    Q_OBJECT
    testing::OpenTempDir dir_;
    const QByteArray raw_ = QFile::encodeName(dir_.path());

private slots:
    void initTestCase() {
        // "caf\xe9" is not UTF-8; "caf\uFFFD" is what a lossy reading of it would name.
        for (const char* name : {"caf\xe9", "caf\uFFFD"})
            QVERIFY(::close(::creat((raw_ + '/' + name).constData(), 0644)) == 0);
        qputenv("ZINTRA_ROOT", raw_); // the start-up probe keeps off this machine's registry
    }
    void cleanupTestCase() { ::unlink((raw_ + "/caf\xe9").constData()); } // Qt cannot name it

    void intake_data() {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<bool>("browserFails");
        QTest::addColumn<QString>("source");
        QTest::newRow("no argument") << QByteArrayList{} << false << QString();
        QTest::newRow("quoted, split at its blank")
            << QByteArrayList{'"' + raw_ + "/My", "é.txt\""} << false << dir_.path() + "/My é.txt";
        QTest::newRow("existing, not UTF-8")
            << QByteArrayList{raw_ + "/caf\xe9"} << false << dir_.path() + "/caf" + QChar(0xDCE9);
        // Both steps raise; loading goes on past each.
        QTest::newRow("one character, browser fails") << QByteArrayList{"x"} << true << QString();
    }
    void intake() {
        QFETCH(QByteArrayList, arguments);
        QFETCH(bool, browserFails);
        std::vector<const char*> argv{"zintra"};
        for (const QByteArray& a : arguments)
            argv.push_back(a.constData());
        platform::setCommandLine(int(argv.size()), argv.data());
        testing::ScriptedDialogs dialogs;
        dialogs.folders = {[&]() -> std::optional<QString> {
            if (browserFails)
                platform::Raise(platform::err::OutOfMemory, QStringLiteral("Out of memory"));
            return dir_.path();
        }};
        MainWindow form;
        form.handlers->Form_Load(); // nothing escapes loading
        QTEST(form.txtinput->text(), "source");
        const bool chosen = !arguments.isEmpty() && !browserFails;
        QCOMPARE(form.txtoutput->text(), chosen ? dir_.path() + u'/' : QString());
    }

    // The current folder and the machine-wide root keep their bytes, as every name does.
    void namesFromTheSystem() {
        const QByteArray folder = raw_ + "/d\xe9";
        QVERIFY(::mkdir(folder.constData(), 0755) == 0 && ::chdir(folder.constData()) == 0);
        qputenv("ZINTRA_ROOT", folder);
        const std::string curDir = platform::CurDir();
        const QString var = platform::machinePath("/var");
        qputenv("ZINTRA_ROOT", raw_);
        QVERIFY(::chdir(raw_.constData()) == 0 && ::rmdir(folder.constData()) == 0);
        QCOMPARE(curDir + '|' + platform::toBytes(var),
                 (folder + '|' + folder + "/var").toStdString());
    }

    // The real program on a display. Qt reads none of its arguments (these would hide every
    // window), and the browser comes before the main window.
    void realStart() {
        const auto r = testing::run(
            "xvfb-run",
            {"-a", ZINTRA_WINDOWS_IN_ORDER, ZINTRA_EXECUTABLE, "-platform", "offscreen"},
            {"QT_QPA_PLATFORM=xcb", "ZINTRA_ROOT=" + dir_.path()});
        QCOMPARE(r.out, "shown: Select the destination folder.\nthen: ZINTRA Free Version\n");
    }

    // The real program on a headless weston: asked to maximise its windows, as the title bar's
    // button does, it lives on and every window keeps its size (the driver asks).
    void waylandMaximise() {
        QTemporaryDir runtime; // weston's and the program's XDG_RUNTIME_DIR, 0700
        QProcess weston;
        weston.setEnvironment(QProcess::systemEnvironment() << "XDG_RUNTIME_DIR=" + runtime.path());
        weston.start("weston", {"--backend=headless-backend.so", "--socket=zintra", "--idle-time=0",
                                "--width=1024", "--height=768"});
        const auto end = qScopeGuard([&] {
            weston.kill();
            weston.waitForFinished();
        });
        const QString socket = runtime.filePath("zintra");
        const auto up = [&] { return QFile::exists(socket) || !weston.processId(); };
        if (!QTest::qWaitFor(up, 30000) || !QFile::exists(socket))
            QSKIP("weston cannot start here");
        const auto ran =
            testing::run(ZINTRA_EXECUTABLE, {},
                         {"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=zintra",
                          "XDG_RUNTIME_DIR=" + runtime.path(), "ZINTRA_ROOT=" + dir_.path(),
                          "QT_PLUGIN_PATH=" ZINTRA_TEST_PLUGINS,
                          "QT_QPA_GENERIC_PLUGINS=zintradriver:maximise"});
        QStringList printed = QString::fromUtf8(ran.out).trimmed().split('\n');
        printed.sort(); // the box's size follows its font; it only has to stay
        const QString box = printed.value(0).section(' ', 1, 1);
        QCOMPARE(printed, QStringList({"QMessageBox " + box + ' ' + box, "frmabout 354x273 354x273",
                                       "frmzintra 418x178 418x178", "wayland"}));
    }
};

QTEST_MAIN(IntakeTest)
#include "tst_intake.moc"
