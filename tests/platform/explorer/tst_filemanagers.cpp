#include "platform/explorer/filemanagers.h"
#include "platform/registry/registry.h"
#include "platform/registry/shellobject.h"
#include "runtime/errors.h"
#include "support/scripted.h"

#include <QTest>
#include <sys/stat.h>

using namespace platform;
using filemanagers::Publish;

namespace {
const QString shellKey = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\");
const QString command = shellKey + QStringLiteral("Zintra\\command\\");
// Each path below the folder with its mode, and each file's contents.
const QString listing = QStringLiteral("find . -mindepth 1 | LC_ALL=C sort | while read -r f; do "
                                       "stat -c '%n %a' \"$f\"; cat \"$f\" 2>/dev/null; done");
} // namespace

class TestFileManagers : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::OpenTempDir> root;
    std::unique_ptr<ShellObject> shell = CreateObject("WScript.Shell");
    Publish everyVerb = Publish::everyVerb; // after each change, as root too
    StandIn<Publish> publish{everyVerb};

    void write(const QString& name, const QString& text) {
        shell->RegWrite(name.toStdString(), text.toStdString());
    }
    // What a script run in /usr/local/share prints.
    QByteArray sh(const QString& script) const {
        const QString share = root->path() + "/usr/local/share";
        return testing::run("sh", {"-c", "mkdir -p \"$0\" && cd \"$0\" && " + script, share}).out;
    }

