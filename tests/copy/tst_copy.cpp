#include "app/frmzintra.h"
#include "app/widgets.h"
#include "platform/files/files.h"
#include "platform/runtime/seam.h"
#include "platform/runtime/text.h"
#include "support/scripted.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using testing::ScriptedMessageBoxes;

namespace {
const QString Copied = QStringLiteral("File Successfully Copied");
const QString Failed = QStringLiteral("Error in Copying file");
const QString Select = QStringLiteral("Please select a file & its destination.");
constexpr qint64 MiB = 1 << 20;

// Fails the n-th call of one kind (counting from 1) with `error`; runs `meanwhile` once, after
// the first block is written, as another program would between two blocks.
class FailingIo final : public platform::FileIo {
public:
    FailingIo(const QString& call, int nth, int error) : call_(call), nth_(nth), error_(error) {}
    std::function<void()> meanwhile;
    ssize_t read(int fd, void* b, size_t n) override {
        return fails("read") ? -1 : FileIo::read(fd, b, n);
    }
    ssize_t write(int fd, const void* b, size_t n) override {
        if (fails("write"))
            return -1;
        const ssize_t written = FileIo::write(fd, b, n);
        if (meanwhile)
            std::exchange(meanwhile, nullptr)();
        return written;
    }
    int close(int fd) override { return FileIo::close(fd) == 0 && fails("close") ? -1 : 0; }
    int flock(int fd, int op) override { return fails("flock") ? -1 : FileIo::flock(fd, op); }

private:
    bool fails(const char* call) {
        if (call_ != QLatin1String(call) || ++calls_ != nth_)
            return false;
        errno = error_;
        return true;
    }
    QString call_;
    int nth_, error_, calls_ = 0;
    platform::StandIn<platform::FileIo> standIn_{*this};
};

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                               QDir::System);
}
} // namespace

class CopyTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::OpenTempDir> tmp;
    QString in, out;

    // One click on "Start Copying" with the two boxes as given; returns the messages shown.
    QStringList copy(frmzintra& form, const QString& source, const QString& destination) {
        ScriptedMessageBoxes boxes;
        form.txtinput->setText(source);
        form.txtoutput->setText(destination);
        form.cmdcopy_Click();
        return boxes.prompts();
    }
    QStringList copy(const QString& source, const QString& destination) {
        frmzintra form;
        return copy(form, source, destination);
    }
    static void expectIdle(const frmzintra& form) {
        QVERIFY(!form.shpin->isVisible() && !form.shpin->isVisibleTo(form.centralWidget()));
        QVERIFY(!form.shpout->isVisibleTo(form.centralWidget()));
        QCOMPARE(form.shpin->Width(), 0.0f);
        QCOMPARE(form.windowTitle(), QStringLiteral("ZINTRA Free Version"));
    }
    QString inFile(const QString& name) const { return in + u'/' + name; }
    QString outFile(const QString& name) const { return out + u'/' + name; }

private slots:
    void init();
    void barGrowsOncePerBlockAndDestinationIsExact_data();
    void barGrowsOncePerBlockAndDestinationIsExact();
    void sourceOver2GiBCopiesWithAGrowingBar();
    void destinationTextRules();
    void sourceTextMustNameTheSameFile();
    void newDestinationKeepsExecutableBit();
    void copyOntoItselfFails_data();
    void copyOntoItselfFails();
    void failuresCreateNothing_data();
    void failuresCreateNothing();
    void faultsDuringTheCopy_data();
    void faultsDuringTheCopy();
    void failedWriteToADeviceLeavesTheDevice();
    void userWithoutRights();
    void fileSizeLimitIsAFailedCopy();
    void emptyBoxesAskForASelection_data();
    void emptyBoxesAskForASelection();
    void secondClickDuringACopyRunsANestedCopy();
    void closingTheWindowLetsTheCopyFinish();
    void untrappedErrorEndsTheProgram();
};

void CopyTest::init() {
    tmp = std::make_unique<testing::OpenTempDir>();
    in = tmp->file(QStringLiteral("in"));
    out = tmp->file(QStringLiteral("out"));
    QVERIFY(QDir().mkdir(in) && QDir().mkdir(out));
}

