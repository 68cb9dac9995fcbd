#include "platform/limits.h"
#include "platform/registry/regfile.h"
#include "platform/registry/registry.h"
#include "platform/registry/shellobject.h"
#include "runtime/errors.h"
#include "support/scripted.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {
const QString verb = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\Zintra\\");
const QString command = verb + QStringLiteral("command\\");
const auto error = [](int number) { return QStringLiteral("error %1").arg(number); };
} // namespace

class TestRegistry : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::OpenTempDir> root;
    std::unique_ptr<ShellObject> shell = CreateObject("WScript.Shell");

    QString file() const { return registry::machineFile(); }
    // What a call read ("" for a change), or the error it raised.
    QString call(char what, const QString& name, const QByteArray& text = {}) {
        try {
            if (what == 'r')
                return QString::fromStdString(shell->RegRead(name.toStdString()));
            what == 'w' ? shell->RegWrite(name.toStdString(), text.toStdString())
                        : shell->RegDelete(name.toStdString());
            return {};
        } catch (const RuntimeError& e) {
            return error(e.number());
        }
    }

private slots:
    void init() {
        root = std::make_unique<testing::OpenTempDir>();
        qputenv("ZINTRA_ROOT", QFile::encodeName(root->path()));
    }

    // In order, on one registry: read ('r'), write ('w') and delete ('d').
    void callsOnKeysAndValues() {
        const QString odd = QStringLiteral("\"C:\\Program Files\\\" 100%1 %% é 日本 \\\\server\\");
        QCOMPARE(call('d', verb), error(err::NotFound));
        QCOMPARE(call('d', "HKEY_LOCAL_MACHINE\\"), error(err::AccessDenied));
        QVERIFY2(!QFileInfo::exists(root->path() + "/var"), "a failed call made folders");
        QCOMPARE(call('w', command, odd.toUtf8() + '\0' + "after a NUL"), ""); // and the keys above
        QCOMPARE(call('r', command), odd);
        QCOMPARE(call('w', command, "/opt/caf\xe9/zintra %1"), error(5));
        QCOMPARE(call('r', command), odd);
        QCOMPARE(call('r', verb), error(err::NotFound));
        QCOMPARE(call('w', "HKLM\\SOFTWARE\\CLASSES\\*\\SHELL\\ZINTRA\\", "Copy with Zintra"), "");
        QCOMPARE(call('r', verb), "Copy with Zintra");
        QCOMPARE(call('d', verb), error(err::AccessDenied)); // it has a subkey
        QCOMPARE(call('d', "HKLM\\SOFTWARE\\CLASSES\\*\\SHELL\\ZINTRA\\COMMAND\\"), "");
        QCOMPARE(call('d', verb), "");
        QCOMPARE(call('r', verb), error(err::NotFound));
    }

    void neverOverwritesADamagedFile() {
        QVERIFY(QDir().mkpath(QFileInfo(file()).path()));
        const QStringList env{"F=" + file(), "LIMIT=" + QString::number(reg::maxTextSize)};
        const auto identity = [&] { return testing::run("stat", {"-c", "%i %s", file()}).out; };
        // A value it cannot hold, a file past the size limit, a FIFO, an endless file.
        for (const QString make :
             {"printf 'REGEDIT4\\n[HKEY_LOCAL_MACHINE]\\n\"n\"=dword:00000001\\n' >\"$F\"",
              "printf 'REGEDIT4\\n;' >\"$F\"; truncate -s $((LIMIT + 1)) \"$F\"", "mkfifo \"$F\"",
              "ln -s /dev/zero \"$F\""}) {
            QFile::remove(file());
            QVERIFY2(testing::run("sh", {"-c", make}, env).exitCode == 0, qPrintable(make));
            const QByteArray before = identity();
            QVERIFY2(call('r', verb) == error(err::Damaged), qPrintable(make));
            QVERIFY2(call('w', command, "x") == error(err::Damaged), qPrintable(make));
            QVERIFY2(identity() == before, qPrintable(make)); // never replaced
        }
    }

    void givesUpOnALockHeldTooLong() {
        Limits shortWait{.lockWait = std::chrono::milliseconds(50)};
        const StandIn<Limits> shorter(shortWait);
        const auto hold = [](const QString& path) {
            const int fd = ::open(QFile::encodeName(path), O_RDONLY | O_CLOEXEC);
            return fd >= 0 && ::flock(fd, LOCK_SH) == 0 ? fd : -1;
        };
        // Lock files that anyone could open: an older version's, and one opened up by hand.
        std::vector<int> held;
        for (const QString& lock : {file() + ".lock", file() + ".writelock"}) {
            QCOMPARE(testing::run("install", {"-D", "-m", "644", "/dev/null", lock}).exitCode, 0);
            held.push_back(hold(lock));
        }
        QCOMPARE(call('w', verb, "Copy with Zintra"), "");
        // Outside a shared folder, only root may open the lock.
        QCOMPARE(testing::run("stat", {"-c", "%a", file(), file() + ".writelock"}).out,
                 "644\n600\n");
        held.push_back(hold(file() + ".writelock"));
        QCOMPARE(call('w', verb, "Changed"), error(err::Failed));
        for (const int fd : held)
            QCOMPARE(::close(fd), 0);
        QCOMPARE(call('w', verb, "Changed"), "");
    }

    // Everyone may read; those who may write are root and the group of a setgid folder, which
    // the files join whatever the umask. Nobody else may write, or hold up writers by the lock.
    void aUserWhoMayNotWriteCanStillRead() {
        if (::geteuid() != 0)
            QSKIP("needs root to give a folder to another group and to act as nobody");
        const QString folder = root->path() + "/var/lib/zintra";
        const QString make = "mkdir -p \"$0\" && chgrp 50 \"$0\" && chmod 2775 \"$0\"";
        QCOMPARE(testing::run("sh", {"-c", make, folder}).exitCode, 0);
        const mode_t umask = ::umask(077);
        QCOMPARE(call('w', verb, "Copy with Zintra"), "");
        ::umask(umask);
        const QStringList paths{folder + "/registry", file(), file() + ".writelock"};
        QCOMPARE(testing::run("stat", QStringList{"-c", "%a %g"} + paths).out,
                 QByteArray("2775 50\n664 50\n660 50\n"));
        QCOMPARE(testing::runAsNobody(ZINTRA_TESTHOST, {"read", verb}).out,
                 QByteArray("Copy with Zintra\n"));
        const auto denied = testing::runAsNobody(ZINTRA_TESTHOST, {"write", verb, "x"});
        QVERIFY(denied.err.contains(QByteArray::number(err::AccessDenied)));
        QVERIFY(testing::runAsNobody("flock", {"-n", paths.last(), "true"}).err.contains("Perm"));
    }

    // Writers each making 30 changes at once: all wait their turn and none loses a change.
    void concurrentChangesAreNeverLost() {
        QProcess churns[30];
        for (int i = 1; i <= 30; ++i) // in this order in the file, whoever writes first
            QCOMPARE(call('w', QStringLiteral("HKLM\\Software\\Churn\\%1\\").arg(i), "0"), "");
        // Left by a writer killed before its rename; an administrator's copies stay.
        const QString folder = QFileInfo(file()).path() + "/";
        for (const char* name : {".HKEY_LOCAL_MACHINE.reg.zintra-tmp-a1B2c3",
                                 "HKEY_LOCAL_MACHINE.reg.backup", "HKEY_LOCAL_MACHINE.reg.saved1"})
            QVERIFY(QFile(folder + name).open(QIODevice::WriteOnly));
        for (int i = 0; i < 30; ++i)
            churns[i].start(ZINTRA_TESTHOST, {"churn", QString::number(i + 1), "30"});
        for (QProcess& churn : churns)
            QVERIFY2(churn.waitForFinished(120000) && churn.exitCode() == 0,
                     churn.readAllStandardError().constData());
        QCOMPARE(testing::readAll(file()), testing::readAll(QFINDTESTDATA("registry/churn.reg")));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).join(' '),
                 "HKEY_LOCAL_MACHINE.reg HKEY_LOCAL_MACHINE.reg.backup "
                 "HKEY_LOCAL_MACHINE.reg.saved1 HKEY_LOCAL_MACHINE.reg.writelock");
    }

    // A file written by hand (BOM, CRLF, comments, one key or value in two spellings, escapes,
    // a value over two lines) is written back in one form, which reads back as the same tree.
    void readsAndWritesBack() {
        const auto hive = reg::parse(testing::readAll(QFINDTESTDATA("registry/handwritten.reg")));
        QVERIFY(hive);
        const QByteArray written = reg::format(*hive);
        QCOMPARE(written, testing::readAll(QFINDTESTDATA("registry/handwritten-written.reg")));
        QCOMPARE(reg::format(reg::parse(written).value_or(reg::emptyMachine())), written);

        reg::Key deep = reg::emptyMachine(); // destroyed without recursion
        reg::createKey(deep, QStringList(1000000, QStringLiteral("k")));
    }

    // Samples in damaged/, and two past the limits.
    void refusesDamagedText_data() {
        QTest::addColumn<QByteArray>("text");
        const QDir samples(QFINDTESTDATA("registry/damaged"));
        QVERIFY(samples.exists("dword-value.reg")); // and not the working folder
        for (const QString& name : samples.entryList(QDir::Files))
            QTest::newRow(qPrintable(name)) << testing::readAll(samples.filePath(name));
        const QByteArray levels = QByteArray("\\k").repeated(reg::maxDepth - 1);
        QTest::newRow("deeper than the limit")
            << "REGEDIT4\n[HKEY_LOCAL_MACHINE" + levels + "\\k\\k]\n";
        QByteArray wide = "REGEDIT4\n";
        for (int i = 0; i < 64; ++i) // a line per 512 new keys, each written on a line of its own
            wide += "[HKEY_LOCAL_MACHINE\\" + QByteArray::number(i) + levels + "]\n";
        QTest::newRow("written back past the size limit") << wide;
    }
    void refusesDamagedText() {
        QFETCH(QByteArray, text);
        QVERIFY(!reg::parse(text));
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
