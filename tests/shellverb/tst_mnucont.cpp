// Help > Context Menu in the real program, chosen by driver/zintradriver.cpp.
#include "platform/explorer/menuexports.h"
#include "platform/registry/registry.h"
#include "platform/registry/shellobject.h"
#include "runtime/errors.h"
#include "shellverb/verb.h"
#include "support/scripted.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <unistd.h>

using namespace platform;

class TestMnucont : public QObject {
    Q_OBJECT
    testing::OpenTempDir root;
    // The program and its driver copied where nobody may reach them: the build tree may sit in
    // a folder only its owner may enter (root's home), and nobody could load no driver from it.
    testing::OpenTempDir bin;
    const QString exe = bin.file("zintra"), driver = bin.file("plugins/generic/libzintradriver.so");
    const QStringList keys{QString::fromStdString(shellverb::verbKey()),
                           QString::fromStdString(shellverb::commandKey())};

    // What the driver prints after its click: the check mark and the source box. The rest of
    // the environment, the registry's root included, is this test's.
    QString click(bool asNobody) {
        const QStringList environment{"QT_PLUGIN_PATH=" + bin.file("plugins"),
                                      "QT_QPA_GENERIC_PLUGINS=zintradriver:click"};
        const auto run = asNobody ? testing::runAsNobody : testing::run;
        return QString::fromUtf8(run(exe, {}, environment).out.trimmed());
    }

private slots:
    void initTestCase() {
        qputenv("ZINTRA_ROOT", QFile::encodeName(root.path()));
        QVERIFY(QDir().mkpath(QFileInfo(driver).path()) && QFile::copy(ZINTRA_EXE, exe) &&
                QFile::copy(ZINTRA_TEST_DRIVER, driver));
    }

    // The verb's value and its command's, "-" for a missing key.
    void choose_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("asNobody");
        QTest::addColumn<QString>("after"); // what the program printed | the registry
        const QString verb = "Copy with Zintra | ",
                      on = verb + QFileInfo(exe).canonicalFilePath() + " %1", off = "- | -";
        QTest::newRow("registers") << off << false << "mark=1 source= | " + on;
        QTest::newRow("removes") << on << false << "mark=0 source= | " + off;
        QTest::newRow("verb, no command") << verb + "-" << false << "mark=0 source= | " + off;
        // The mark shows what the registry holds, for a user who may not change it too.
        QTest::newRow("nobody cannot register") << off << true << "mark=0 source= | " + off;
        QTest::newRow("nobody cannot remove") << on << true << "mark=1 source= | " + on;
    }
    void choose() {
        QFETCH(QString, before);
        QFETCH(bool, asNobody);
        if (asNobody && ::geteuid() != 0)
            QSKIP("running a part as nobody needs root");
        if (asNobody && testing::runAsNobody("test", {"-x", exe, "-a", "-r", driver}).exitCode)
            QSKIP("nobody cannot reach the program's copy in the temporary folder");
        QStringList values = before.split(" | ");
        for (qsizetype i = 0; i < keys.size(); ++i)
            ResumeNext()([&] {
                values[i] == "-"
                    ? ShellObject().RegDelete(keys[i].toStdString())
                    : ShellObject().RegWrite(keys[i].toStdString(), values[i].toStdString());
            });
        const QString printed = click(asNobody);
        for (qsizetype i = 0; i < keys.size(); ++i)
            if (!ResumeNext()([&] {
                    values[i] =
                        QString::fromStdString(ShellObject().RegRead(keys[i].toStdString()));
                }))
                values[i] = "-";
        QTEST(printed + " | " + values.join(" | "), "after");
        // The program's own changes reach the file managers' menus.
        for (const auto& entry : menuexports::exports(menuexports::verbs(registry::load())))
            if (!asNobody)
                QCOMPARE(testing::readAll(root.path() + entry.path), entry.contents);
    }
};

QTEST_GUILESS_MAIN(TestMnucont)
#include "tst_mnucont.moc"