void CopyTest::barGrowsOncePerBlockAndDestinationIsExact_data() {
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QList<float>>("widths");
    using L = QList<float>;
    QTest::newRow("empty") << qint64(0) << L{5000, 0};
    QTest::newRow("one block") << qint64(4194304) << L{0, 5000, 0};
    QTest::newRow("one block and a byte") << qint64(4194305) << L{5000, 10000, 5000, 0};
    QTest::newRow("1.5 blocks") << qint64(6291456) << L{2500, 5000, 5000, 0};
    QTest::newRow("2.5 blocks") << qint64(10485760) << L{2500, 5000, 7500, 5000, 0};
    QTest::newRow("12 MiB") << 12 * MiB << L{1667, 3334, 5001, 5000, 0};
    QTest::newRow("3.5 blocks") << qint64(14680064) << L{1250, 2500, 3750, 5000, 5000, 0};
    L w64;
    for (int k = 1; k <= 16; ++k)
        w64 << float(312 * k);
    QTest::newRow("64 MiB") << 64 * MiB << (w64 << 5000 << 0);
}

void CopyTest::barGrowsOncePerBlockAndDestinationIsExact() {
    QFETCH(qint64, length);
    QFETCH(QList<float>, widths);
    const QByteArray bytes = testing::writePatternFile(inFile("data.bin"), length);
    // An existing, longer destination keeps none of its old bytes.
    testing::writePatternFile(outFile("data.bin"), length + 4096, 7);

    frmzintra form;
    QList<float> seen;
    connect(form.shpin, &Shape::widthChanged, &form, [&](float w) { seen << w; });
    ScriptedMessageBoxes boxes;
    boxes.whileShown = [&] {
        // The outcome shows over the finished bar; only OK brings the idle look back.
        QCOMPARE(form.windowTitle(), QStringLiteral("File Copy in Progress"));
        QVERIFY(form.shpin->isVisibleTo(form.centralWidget()));
        QVERIFY(form.shpout->isVisibleTo(form.centralWidget()));
        QCOMPARE(form.shpin->Width(), 5000.0f);
    };
    form.txtinput->setText(inFile("data.bin"));
    form.txtoutput->setText(out + u'/');
    form.cmdcopy_Click();

    QCOMPARE(boxes.prompts(), QStringList{Copied});
    QCOMPARE(boxes.shown.front().title, QStringLiteral("ZINTRA"));
    QCOMPARE(seen, widths);
    QVERIFY(testing::readAll(outFile("data.bin")) == bytes);
    expectIdle(form);
}

void CopyTest::sourceOver2GiBCopiesWithAGrowingBar() {
    const qint64 length = (qint64(1) << 31) + 1;
    {
        QFile f(inFile("big.bin"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(length));
        for (qint64 at : {qint64(0), length / 2, length - 5}) {
            QVERIFY(f.seek(at));
            QCOMPARE(f.write("ZINTR", 5), qint64(5));
        }
    }
    frmzintra form;
    QList<float> seen;
    connect(form.shpin, &Shape::widthChanged, &form, [&](float w) { seen << w; });
    QCOMPARE(copy(form, inFile("big.bin"), out + u'/'), QStringList{Copied});

    QCOMPARE(seen.size(), 513 + 2); // 513 blocks, the final 5000, the reset
    QVERIFY(std::is_sorted(seen.begin(), seen.end() - 2));
    QVERIFY(seen.front() > 0);
    QCOMPARE(seen[511], 4999.0f);
    QCOMPARE(seen[512], 5000.0f);
    const auto cmp = testing::run(QStringLiteral("cmp"), {inFile("big.bin"), outFile("big.bin")});
    QCOMPARE(cmp.exitCode, 0);
    QFile::remove(outFile("big.bin"));
}

void CopyTest::destinationTextRules() {
    const QByteArray bytes = testing::writePatternFile(inFile("a.txt"), 1000);

    // No separator is inserted between the folder's text and the name.
    QCOMPARE(copy(inFile("a.txt"), out), QStringList{Copied});
    QVERIFY(testing::readAll(tmp->file("outa.txt")) == bytes);

    // A source text without "/" is a name in the current directory, and the whole name.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(in);
    const QStringList messages = copy(QStringLiteral("a.txt"), out + u'/');
    QDir::setCurrent(cwd);
    QCOMPARE(messages, QStringList{Copied});
    QVERIFY(testing::readAll(outFile("a.txt")) == bytes);
}

void CopyTest::sourceTextMustNameTheSameFile() {
    const QByteArray bytes = testing::writePatternFile(inFile("a.bin"), 3000);
    QVERIFY(QFile::link(inFile("a.bin"), inFile("a.bin  ")));
    QCOMPARE(copy(inFile("a.bin  "), out + u'/'), QStringList{Copied});
    QVERIFY(testing::readAll(outFile("a.bin  ")) == bytes);

    // Two different files: measured under one name and opened under the other. Nothing copied.
    testing::writePatternFile(inFile("b.bin"), 3000, 2);
    testing::writePatternFile(inFile("b.bin "), 10, 3);
    QCOMPARE(copy(inFile("b.bin "), out + u'/'), QStringList{Failed});
    QCOMPARE(entries(out), QStringList{"a.bin  "});

    // A name that is not UTF-8, beside the file its lossy reading would name.
    const QByteArray latin1 = testing::writePatternFile(inFile("c.bin"), 3000, 4);
    testing::writePatternFile(inFile(QString(QChar::ReplacementCharacter)), 10, 5);
    const auto raw = [](const QString& folder) { return QFile::encodeName(folder) + "/\xe9"; };
    QVERIFY(::rename(qPrintable(inFile("c.bin")), raw(in).constData()) == 0);
    QCOMPARE(copy(platform::fromAnsi(raw(in).toStdString()), out + u'/'), QStringList{Copied});
    QVERIFY(::unlink(raw(in).constData()) == 0);
    QVERIFY(::rename(raw(out).constData(), qPrintable(outFile("c.bin"))) == 0);
    QVERIFY(testing::readAll(outFile("c.bin")) == latin1);
}

void CopyTest::newDestinationKeepsExecutableBit() {
    testing::writePatternFile(inFile("tool"), 100);
    QVERIFY(::chmod(qPrintable(inFile("tool")), 0755) == 0);
    testing::writePatternFile(outFile("old"), 100);
    QVERIFY(::chmod(qPrintable(outFile("old")), 0600) == 0);
    QVERIFY(QFile::copy(inFile("tool"), inFile("old")));

    QCOMPARE(copy(inFile("tool"), out + u'/'), QStringList{Copied});
    QCOMPARE(copy(inFile("old"), out + u'/'), QStringList{Copied});
    struct stat st {};
    QVERIFY(::stat(qPrintable(outFile("tool")), &st) == 0 && (st.st_mode & 0111) == 0111);
    QVERIFY(::stat(qPrintable(outFile("old")), &st) == 0 && (st.st_mode & 0777) == 0600);
}

void CopyTest::copyOntoItselfFails_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("same folder") << "same";
    QTest::newRow("symbolic link to the folder") << "symlink";
    QTest::newRow("hard link in another folder") << "hardlink";
    QTest::newRow("path through ..") << "dotdot";
}

