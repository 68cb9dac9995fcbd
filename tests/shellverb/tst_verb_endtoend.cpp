#include "platform/explorer/command.h"
#include "platform/explorer/menuexports.h"
#include "platform/registry/registry.h"
#include "platform/registry/shellobject.h"
#include "shellverb/verb.h"
#include "support/scripted.h"

#include <QFileInfo>
#include <QTest>

class TestVerbEndToEnd : public QObject {
    Q_OBJECT
    testing::OpenTempDir root;

    // Runs a program with the test driver loaded into it (see driver/zintradriver.cpp).
    testing::Finished drive(const QString& program, const QStringList& arguments,
                            const QString& step) {
        return testing::run(program, arguments,
                            {"ZINTRA_ROOT=" + root.path(), "QT_QPA_PLATFORM=offscreen",
                             QStringLiteral("QT_PLUGIN_PATH=" ZINTRA_TEST_PLUGINS),
                             "QT_QPA_GENERIC_PLUGINS=zintradriver:" + step});
    }

private slots:
    void initTestCase() { qputenv("ZINTRA_ROOT", QFile::encodeName(root.path())); }

    void fileManagerStartsTheRegisteredProgram() {
        const QString zintra = QFileInfo(ZINTRA_EXE).canonicalFilePath();
        const auto first = drive(zintra, {}, "click");
        QCOMPARE(first.out, QByteArray("mark=0\nmark=1\nsource=\n"));
        platform::ShellObject shell;
        QCOMPARE(shell.RegRead(shellverb::verbKey()), QStringLiteral("Copy with Zintra"));
        const QString commandLine = shell.RegRead(shellverb::commandKey());
        QCOMPARE(commandLine, zintra + " %1");
        // The program's change reached the file managers' menus.
        const auto entries = platform::menuexports::exports(platform::registry::load());
        QCOMPARE(entries.size(), std::size_t(3));
        for (const auto& entry : entries)
            QCOMPARE(testing::readAll(root.path() + entry.path), entry.contents);

        QCOMPARE(drive(zintra, {}, "report").out, QByteArray("mark=1\nsource=\n"));

        const QString file = root.file("notes -platform x.txt");
        testing::writePatternFile(file, 10);
        const QStringList command = platform::explorerCommand(commandLine, file);
        QCOMPARE(command, QStringList({zintra, file}));
        const auto started = drive(command[0], command.mid(1), "report");
        // The file arrives as the one argument and becomes the source.
        QCOMPARE(started.out, "mark=1\nsource=" + QFile::encodeName(file) +
                                  "\nargument=" + QFile::encodeName(file) + '\n');
    }

    void splitsLikeTheFileManager_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QStringList>("expected");
        const QString file = QStringLiteral("/home/me/my \"notes\".txt");
        QTest::newRow("spaces in the path")
            << "/opt/my apps/zintra %1" << QStringList{"/opt/my apps/zintra", file};
        QTest::newRow("quoted") << "\"/opt/my apps/zintra\" \"%1\""
                                << QStringList{"/opt/my apps/zintra", file};
        QTest::newRow("no placeholder") << "/usr/bin/zintra" << QStringList{"/usr/bin/zintra"};
    }
    void splitsLikeTheFileManager() {
        QFETCH(QString, commandLine);
        QTEST(platform::explorerCommand(commandLine, "/home/me/my \"notes\".txt"), "expected");
    }
};

QTEST_GUILESS_MAIN(TestVerbEndToEnd)
#include "tst_verb_endtoend.moc"
