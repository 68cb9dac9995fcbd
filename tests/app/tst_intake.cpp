#include "platform/machine/machinepath.h"
#include "platform/process/process.h"
#include "platform/textbridge.h"
#include "support/scripted.h"

#include <QTest>
#include <unistd.h>

// Start-up as the system sees it: the names it gives, and the real program on a display.
class IntakeTest : public QObject {
    Q_OBJECT
    testing::OpenTempDir dir_;
    const QByteArray raw_ = QFile::encodeName(dir_.path());

private slots:
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