void CopyTest::copyOntoItselfFails() {
    QFETCH(QString, how);
    const QByteArray bytes = testing::writePatternFile(inFile("self.bin"), 5 * MiB);
    QString folder = in + u'/';
    if (how == "symlink") {
        QVERIFY(QFile::link(in, tmp->file("link")));
        folder = tmp->file("link/");
    } else if (how == "hardlink") {
        QVERIFY(::link(qPrintable(inFile("self.bin")), qPrintable(outFile("self.bin"))) == 0);
        folder = out + u'/';
    } else if (how == "dotdot") {
        folder = out + QStringLiteral("/../in/");
    }
    QCOMPARE(copy(inFile("self.bin"), folder), QStringList{Failed});
    QVERIFY(testing::readAll(inFile("self.bin")) == bytes);
}

void CopyTest::failuresCreateNothing_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("destination");
    QTest::newRow("missing source") << ""
                                    << "in/none.bin"
                                    << "out/";
    QTest::newRow("missing destination folder") << "file"
                                                << "in/a.bin"
                                                << "out/none/";
    QTest::newRow("destination is a directory") << "file dir"
                                                << "in/a.bin"
                                                << "out/";
    QTest::newRow("source is a directory") << "srcdir"
                                           << "in/d"
                                           << "out/";
    QTest::newRow("source is a FIFO") << "fifo"
                                      << "in/p"
                                      << "out/";
    QTest::newRow("source text of spaces") << ""
                                           << "   "
                                           << "out/";
}

void CopyTest::failuresCreateNothing() {
    QFETCH(QString, setup);
    QFETCH(QString, source);
    QFETCH(QString, destination);
    if (setup.contains("file"))
        testing::writePatternFile(inFile("a.bin"), 1000);
    if (setup.contains("dir"))
        QVERIFY(QDir().mkdir(outFile(setup == "srcdir" ? "x" : "a.bin")));
    if (setup == "srcdir")
        QVERIFY(QDir().mkdir(inFile("d")));
    if (setup == "fifo")
        QVERIFY(::mkfifo(qPrintable(inFile("p")), 0644) == 0);
    const QStringList before = entries(out);

    const QString sourceText = source.startsWith("in/") ? tmp->file(source) : source;
    frmzintra form;
    QCOMPARE(copy(form, sourceText, tmp->file(destination)), QStringList{Failed});
    QCOMPARE(entries(out), before);
    expectIdle(form);
}

