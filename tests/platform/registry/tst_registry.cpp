#include "platform/registry/registry.h"
#include "platform/registry/shellobject.h"
#include "platform/runtime/errors.h"
#include "support/scripted.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {
const QString verb = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\Zintra\\");
const QString command = verb + QStringLiteral("command\\");

int raisedBy(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

gid_t groupOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_gid;
}

QStringList folderEntries(const QString& file) {
    return QDir(QFileInfo(file).path()).entryList(QDir::Files | QDir::System | QDir::Hidden);
}
} // namespace

class TestRegistry : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::OpenTempDir> root;
    std::unique_ptr<ShellObject> shell;

    QString file() const { return registry::machineFile(); }
    void writeFile(const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(file()).path());
        QFile f(file());
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    testing::Finished host(bool asNobody, const QStringList& args) {
        const QStringList env{QStringLiteral("ZINTRA_ROOT=") + root->path()};
        return asNobody ? testing::runAsNobody(ZINTRA_TESTHOST, args, env)
                        : testing::run(ZINTRA_TESTHOST, args, env);
    }

private slots:
    void init() {
        root = std::make_unique<testing::OpenTempDir>();
        qputenv("ZINTRA_ROOT", QFile::encodeName(root->path()));
        shell = CreateObject(QStringLiteral("WScript.Shell"));
    }
    void cleanup() {
        registry::setChangeObserver({});
        registry::setLockWait(std::chrono::seconds(5));
        qunsetenv("ZINTRA_ROOT");
    }

    void writesReadsAndDeletesKeys() {
        QVERIFY(!QFileInfo::exists(file()));
        QCOMPARE(raisedBy([&] { shell->RegRead(verb); }), err::NotFound);
        QCOMPARE(raisedBy([&] { shell->RegDelete(verb); }), err::NotFound);
        QVERIFY2(!QFileInfo::exists(QFileInfo(file()).path()), "a failed call created folders");

        shell->RegWrite(command, "/usr/bin/zintra %1"); // creates every key above it
        QCOMPARE(shell->RegRead(command), QStringLiteral("/usr/bin/zintra %1"));
        QCOMPARE(raisedBy([&] { shell->RegRead(verb); }), err::NotFound);
        shell->RegWrite(verb, "Copy with Zintra");
        shell->RegWrite(verb, "Copy with ZINTRA");
        QCOMPARE(shell->RegRead(verb), QStringLiteral("Copy with ZINTRA"));

        QCOMPARE(raisedBy([&] { shell->RegDelete(verb); }), err::AccessDenied);
        QCOMPARE(shell->RegRead(command), QStringLiteral("/usr/bin/zintra %1"));
        shell->RegDelete(command);
        QCOMPARE(raisedBy([&] { shell->RegDelete(command); }), err::NotFound);
        shell->RegDelete(verb);
        QCOMPARE(raisedBy([&] { shell->RegRead(verb); }), err::NotFound);

        shell->RegWrite(verb + "Named", "value");
        QCOMPARE(shell->RegRead(verb + "NAMED"), QStringLiteral("value"));
        QCOMPARE(raisedBy([&] { shell->RegRead(verb); }), err::NotFound);
        shell->RegDelete(verb + "named");
        QCOMPARE(raisedBy([&] { shell->RegRead(verb + "Named"); }), err::NotFound);

        QVERIFY(raisedBy([&] { shell->RegWrite("HKEY_CURRENT_USER\\Software\\", "x"); }));
        const QString tooDeep = "HKLM" + QString("\\k").repeated(reg::maxDepth + 1) + "\\";
        QCOMPARE(raisedBy([&] { shell->RegWrite(tooDeep, "x"); }), err::NotFound);
        QCOMPARE(raisedBy([&] { shell->RegDelete("HKEY_LOCAL_MACHINE\\"); }),
                 err::AccessDenied);
    }

    void keyNamesIgnoreCaseAndKeepIt() {
        shell->RegWrite(verb, "Copy with Zintra");
        shell->RegWrite("hkey_local_machine\\SOFTWARE\\classes\\*\\SHELL\\zintra\\Command\\", "c");
        QCOMPARE(shell->RegRead("HKLM\\software\\Classes\\*\\Shell\\ZINTRA\\"),
                 QStringLiteral("Copy with Zintra"));
        const QByteArray text = testing::readAll(file());
        QVERIFY(text.contains("[HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\Zintra]\n"));
        QVERIFY(
            text.contains("[HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\Zintra\\Command]"));
        shell->RegDelete("HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\*\\SHELL\\ZINTRA\\COMMAND\\");
        shell->RegDelete("HKEY_LOCAL_MACHINE\\software\\classes\\*\\shell\\zintra\\");
        QCOMPARE(raisedBy([&] { shell->RegRead(verb); }), err::NotFound);
    }

    void keepsEveryCharacterOfAValue() {
        const QString odd = QStringLiteral("\"C:\\Program Files\\\" 100%1 %% é 日本 \\\\server\\");
        shell->RegWrite(command, odd);
        shell->RegWrite(verb, QString::fromUtf8("text\0after a NUL", 16));
        QCOMPARE(shell->RegRead(command), odd);
        QCOMPARE(shell->RegRead(verb), QStringLiteral("text"));
        QVERIFY(testing::readAll(file()).contains(
            "@=\"\\\"C:\\\\Program Files\\\\\\\" 100%1 %% \xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC "
            "\\\\\\\\server\\\\\"\n"));
    }

    void neverOverwritesADamagedFile_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("a value it cannot hold")
            << QByteArray("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell"
                          "\\Zintra]\n@=\"Copy with Zintra\"\n\"Size\"=dword:00000010\n");
        QTest::newRow("over the size limit") << QByteArray("REGEDIT4\n;"); // then zeros
        QTest::newRow("FIFO") << QByteArray();
        QTest::newRow("link to /dev/zero") << QByteArray();
    }
    void neverOverwritesADamagedFile() {
        QFETCH(QByteArray, text);
        const QByteArrayView tag(QTest::currentDataTag());
        const QByteArray name = QFile::encodeName(file());
        writeFile(text);
        if (tag == "over the size limit")
            QVERIFY(QFile::resize(file(), reg::maxTextSize + 1));
        if (tag == "FIFO")
            QVERIFY(QFile::remove(file()) && ::mkfifo(name, 0644) == 0);
        if (tag == "link to /dev/zero")
            QVERIFY(QFile::remove(file()) && QFile::link("/dev/zero", file()));
        struct stat before {
        }, after{};
        QCOMPARE(::lstat(name, &before), 0);
        int observed = 0;
        registry::setChangeObserver([&](const reg::Key&) { ++observed; });
        QCOMPARE(raisedBy([&] { shell->RegRead(verb); }), err::Damaged);
        QCOMPARE(raisedBy([&] { shell->RegWrite(command, "x"); }), err::Damaged);
        QCOMPARE(raisedBy([&] { shell->RegDelete(verb); }), err::Damaged);
        QCOMPARE(::lstat(name, &after), 0);
        QCOMPARE(after.st_ino, before.st_ino); // never replaced
        QCOMPARE(after.st_size, before.st_size);
        QCOMPARE(observed, 0);
        QCOMPARE(folderEntries(file()),
                 QStringList({"HKEY_LOCAL_MACHINE.reg", "HKEY_LOCAL_MACHINE.reg.lock"}));
    }

    void givesUpOnALockHeldTooLong() {
        shell->RegWrite(verb, "Copy with Zintra");
        const int held = ::open(QFile::encodeName(file() + ".lock"), O_RDONLY | O_CLOEXEC);
        QVERIFY(held >= 0 && ::flock(held, LOCK_SH) == 0);
        registry::setLockWait(std::chrono::milliseconds(50));
        QCOMPARE(raisedBy([&] { shell->RegWrite(verb, "Changed"); }), err::Failed);
        ::close(held);
        shell->RegWrite(verb, "Changed");
        QCOMPARE(shell->RegRead(verb), QStringLiteral("Changed"));
    }

    void tellsTheObserverOfEachCommittedChange() {
        QStringList seen;
        registry::setChangeObserver([&](const reg::Key& machine) {
            const reg::Key* key =
                reg::findKey(machine, {"Software", "CLASSES", "*", "shell", "Zintra"});
            seen << (key && key->value({}) ? key->value({})->data : QStringLiteral("gone"));
        });
        shell->RegWrite(verb, "Copy with Zintra");
        QVERIFY(raisedBy([&] { shell->RegDelete(command); }));
        shell->RegDelete(verb);
        QCOMPARE(seen, QStringList({"Copy with Zintra", "gone"}));
    }

    void createsFilesEveryoneCanRead() {
        const mode_t before = ::umask(077);
        shell->RegWrite(verb, "Copy with Zintra");
        ::umask(before);
        for (const char* folder :
             {"/var", "/var/lib", "/var/lib/zintra", "/var/lib/zintra/registry"})
            QCOMPARE(modeOf(root->path() + folder), mode_t(0755));
        QCOMPARE(modeOf(file()), mode_t(0644));
        QCOMPARE(modeOf(file() + ".lock"), mode_t(0600)); // only for those who may write
    }

    void sharesWithTheGroupOfASetgidFolder() {
        if (::geteuid() != 0)
            QSKIP("needs root to give a folder to another group");
        const QString shared = root->path() + "/var/lib/zintra";
        QVERIFY(QDir().mkpath(shared));
        const gid_t staff = 50;
        QCOMPARE(::chown(QFile::encodeName(shared).constData(), 0, staff), 0);
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 02775), 0);
        shell->RegWrite(verb, "Copy with Zintra");
        const QString folder = shared + "/registry";
        QCOMPARE(modeOf(folder), mode_t(02775));
        QCOMPARE(groupOf(folder), staff);
        QCOMPARE(modeOf(file()), mode_t(0664));
        QCOMPARE(groupOf(file()), staff);
        QCOMPARE(modeOf(file() + ".lock"), mode_t(0660));
    }

    void aUserWhoMayNotWriteCanStillRead() {
        if (::geteuid() != 0)
            QSKIP("needs root to act as nobody");
        // Nothing exists yet: the failed write must not create the registry either.
        QCOMPARE(host(true, {"write", verb, "Copy with Zintra"}).exitCode, 1);
        QVERIFY(!QFileInfo::exists(root->path() + "/var"));

        shell->RegWrite(verb, "Copy with Zintra");
        shell->RegWrite(command, "/usr/bin/zintra %1");
        const QByteArray before = testing::readAll(file());
        const auto read = host(true, {"read", verb});
        QCOMPARE(read.exitCode, 0);
        QCOMPARE(read.out, QByteArray("Copy with Zintra\n"));
        for (const QStringList& call :
             {QStringList{"write", verb, "Changed"}, QStringList{"write", verb + "Other\\", "New"},
              QStringList{"delete", command}}) {
            const auto denied = host(true, call);
            QCOMPARE(denied.exitCode, 1);
            QVERIFY2(denied.err.contains(QByteArray::number(err::AccessDenied)),
                     denied.err.constData());
        }
        QCOMPARE(testing::readAll(file()), before);
        // Nor may they open the lock, to hold up those who may write.
        const QStringList lock{"-s", "-n", file() + ".lock", "true"};
        QVERIFY(testing::runAsNobody("flock", lock).err.contains("Permission denied"));
        QCOMPARE(testing::runAsNobody("flock", {"-s", "-n", file(), "true"}).exitCode, 0);
        // The same calls do change the registry for a user who may.
        QCOMPARE(host(false, {"delete", command}).exitCode, 0);
        QCOMPARE(host(false, {"write", verb, "Changed"}).exitCode, 0);
        QCOMPARE(host(true, {"read", verb}).out, QByteArray("Changed\n"));
    }

    void concurrentChangesAreNeverLost() {
        const int rounds = 100;
        // Left by writers killed before their rename; a name of another pattern stays.
        QVERIFY(QDir().mkpath(QFileInfo(file()).path()));
        for (const char* name : {".reg.a1B2c3", ".reg.keep"})
            QVERIFY(QFile(root->path() + "/var/lib/zintra/registry/HKEY_LOCAL_MACHINE" + name)
                        .open(QIODevice::WriteOnly));
        QProcess first, second;
        for (auto [process, who] : {std::pair{&first, "A"}, std::pair{&second, "B"}})
            process->start(ZINTRA_TESTHOST, {"churn", who, QString::number(rounds)});
        for (QProcess* process : {&first, &second}) {
            QVERIFY(process->waitForFinished(120000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        }
        const auto machine = reg::parse(testing::readAll(file()));
        QVERIFY(machine);
        const reg::Key* churn = reg::findKey(*machine, {"Software", "Churn"});
        QVERIFY(churn);
        QCOMPARE(churn->subkeys.size(), 2u);
        for (const char* who : {"A", "B"})
            QCOMPARE(churn->subkey(who)->value({})->data, QString::number(rounds));
        QCOMPARE(folderEntries(file()),
                 QStringList({"HKEY_LOCAL_MACHINE.reg", "HKEY_LOCAL_MACHINE.reg.keep",
                              "HKEY_LOCAL_MACHINE.reg.lock"}));
    }

    void createsOnlyTheScriptingObject() {
        QCOMPARE(raisedBy([] { CreateObject("Scripting.FileSystemObject"); }),
                 err::CannotCreateObject);
        QVERIFY(CreateObject("wscript.shell"));
        QVERIFY(!QFileInfo::exists(root->path() + "/var"));
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
