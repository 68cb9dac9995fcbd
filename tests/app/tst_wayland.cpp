// The real program on a headless weston: asked to maximise its windows, as the title bar's
// button does, it lives on and every window keeps its size (driver/zintradriver.cpp asks).
#include "support/scripted.h"

#include <QProcess>
#include <QTest>

class WaylandTest : public QObject {
    Q_OBJECT
    QTemporaryDir runtime; // weston's and the program's XDG_RUNTIME_DIR, 0700
    QProcess weston;

private slots:
    void initTestCase() {
        weston.setProcessEnvironment([this] {
            auto environment = QProcessEnvironment::systemEnvironment();
            environment.insert("XDG_RUNTIME_DIR", runtime.path());
            return environment;
        }());
        weston.start("weston", {"--backend=headless-backend.so", "--socket=zintra", "--idle-time=0",
                                "--width=1024", "--height=768"});
        const QString socket = runtime.filePath("zintra");
        if (!QTest::qWaitFor(
                [&] { return QFile::exists(socket) || weston.state() == QProcess::NotRunning; },
                30000) ||
            !QFile::exists(socket))
            QSKIP("weston cannot start here");
    }
    void cleanupTestCase() {
        weston.terminate();
        if (!weston.waitForFinished(10000))
            weston.kill();
        weston.waitForFinished();
    }

    void maximise() {
        testing::OpenTempDir root;
        const auto ran =
            testing::run(ZINTRA_EXE, {},
                         {"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=zintra",
                          "XDG_RUNTIME_DIR=" + runtime.path(), "ZINTRA_ROOT=" + root.path(),
                          "QT_PLUGIN_PATH=" ZINTRA_TEST_PLUGINS,
                          "QT_QPA_GENERIC_PLUGINS=zintradriver:maximise"});
        QStringList printed = QString::fromUtf8(ran.out).trimmed().split('\n');
        printed.sort(); // the box's size follows its font; it only has to stay
        const QString box = printed.value(0).section(' ', 1, 1);
        QCOMPARE(printed, QStringList({"QMessageBox " + box + ' ' + box, "frmabout 354x273 354x273",
                                       "frmzintra 418x178 418x178", "wayland"}));
        QCOMPARE(ran.exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(WaylandTest)
#include "tst_wayland.moc"