void CopyTest::faultsDuringTheCopy_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("nth");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QStringList>("left"); // in the destination folder
    const QStringList none, copied{"a.bin"};
    QTest::newRow("first read") << "read" << 1 << EIO << "" << Failed << none;
    QTest::newRow("third read") << "read" << 3 << EIO << "" << Failed << none;
    QTest::newRow("second write, disk full") << "write" << 2 << ENOSPC << "" << Failed << none;
    QTest::newRow("destination's close, EIO") << "close" << 2 << EIO << "" << Failed << none;
    QTest::newRow("destination's close, disk full")
        << "close" << 2 << ENOSPC << "" << Failed << none;
    QTest::newRow("source shrinks") << "" << 0 << 0 << "shrink" << Failed << none;
    QTest::newRow("source truncated") << "" << 0 << 0 << "truncate" << Failed << none;
    QTest::newRow("source rewritten in place") << "" << 0 << 0 << "rewrite" << Failed << none;
    QTest::newRow("source deleted") << "" << 0 << 0 << "delete" << Copied << copied;
    QTest::newRow("created destination locked by another copy first")
        << "flock" << 2 << EWOULDBLOCK << "" << Failed << copied;
    QTest::newRow("NFS: no exclusive lock on a read-only descriptor")
        << "flock" << 1 << EBADF << "lock source" << Copied << copied;
    QTest::newRow("destination renamed, then a read fails")
        << "read" << 2 << EIO << "rename destination" << Failed << QStringList{"moved.bin"};
}

void CopyTest::faultsDuringTheCopy() {
    QFETCH(QString, call);
    QFETCH(int, nth);
    QFETCH(int, error);
    QFETCH(QString, meanwhile);
    QFETCH(QString, outcome);
    QFETCH(QStringList, left);
    const QString source = inFile("a.bin");
    const QByteArray bytes = testing::writePatternFile(source, 10 * MiB);
    const timespec longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
    QVERIFY(::utimensat(AT_FDCWD, qPrintable(source), longAgo, 0) == 0);
    bool sourceHeld = false;
    FailingIo io(call, nth, error);
    io.meanwhile = [&] {
        QFile f(source);
        if (meanwhile == "shrink" || meanwhile == "truncate")
            QVERIFY(f.resize(meanwhile == "shrink" ? 6 * MiB : 0));
        if (meanwhile == "rewrite")
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(9 * MiB) && f.write("x", 1) == 1);
        if (meanwhile == "delete")
            QVERIFY(f.remove());
        if (meanwhile == "rename destination")
            QVERIFY(QFile::rename(outFile("a.bin"), outFile("moved.bin")));
        if (meanwhile == "lock source") {
            const int fd = ::open(qPrintable(source), O_RDONLY);
            sourceHeld = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
            ::close(fd);
        }
    };

    QCOMPARE(copy(source, out + u'/'), QStringList{outcome});
    QCOMPARE(entries(out), left);
    QCOMPARE(sourceHeld, meanwhile == "lock source");
    for (const QString& name : left) {
        struct stat st {};
        QVERIFY(::stat(qPrintable(outFile(name)), &st) == 0);
        QVERIFY2(st.st_blocks * 512 < st.st_size + 65536, "reserved room was given back");
        QVERIFY(testing::readAll(outFile(name)) == bytes.left(st.st_size));
    }
}

void CopyTest::failedWriteToADeviceLeavesTheDevice() {
    testing::writePatternFile(inFile("null"), 1000);
    QCOMPARE(copy(inFile("null"), QStringLiteral("/dev/")), QStringList{Copied});
    FailingIo io("write", 1, ENOSPC);
    QCOMPARE(copy(inFile("null"), QStringLiteral("/dev/")), QStringList{Failed});
    struct stat st {};
    QVERIFY(::stat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode));
}