private slots:
    void init() {
        root = std::make_unique<testing::OpenTempDir>();
        qputenv("ZINTRA_ROOT", QFile::encodeName(root->path()));
    }

    // Each verb with a command, whatever its name, in each format. Our entries of other verbs
    // go, what differs is written again, everything else is left alone; a failure is reported
    // after every other entry is written.
    void exportsEachVerbWithACommand() {
        // Someone else's entries, and one of ours whose verb has gone.
        const QString others = QFINDTESTDATA("explorer/others");
        QVERIFY(!others.isEmpty()); // an empty name would copy the whole file system
        sh("cp -R '" + others + "'/. .");
        const QStringList verbs{"Zintra", "Open Here", "../a_20", QString(300, u'é'),
                                QString(299, u'é') + u'e'};
        const mode_t umask = ::umask(077);
        write(shellKey + "Zintra\\", "Copy with Zintra");
        write(command, "/usr/bin/zintra %1");
        for (const QString& verb : verbs.mid(1))
            write(shellKey + verb + "\\command\\", "\"/opt/my tools/view\" \"%1\"");
        ::umask(umask);
        QCOMPARE(sh(listing), testing::readAll(QFINDTESTDATA("explorer/exported.txt")));

        sh("echo 'Exec=rm -rf ~' >nemo/actions/zintra-Zintra.nemo_action; chmod 600 "
           "nemo/actions/zintra-Open_20Here.nemo_action; rm file-manager/actions/zintra-Zintra*");
        write("HKEY_LOCAL_MACHINE\\Software\\Unrelated", "x");
        QCOMPARE(sh(listing), testing::readAll(QFINDTESTDATA("explorer/exported.txt")));

        for (const QString& verb : verbs)
            shell->RegDelete((shellKey + verb + "\\command\\").toStdString());
        QCOMPARE(sh(listing), testing::readAll(QFINDTESTDATA("explorer/exported-none.txt")));

        sh("rm -r nemo && echo 'a file where a folder should be' >nemo");
        QVERIFY_THROWS_EXCEPTION(RuntimeError, write(command, "/usr/bin/zintra %1"));
        QCOMPARE(shell->RegRead(command.toStdString()), "/usr/bin/zintra %1"); // committed
        QCOMPARE(sh("ls */*/zintra-*"), QByteArray("file-manager/actions/zintra-Zintra.desktop\n"
                                                   "kio/servicemenus/zintra-Zintra.desktop\n"));
    }

    // What root publishes for every user: the program's own verb alone, with a program that
    // only root can change, from a registry that is no link, written through no link; the
    // verbs left out are named on one line. The marker of outdated entries goes before the read.
    void rootPublishesOnlyItsOwnVerb_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("program"); // the command line before " %1"; $root: root->path()
        QTest::addColumn<QString>("setup");   // run in the root before the update
        QTest::addColumn<QString>("entries"); // below usr/local/share after it; "!" if it failed
        const QString all = "file-manager/actions/zintra-Zintra.desktop "
                            "kio/servicemenus/zintra-Zintra.desktop "
                            "nemo/actions/zintra-Zintra.nemo_action";
        const QString text = "Copy with Zintra", ok = "/usr/bin/true", r = "$root";
        const auto row = [](const char* name, const QString& text, const QString& program,
                            const QString& setup, const QString& entries) {
            QTest::newRow(name) << text << program << setup << entries;
        };
        row("own verb", text, ok, "", all);
        row("other text", "Copy with ZINTRA", ok, "", "");
        row("quoted", text, '"' + ok + '"', "", "");
        row("root's folder", text, r + "/p", "cp /usr/bin/true p", all);
        row("others may write", text, r + "/p", "cp /usr/bin/true p; chmod 775 p", "");
        row("others may rename", text, r + "/w/p", "mkdir -m 777 w; cp /usr/bin/true w/p", "");
        row("through a link", text, r + "/l/true", "ln -s /usr/bin l", "");
        row("registry a link", text, ok, "mv \"$0\" reg && ln -s \"$PWD/reg\" \"$0\"", "!");
        row("folder a link", text, ok, "cd usr/local/share; mkdir -p o/actions; ln -s o nemo",
            "! file-manager/actions/zintra-Zintra.desktop kio/servicemenus/zintra-Zintra.desktop");
    }
    void rootPublishesOnlyItsOwnVerb() {
        QFETCH(QString, program);
        QFETCH(QString, entries);
        if (program.startsWith("$root") && ::geteuid() != 0)
            QSKIP("a program in the temporary folder is root's only when the test runs as root");
        QFETCH(QString, text);
        write(shellKey + "Zintra\\", text);
        write(command, program.replace("$root", root->path()) + " %1");
        write(shellKey + "Open Here\\command\\", "/usr/bin/true %1");
        const QString marker = root->path() + "/var/lib/zintra/registry/menu-entries-outdated";
        QVERIFY(QFile(marker).open(QIODevice::WriteOnly));
        QFETCH(QString, setup);
        testing::run("sh", {"-c", "cd \"$1\" && rm -rf usr && mkdir -p usr/local/share && " + setup,
                            registry::machineFile(), root->path()});
        const auto ran = testing::run(ZINTRA_UPDATER, {});
        const QByteArray published = sh("find * -name 'zintra-*' | sort | tr '\\n' ' '");
        QCOMPARE(QString((ran.exitCode ? "! " : "") + published).trimmed(), entries);
        QVERIFY(!QFile::exists(marker));
        if (ran.exitCode == 0)
            QCOMPARE(ran.err, "update-menu-entries: left out of the menus, not ZINTRA's own verb "
                              "with a program only root can change: \"" +
                                  QByteArray(entries.isEmpty() ? "Zintra\", \"" : "") +
                                  "Open Here\"\n");
    }

    // Each format's command, undone by GLib (the parser the GTK file managers use) and by the
    // desktop-entry validator, starts exactly the registered program with exactly the file.
    void startsTheProgramWithTheFile() {
        const QStringList programs{"my apps/say \"hi\" it's/'zintra'",
                                   "$HOME `id`/$(zintra) é 日本", "100%f %F %% %2x/zintra%",
                                   "back\\slash\\n\\\\/zintra\\", "a=b;c|d&e*f?g#h(i)~<j>/zintra"};
        const QString file = root->filePath("my \"notes\" $x `y` 50%f 'q' \\ é.txt");
        const QString text = "Copy 100% \"safely\" \\ é";
        QStringList args{ZINTRA_MENUENTRY, root->path(), file, text};
        for (const QString& program : programs) {
            const QString verb = shellKey + QString::number(args.size() - 4) + '\\';
            write(verb, text);
            write(verb + "command\\", root->filePath(program) + " %1");
            args << root->filePath(program);
        }
        // Debian's python3, which python3-gi serves
        const auto checked = testing::run("/usr/bin/python3", args);
        QVERIFY2(checked.exitCode == 0, checked.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestFileManagers)
#include "tst_filemanagers.moc"
