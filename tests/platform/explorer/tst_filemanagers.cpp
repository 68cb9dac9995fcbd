#include "platform/explorer/filemanagers.h"
#include "platform/explorer/menuexports.h"
#include "platform/registry/registry.h"
#include "platform/registry/shellobject.h"
#include "platform/runtime/errors.h"
#include "support/scripted.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <sys/stat.h>

using namespace platform;

namespace {
const QString shellKey = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\");
const QString verb = shellKey + QStringLiteral("Zintra\\");
const QString command = verb + QStringLiteral("command\\");

const QString serviceMenus = QStringLiteral("/usr/local/share/kio/servicemenus/");
const QString nemoActions = QStringLiteral("/usr/local/share/nemo/actions/");
const QString fileManagerActions = QStringLiteral("/usr/local/share/file-manager/actions/");

struct Stat {
    mode_t mode = 0;
    ino_t inode = 0;
};
Stat statOf(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {st.st_mode & 07777, st.st_ino};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// A program that records the arguments it receives, $0 first, in $ZINTRA_ARGV_OUT.
void writeRecorder(const QString& path) {
    writeFile(path, "#!/bin/sh\nprintf '%s\\0' \"$0\" \"$@\" >\"$ZINTRA_ARGV_OUT\"\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
}
} // namespace

class TestFileManagers : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::OpenTempDir> root;
    std::unique_ptr<ShellObject> shell;

    QString at(const QString& machinePath) const { return root->path() + machinePath; }

    // Every file the registry calls for is on disk, byte for byte and with its mode.
    void verifyExportsMatchTheRegistry() {
        for (const menuexports::Export& entry : menuexports::exports(registry::load())) {
            QCOMPARE(testing::readAll(at(entry.path)), entry.contents);
            QCOMPARE(statOf(at(entry.path)).mode, entry.mode);
        }
    }

private slots:
    void init() {
        root = std::make_unique<testing::OpenTempDir>();
        qputenv("ZINTRA_ROOT", QFile::encodeName(root->path()));
        filemanagers::followRegistry();
        shell = CreateObject(QStringLiteral("WScript.Shell"));
    }
    void cleanup() {
        registry::setChangeObserver({});
        qunsetenv("ZINTRA_ROOT");
    }

    void exportsEachVerbAndRemovesItWithItsCommand() {
        // Someone else's entries, and one of ours whose verb has gone.
        writeFile(at(nemoActions + "not-ours.nemo_action"), "[Nemo Action]\n");
        writeFile(at(nemoActions + "zintra-notes.txt"), "kept");
        writeFile(at(nemoActions + "Zintra-Theirs.nemo_action"), "kept");
        writeFile(at(nemoActions + "zintra-Gone.nemo_action"), "[Nemo Action]\n");

        const mode_t umask = ::umask(077);
        shell->RegWrite(verb, "Copy with Zintra");
        QVERIFY2(!QFileInfo::exists(at(serviceMenus)), "a verb without a command was exported");
        QVERIFY(!QFileInfo::exists(at(nemoActions + "zintra-Gone.nemo_action")));
        shell->RegWrite(command, "/usr/bin/zintra %1");
        ::umask(umask);

        QCOMPARE(testing::readAll(at(serviceMenus + "zintra-Zintra.desktop")),
                 QByteArray("[Desktop Entry]\n"
                            "Type=Service\n"
                            "TryExec=/usr/bin/zintra\n"
                            "MimeType=all/allfiles;\n"
                            "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                            "X-KDE-MaxNumberOfUrls=1\n"
                            "Actions=run;\n"
                            "\n"
                            "[Desktop Action run]\n"
                            "Name=Copy with Zintra\n"
                            "Exec=/usr/bin/zintra %f\n"));
        QCOMPARE(testing::readAll(at(nemoActions + "zintra-Zintra.nemo_action")),
                 QByteArray("[Nemo Action]\n"
                            "Active=true\n"
                            "Name=Copy with Zintra\n"
                            "Exec='/usr/bin/zintra' %F\n"
                            "Quote=double\n"
                            "Selection=s\n"
                            "Extensions=nodirs;\n"
                            "Dependencies=/usr/bin/zintra;\n"));
        QCOMPARE(testing::readAll(at(fileManagerActions + "zintra-Zintra.desktop")),
                 QByteArray("[Desktop Entry]\n"
                            "Type=Action\n"
                            "Name=Copy with Zintra\n"
                            "Profiles=run;\n"
                            "\n"
                            "[X-Action-Profile run]\n"
                            "MimeTypes=all/allfiles;\n"
                            "SelectionCount==1\n"
                            "Exec=/usr/bin/zintra %f\n"));
        QCOMPARE(statOf(at(serviceMenus + "zintra-Zintra.desktop")).mode, mode_t(0755));
        QCOMPARE(statOf(at(nemoActions + "zintra-Zintra.nemo_action")).mode, mode_t(0644));
        QCOMPARE(statOf(at(fileManagerActions + "zintra-Zintra.desktop")).mode, mode_t(0644));
        for (const char* folder :
             {"/usr/local/share/kio", "/usr/local/share/kio/servicemenus",
              "/usr/local/share/file-manager", "/usr/local/share/file-manager/actions"})
            QCOMPARE(statOf(at(folder)).mode, mode_t(0755));

        // Any verb with a command, not only ours; without menu text its name stands in.
        shell->RegWrite(shellKey + "Open Here\\command\\", "\"/opt/my tools/view\" \"%1\"");
        const QByteArray openHere =
            testing::readAll(at(fileManagerActions + "zintra-Open_20Here.desktop"));
        QVERIFY(openHere.contains("\nName=Open Here\n"));
        QVERIFY(openHere.contains("\nExec=\"/opt/my tools/view\" %f\n"));
        verifyExportsMatchTheRegistry();
        QCOMPARE(menuexports::exports(registry::load()).size(), std::size_t(6));

        shell->RegDelete(command);
        for (const QString& gone :
             {serviceMenus + "zintra-Zintra.desktop", nemoActions + "zintra-Zintra.nemo_action",
              fileManagerActions + "zintra-Zintra.desktop"})
            QVERIFY2(!QFileInfo::exists(at(gone)), qPrintable(gone));
        QVERIFY(QFileInfo::exists(at(nemoActions + "zintra-Open_20Here.nemo_action")));
        QCOMPARE(testing::readAll(at(nemoActions + "not-ours.nemo_action")),
                 QByteArray("[Nemo Action]\n"));
        QCOMPARE(testing::readAll(at(nemoActions + "zintra-notes.txt")), QByteArray("kept"));

        shell->RegDelete(shellKey + "Open Here\\command\\");
        QCOMPARE(
            QDir(at(nemoActions)).entryList(QDir::Files, QDir::Name),
            QStringList({"Zintra-Theirs.nemo_action", "not-ours.nemo_action", "zintra-notes.txt"}));
    }

    void rewritesFromTheRegistryOnlyWhatDiffers() {
        shell->RegWrite(command, "/usr/bin/zintra %1");
        shell->RegWrite(shellKey + "Other\\command\\", "/usr/bin/other %1");
        const QString kde = at(serviceMenus + "zintra-Zintra.desktop");
        const QString nemo = at(nemoActions + "zintra-Zintra.nemo_action");
        const QString other = at(nemoActions + "zintra-Other.nemo_action");
        const Stat untouched = statOf(other);

        writeFile(nemo, "[Nemo Action]\nExec=rm -rf ~\n");
        QVERIFY(QFile::setPermissions(kde, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(QFile::remove(at(fileManagerActions + "zintra-Zintra.desktop")));
        filemanagers::synchronize(registry::load());
        verifyExportsMatchTheRegistry();

        // An entry that is already right keeps its file, so watching file managers see nothing.
        shell->RegWrite("HKEY_LOCAL_MACHINE\\Software\\Norvane\\Unrelated", "x");
        QCOMPARE(statOf(other).inode, untouched.inode);
    }

    void writesWhatItCanAndThenReportsTheRest() {
        writeFile(at("/usr/local/share/nemo"), "a file where a folder should be");
        int raised = 0;
        try {
            shell->RegWrite(command, "/usr/bin/zintra %1");
        } catch (const RuntimeError& e) {
            raised = e.number();
        }
        QCOMPARE(raised, err::Failed);
        QCOMPARE(shell->RegRead(command), QStringLiteral("/usr/bin/zintra %1"));
        QVERIFY(QFileInfo::exists(at(serviceMenus + "zintra-Zintra.desktop")));
        QVERIFY(QFileInfo::exists(at(fileManagerActions + "zintra-Zintra.desktop")));
    }

    void namesEachVerbsFilesApart_data() {
        QTest::addColumn<QString>("verbName");
        QTest::addColumn<QString>("expected");
        QTest::newRow("underscore kept apart") << "a_20"
                                               << "zintra-a_5F20";
        QTest::newRow("no way out of the folder") << "../x"
                                                  << "zintra-_2E_2E_2Fx";
        QTest::newRow("UTF-8 bytes") << QString::fromUtf8("é") << "zintra-_C3_A9";
    }
    void namesEachVerbsFilesApart() {
        QFETCH(QString, verbName);
        QTEST(menuexports::baseName(verbName), "expected");
    }

    void keepsLongNamesShortAndApart() {
        const QString a = menuexports::baseName(QString(300, u'é'));
        const QString b = menuexports::baseName(QString(299, u'é') + u'e');
        QVERIFY(a != b);
        QVERIFY(a.size() <= 210);
        QCOMPARE(menuexports::baseName(QString(300, u'é')), a);
    }

    // Each format's command, undone by GLib (the parser the GTK file managers use) and by the
    // desktop-entry validator, starts exactly the registered program with exactly the file.
    void startsTheProgramWithTheFile_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("spaces") << "my apps/zintra";
        QTest::newRow("double quotes") << "say \"hi\"/zintra";
        QTest::newRow("single quotes") << "it's/'zintra'";
        QTest::newRow("dollar and backtick") << "$HOME `id`/$(zintra)";
        QTest::newRow("percent") << "100%f %F %% %2x/zintra%";
        QTest::newRow("backslashes") << "back\\slash\\n\\\\/zintra\\";
        QTest::newRow("non-ASCII") << QString::fromUtf8("zïntra ünïcode/日本");
        QTest::newRow("reserved") << "a=b;c|d&e*f?g#h(i)~<j>/zintra";
    }
    void startsTheProgramWithTheFile() {
        QFETCH(QString, program);
        program = root->file(program);
        writeRecorder(program);
        const QString file = root->file(QString::fromUtf8("my \"notes\" $x `y` 50%f 'q' \\ é.txt"));
        writeFile(file, "data");
        const QString text = QString::fromUtf8("Copy 100% \"safely\" \\ é");

        reg::Key machine = reg::emptyMachine();
        reg::createKey(machine, {"Software", "CLASSES", "*", "shell", "Zintra"}).setValue({}, text);
        reg::createKey(machine, {"Software", "CLASSES", "*", "shell", "Zintra", "command"})
            .setValue({}, program + " %1");
        filemanagers::synchronize(machine);

        const auto checked =
            testing::run(QStringLiteral("/usr/bin/python3"), // Debian's, which python3-gi serves
                         {QStringLiteral(ZINTRA_MENUENTRY), file,
                          "service:" + at(serviceMenus + "zintra-Zintra.desktop"),
                          "action:" + at(fileManagerActions + "zintra-Zintra.desktop"),
                          "nemo:" + at(nemoActions + "zintra-Zintra.nemo_action")});
        QVERIFY2(checked.exitCode == 0, checked.err.constData());
        const QJsonArray results = QJsonDocument::fromJson(checked.out).array();
        QCOMPARE(results.size(), 3);
        // Dolphin and Nemo hide the entry without the program; the rest show it for one file.
        const QStringList shownIf{program, "=1", program};
        for (qsizetype i = 0; i < results.size(); ++i) {
            QCOMPARE(results[i][QStringLiteral("name")].toString(), text);
            QCOMPARE(results[i][QStringLiteral("argv")].toVariant().toStringList(),
                     QStringList({program, file}));
            QCOMPARE(results[i][QStringLiteral("shownIf")].toVariant().toStringList(),
                     QStringList(shownIf[i]));
        }
    }
};

QTEST_GUILESS_MAIN(TestFileManagers)
#include "tst_filemanagers.moc"