void CopyTest::userWithoutRights() {
    if (::geteuid() != 0)
        QSKIP("acting as the user nobody needs root");
    QVERIFY(::chmod(qPrintable(out), 0777) == 0);
    testing::writePatternFile(inFile("open.bin"), 1000);
    testing::writePatternFile(inFile("secret.bin"), 1000);
    QVERIFY(::chmod(qPrintable(inFile("secret.bin")), 0600) == 0);
    const QByteArray old = testing::writePatternFile(outFile("kept.bin"), 1000, 9);
    QVERIFY(::chmod(qPrintable(outFile("kept.bin")), 0444) == 0);
    testing::writePatternFile(inFile("kept.bin"), 1000);
    const auto asNobody = [&](const QString& name) {
        return testing::runAsNobody(ZINTRA_TESTHOST, {"copy", inFile(name), out + u'/'}).out;
    };

    // Positive control: the same user copies what it may read into a folder it may write.
    QCOMPARE(asNobody("open.bin"), "MSG:ZINTRA:" + Copied.toUtf8() + '\n');
    QVERIFY(QFile::exists(outFile("open.bin")));

    QCOMPARE(asNobody("secret.bin"), "MSG:ZINTRA:" + Failed.toUtf8() + '\n');
    QVERIFY(!QFile::exists(outFile("secret.bin")));
    QCOMPARE(asNobody("kept.bin"), "MSG:ZINTRA:" + Failed.toUtf8() + '\n');
    QVERIFY(testing::readAll(outFile("kept.bin")) == old);
}

void CopyTest::fileSizeLimitIsAFailedCopy() {
    testing::writePatternFile(inFile("a.bin"), 6 * MiB);
    const auto r = testing::run(ZINTRA_TESTHOST, {"copy", inFile("a.bin"), out + u'/', "1048576"});
    QCOMPARE(r.out, "MSG:ZINTRA:" + Failed.toUtf8() + '\n');
    QCOMPARE(entries(out), QStringList{});
}

void CopyTest::emptyBoxesAskForASelection_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("destination");
    QTest::newRow("both empty") << ""
                                << "";
    QTest::newRow("no destination") << "in/a.bin"
                                    << "";
    QTest::newRow("no source") << ""
                               << "out/";
}

void CopyTest::emptyBoxesAskForASelection() {
    QFETCH(QString, source);
    QFETCH(QString, destination);
    testing::writePatternFile(inFile("a.bin"), 10);
    frmzintra form;
    QCOMPARE(copy(form, source.isEmpty() ? source : tmp->file(source),
                  destination.isEmpty() ? destination : tmp->file(destination)),
             QStringList{Select});
    QCOMPARE(entries(out), QStringList{});
    expectIdle(form);
}

void CopyTest::secondClickDuringACopyRunsANestedCopy() {
    const QByteArray outer = testing::writePatternFile(inFile("outer.bin"), 12 * MiB, 1);
    const QByteArray inner = testing::writePatternFile(inFile("inner.bin"), 5 * MiB, 2);
    frmzintra form;
    ScriptedMessageBoxes boxes;
    form.txtinput->setText(inFile("outer.bin"));
    form.txtoutput->setText(out + u'/');

    // The first dispatch inside the copy runs a second click: once on another file, which
    // succeeds, then on the same files, which the outer copy holds open.
    int dispatch = 0;
    QTimer pump;
    connect(&pump, &QTimer::timeout, &form, [&] {
        if (++dispatch == 1) {
            form.txtinput->setText(inFile("inner.bin"));
            form.cmdcopy->click();
            form.txtinput->setText(inFile("outer.bin"));
            form.cmdcopy->click();
        }
    });
    pump.start(0);
    form.cmdcopy_Click();
    pump.stop();

    QCOMPARE(boxes.prompts(), (QStringList{Copied, Failed, Copied}));
    QVERIFY(testing::readAll(outFile("inner.bin")) == inner);
    QVERIFY(testing::readAll(outFile("outer.bin")) == outer);
    expectIdle(form);
}

void CopyTest::closingTheWindowLetsTheCopyFinish() {
    const QByteArray bytes = testing::writePatternFile(inFile("a.bin"), 12 * MiB);
    const auto r = testing::run(ZINTRA_TESTHOST, {"close-during-copy", inFile("a.bin"), out + u'/'},
                                {"QT_QPA_PLATFORM=offscreen"});
    QCOMPARE(r.status, QProcess::NormalExit);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, "CLOSE\nMSG:ZINTRA:" + Copied.toUtf8() + "\nENDED\n");
    QVERIFY(testing::readAll(outFile("a.bin")) == bytes);
}

void CopyTest::untrappedErrorEndsTheProgram() {
    const auto r = testing::run(ZINTRA_TESTHOST, {"raise"}, {"QT_QPA_PLATFORM=offscreen"});
    QCOMPARE(r.out, QByteArray("MSG:ZINTRA:Run-time error '5':\n\nInvalid procedure call\n"));
    QVERIFY(r.exitCode != 0);
}

QTEST_MAIN(CopyTest)
#include "tst_copy.moc"
