// Help > Context Menu in the real program, chosen by driver/zintradriver.cpp.
#include "platform/explorer/menuexports.h"
#include "platform/registry/registry.h"
#include "platform/registry/shellobject.h"
#include "platform/runtime/errors.h"
#include "shellverb/verb.h"
#include "support/scripted.h"

#include <QFileInfo>
#include <QTest>
#include <unistd.h>

using namespace platform;

class TestMnucont : public QObject {
    Q_OBJECT
    testing::OpenTempDir root;
    const QString registered = QFileInfo(ZINTRA_EXE).canonicalFilePath() + " %1";
    const QStringList keys{shellverb::verbKey(), shellverb::commandKey()};

    // What the driver prints: the check mark and the source box.
    QString start(const QStringList& arguments, const QString& step, bool asNobody = false) {
        // The rest of the environment, the registry's root included, is this test's.
        const QStringList environment{QStringLiteral("QT_PLUGIN_PATH=" ZINTRA_TEST_PLUGINS),
                                      "QT_QPA_GENERIC_PLUGINS=zintradriver:" + step};
        const auto run = asNobody ? testing::runAsNobody : testing::run;
        return QString::fromUtf8(run(ZINTRA_EXE, arguments, environment).out.trimmed());
    }

private slots:
    void initTestCase() { qputenv("ZINTRA_ROOT", QFile::encodeName(root.path())); }

    // The verb's value and its command's, "-" for a missing key.
    void choose_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("asNobody");
        QTest::addColumn<QString>("after"); // what the program printed | the registry
        const QString verb = "Copy with Zintra | ", on = verb + registered, off = "- | -";
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
        QStringList values = before.split(" | ");
        for (qsizetype i = 0; i < keys.size(); ++i)
            ResumeNext()([&] {
                values[i] == "-" ? ShellObject().RegDelete(keys[i])
                                 : ShellObject().RegWrite(keys[i], values[i]);
            });
        const QString printed = start({}, "click", asNobody);
        for (qsizetype i = 0; i < keys.size(); ++i)
            if (!ResumeNext()([&] { values[i] = ShellObject().RegRead(keys[i]); }))
                values[i] = "-";
        QTEST(printed + " | " + values.join(" | "), "after");
        // The program's own changes reach the file managers' menus.
        for (const auto& entry : menuexports::exports(menuexports::verbs(registry::load())))
            if (!asNobody)
                QCOMPARE(testing::readAll(root.path() + entry.path), entry.contents);
    }

    void startedWithAFile() {
        const QString file = root.file("notes -platform x.txt");
        testing::writePatternFile(file, 1);
        QCOMPARE(start({file}, "report").section(u' ', 1), "source=" + file);
    }
};

QTEST_GUILESS_MAIN(TestMnucont)
#include "tst_mnucont.moc"
