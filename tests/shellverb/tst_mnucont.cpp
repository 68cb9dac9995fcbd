// Help > Context Menu in the real program, chosen by driver/zintradriver.cpp.
#include "platform/explorer/menuexports.h"
#include "platform/registry/registry.h"
#include "platform/registry/shellobject.h"
#include "runtime/errors.h"
#include "shellverb/verb.h"
#include "support/scripted.h"

#include <QFileInfo>
#include <QTest>

using namespace platform;

class TestMnucont : public QObject {
    Q_OBJECT
    testing::OpenTempDir root;
    const QString exe = QFileInfo(ZINTRA_EXE).canonicalFilePath();
    const QStringList keys{QString::fromStdString(shellverb::verbKey()),
                           QString::fromStdString(shellverb::commandKey())};

    // What the driver prints after its click: the check mark and the source box. The rest of
    // the environment, the registry's root included, is this test's.
    QString click() {
        const QStringList environment{"QT_PLUGIN_PATH=" ZINTRA_TEST_PLUGINS,
                                      "QT_QPA_GENERIC_PLUGINS=zintradriver:click"};
        return QString::fromUtf8(testing::run(exe, {}, environment).out.trimmed());
    }

private slots:
    void initTestCase() { qputenv("ZINTRA_ROOT", QFile::encodeName(root.path())); }

    // The verb's value and its command's, "-" for a missing key.
    void choose_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after"); // what the program printed | the registry
        const QString verb = "Copy with Zintra | ", on = verb + exe + " %1", off = "- | -";
        QTest::newRow("registers") << off << "mark=1 source= | " + on;
        QTest::newRow("removes") << on << "mark=0 source= | " + off;
    }
    void choose() {
        QFETCH(QString, before);
        QStringList values = before.split(" | ");
        for (qsizetype i = 0; i < keys.size(); ++i)
            ResumeNext()([&] {
                values[i] == "-"
                    ? ShellObject().RegDelete(keys[i].toStdString())
                    : ShellObject().RegWrite(keys[i].toStdString(), values[i].toStdString());
            });
        const QString printed = click();
        for (qsizetype i = 0; i < keys.size(); ++i)
            if (!ResumeNext()([&] {
                    values[i] =
                        QString::fromStdString(ShellObject().RegRead(keys[i].toStdString()));
                }))
                values[i] = "-";
        QTEST(printed + " | " + values.join(" | "), "after");
        // The program's own changes reach the file managers' menus.
        for (const auto& entry : menuexports::exports(menuexports::verbs(registry::load())))
            QCOMPARE(testing::readAll(root.path() + entry.path), entry.contents);
    }
};

QTEST_GUILESS_MAIN(TestMnucont)
#include "tst_mnucont.moc"
