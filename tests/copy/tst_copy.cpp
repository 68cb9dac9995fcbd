#include "copy/progress.h"
#include "frontend/qt/mainwindow.h"
#include "platform/files/fileio.h"
#include "platform/files/files.h"
#include "platform/textbridge.h"
#include "runtime/text.h"
#include "support/scripted.h"

#include <QDir>
#include <QHash>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString Copied = QStringLiteral("File Successfully Copied");
const QString Failed = QStringLiteral("Error in Copying file");
constexpr qint64 MiB = 1 << 20;

// For each "<call> <n> <error>" in a row's event, fails the n-th call of that kind (from 1; 0
// fails every one) with that error. "move" is the kernel's copy_file_range; a failed fallocate
// keeps what it reserved, as ext4 does when the disk fills up part-way.
struct FailingIo final : platform::FileIo {
    struct Fault {
        int nth, error, calls = 0;
    };
    QHash<QString, Fault> faults;
    std::function<void()> beforeRead = [] {};
    platform::StandIn<platform::FileIo> standIn{*this};

    explicit FailingIo(const QString& event) {
        const QStringList w = event.split(u' ');
        for (qsizetype i = 0; i + 2 < w.size(); ++i)
            for (int error = 1; error < 134; ++error) // by name: "EIO" and the like
                if (w[i + 2] == strerrorname_np(error))
                    faults.insert(w[i], {w[i + 1].toInt(), error});
    }
    // True, with errno set, for the call to fail.
    bool fail(const char* name) {
        const auto f = faults.find(name);
        if (f == faults.end() || (++f->calls != f->nth && f->nth != 0))
            return false;
        errno = f->error;
        return true;
    }
    ssize_t read(int f, void* b, size_t n) override {
        beforeRead();
        return fail("read") ? -1 : FileIo::read(f, b, n);
    }
    ssize_t write(int f, const void* b, size_t n) override {
        return fail("write") ? -1 : FileIo::write(f, b, n);
    }
    int close(int fd) override {
        const int closed = FileIo::close(fd);
        return fail("close") ? -1 : closed;
    }
    int flock(int fd, int op) override { return fail("flock") ? -1 : FileIo::flock(fd, op); }
    int openat(int d, const char* name, int flags, mode_t mode) override {
        return fail("openat") ? -1 : FileIo::openat(d, name, flags, mode);
    }
    ssize_t copy_file_range(int in, int out, size_t n) override {
        return fail("move") ? -1 : FileIo::copy_file_range(in, out, n);
    }
    int fallocate(int fd, off_t length) override {
        const int reserved = FileIo::fallocate(fd, length);
        return fail("fallocate") ? -1 : reserved;
    }
};
} // namespace

class CopyTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::OpenTempDir> tmp; // the current folder, with in/ and out/
    QList<int> painted, atBox; // the bar's widths in pixels as painted, and when the box came
    QWidget* frame = nullptr;
    bool framePainted = false;

    bool eventFilter(QObject* shape, QEvent* event) override {
        if (event->type() == QEvent::Paint && shape == frame)
            framePainted = true;
        else if (event->type() == QEvent::Paint)
            painted << static_cast<QWidget*>(shape)->width();
        return false;
    }

    // One click on "Start Copying" with the two boxes as given; returns the messages shown.
    QStringList copy(MainWindow& form, const QString& source, const QString& destination) {
        testing::ScriptedMessageBoxes boxes;
        boxes.whileShown = [&] { atBox = std::exchange(painted, {}); };
        form.txtinput->setText(source);
        form.txtoutput->setText(destination);
        form.handlers->cmdcopy_Click();
        return boxes.prompts();
    }

private slots:
    void init() {
        tmp = std::make_unique<testing::OpenTempDir>();
        QVERIFY(QDir::setCurrent(tmp->path()) && QDir().mkdir("in") && QDir().mkdir("out"));
    }

    // On screen the bar is painted at display rate: no paint goes back, and the full bar comes
    // before the box. A new file takes the source's mode; an existing one keeps its own.
    void bytesAndBar_data() {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QString>("how"); // "": over a longer file of mode 0600; else a new one
        QTest::newRow("empty") << qint64(0) << "new";
        QTest::newRow("block and byte: no clamp") << 4 * MiB + 1 << "";
        QTest::newRow("3 blocks") << 12 * MiB << "";
        QTest::newRow("name not UTF-8, no slash added") << qint64(3000) << "no slash";
    }
    void bytesAndBar() {
        QFETCH(QString, how);
        // Beside the name not UTF-8 is the file that its lossy reading would name.
        const QByteArray name = how == "no slash" ? "\xe9" : "data.bin";
        const QString folder = how == "no slash" ? "out" : "out/";
        const QByteArray source = "in/" + name, result = folder.toUtf8() + name;
        QFETCH(qint64, length);
        const QByteArray bytes = testing::writePatternFile("in/p", length);
        QVERIFY(::chmod("in/p", 0755) == 0 && ::rename("in/p", source) == 0);
        testing::writePatternFile(QStringLiteral("in/\uFFFD"), 10, 5);
        if (how.isEmpty()) {
            testing::writePatternFile("out/p", length + 4096, 7);
            QVERIFY(::chmod("out/p", 0600) == 0 && ::rename("out/p", result) == 0);
            QVERIFY(::geteuid() != 0 || ::chown(result, 65534, 65534) == 0);
        }
        MainWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.shpin->installEventFilter(this);
        form.shpout->installEventFilter(this);
        frame = form.shpout;
        framePainted = false;
        // The frame is on screen before the first read, which may be slow.
        FailingIo io("");
        io.beforeRead = [&] { QVERIFY(std::exchange(framePainted, true)); };
        QCOMPARE(copy(form, platform::fromBytes(source.toStdString()), folder),
                 QStringList{Copied});
        QCOMPARE(atBox.value(atBox.size() - 1), copyplan::FullScale / 15);
        QVERIFY(std::is_sorted(atBox.begin(), atBox.end()));
        QVERIFY(::rename(result, "out/p") == 0 && testing::readAll("out/p") == bytes);
        // An existing file keeps its owner too.
        QCOMPARE(QFileInfo("out/p").isExecutable(), !how.isEmpty());
        QCOMPARE(QFileInfo("out/p").ownerId() == 65534, how.isEmpty() && ::geteuid() == 0);
    }

    // Past 2 GiB, where 32 bits no longer count the bytes: a sparse file marked at both ends.
    void over2GiB() {
        if (qEnvironmentVariableIsSet("ZINTRA_SKIP_SLOW"))
            QSKIP("run on its own, as tst_copy_over2GiB");
        const char* make = "printf ZINTRA >in/b && truncate -s 2G in/b && printf ZINTRA >>in/b";
        QCOMPARE(testing::run("sh", {"-c", make}).exitCode, 0);
        MainWindow form;
        QCOMPARE(copy(form, "in/b", "out/"), QStringList{Copied});
        QCOMPARE(testing::run("cmp", {"in/b", "out/b"}).exitCode, 0);
    }

    // Files under /proc and /sys report a size of 0 and read as what they hold.
    void sizeReadsZero() {
        MainWindow form;
        QCOMPARE(copy(form, "/proc/self/mountinfo", "out/"), QStringList{Copied});
        QVERIFY(testing::readAll("out/mountinfo").contains(" / "));
    }

    void faults_data();
    void faults();
};

// Every way a copy can fail. What must hold: the outcome shown; what is left in the destination
// folder, only ever a prefix of the source's bytes with no room reserved beyond it; the source
// untouched unless the row changes it; a copy never onto its own source. "old" rows copy over
// an existing destination holding the source's first 1000 bytes.
void CopyTest::faults_data() {
    QTest::addColumn<QString>("event"); // calls that fail (see FailingIo), then what else happens
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("left"); // in out/: "<name> <size>"
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("destination");
    const auto row = [](const char* name, const QString& event, const QStringList& shown,
                        const QStringList& left, const QString& source = "in/a.bin",
                        const QString& destination = "out/") {
        QTest::newRow(name) << event << shown << left << source << destination;
    };
    const QStringList F{Failed}, C{Copied}, none, a{"a.bin 10485760"}, old{"a.bin 1000"};
    row("source is a FIFO", "fifo", F, none, "in/p");
    row("measured under one name, opened under another", "untrimmed", F, none, "in/a.bin ");
    row("missing destination folder", "", F, none, "in/a.bin", "out/none/");
    row("onto itself: a hard link elsewhere, no locks", "hard link flock 0 ENOLCK", F, a);
    row("through an overlay onto its own lower file", "overlay", C, none, "m/a.bin", "in/");
    row("second block: disk full", "move 1 ENOSPC", F, none);
    row("kernel refuses, the buffer's write fails", "move 0 EXDEV write 2 ENOSPC", F, none);
    row("a failure leaves the old file as it was", "old move 1 EIO", F, old);
    row("a killed copy leaves the old file as it was", "old kill", {}, old);
    row("a device's write: the device stays", "write 1 ENOSPC", F, none, "in/null", "/dev/");
    row("destination's close", "close 2 EIO", F, none);
    row("source shrinks", "shrink", F, none);
    row("source rewritten in place, its time put back", "rewrite", F, none);
    row("another program takes the new name", "taken", F, {"a.bin 100"});
    row("another program replaces the old file", "old taken", F, {"a.bin 100"});
    row("NFS: a shared lock on a read-only descriptor", "flock 1 EBADF lock source", C, a);
    row("no unnamed files: a hidden temporary, a leftover goes", "openat 1 EOPNOTSUPP leftover", C,
        a);
    row("no unnamed files, a failure: the temporary goes", "openat 1 EOPNOTSUPP move 1 EIO", F,
        none);
    row("folder takes no new file: in place, room given back",
        "old openat 1 EACCES fallocate 1 ENOSPC move 1 EIO", F, {"a.bin 4194304"});
    row("a click on the same files during the copy", "click", {Failed, Copied}, a);
    row("nobody copies what it may read", "nobody 644", C, a);
    row("nobody: a source it may not read", "nobody 600", F, none);
    row("nobody: a file it may not write", "nobody 444", F, a);
    row("nobody: its file in a folder it may not write", "nobody 755", C, a);
    row("file-size limit", "size limit", F, none);
    row("window closed during the copy", "close-during-copy", {"CLOSE", Copied, "ENDED"}, a);
    row("untrapped error", "raise", {"Run-time error '5':", "Invalid procedure call"}, none);
}

void CopyTest::faults() {
    QFETCH(QString, event);
    QFETCH(QString, source);
    const bool asNobody = event.startsWith("nobody");
    if ((asNobody || event == "overlay") && ::geteuid() != 0)
        QSKIP("acting as the user nobody or mounting an overlay needs root");
    const QByteArray bytes = testing::writePatternFile("in/a.bin", 10 * MiB);
    // Long ago, so that any change shows in its time.
    QCOMPARE(testing::run("touch", {"-d", "@1000000000", "in/a.bin"}).exitCode, 0);
    const auto prefix = [&](qint64 size) {
        testing::writePatternFile("out/p", size);
        QVERIFY(::rename("out/p", "out/a.bin") == 0);
    };
    if (event.startsWith("old"))
        prefix(1000);
    if (event == "fifo")
        QVERIFY(::mkfifo("in/p", 0644) == 0);
    if (event == "untrimmed")
        testing::writePatternFile(source, 10, 3);
    if (event.startsWith("hard link") || event == "nobody 444" || source == "in/null")
        QVERIFY(::link("in/a.bin", source == "in/null" ? "in/null" : "out/a.bin") == 0);
    if (event.endsWith("leftover")) // unlocked, as a killed copy leaves it
        testing::writePatternFile("out/.a.bin.zintra-part", 10);
    if (asNobody) // who may write in out/; the source (and its link) with the row's mode
        QVERIFY(::chmod("out", event == "nobody 755" ? 0755 : 0777) == 0 &&
                ::chmod("in/a.bin",
                        event == "nobody 755" ? 0644 : event.mid(7).toUInt(nullptr, 8)) == 0);
    if (event == "nobody 755") {
        prefix(1000);
        QVERIFY(::chown("out/a.bin", 65534, 65534) == 0);
    }

    MainWindow form;
    FailingIo io(event);
    // What another program does while the copy runs: at the copy's first look at its events,
    // after the first block is read and the destination opened.
    QTimer::singleShot(0, &form, [&] {
        QFile f("in/a.bin");
        if (event == "shrink")
            QVERIFY(f.resize(6 * MiB));
        if (event == "rewrite") // the modification time put back, as cp -p or rsync -t do
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(9 * MiB) && f.write("x", 1) == 1 &&
                    f.flush() &&
                    testing::run("touch", {"-d", "@1000000000", "in/a.bin"}).exitCode == 0);
        if (event.endsWith("taken"))
            prefix(100);
        if (event.endsWith("lock source")) // still no writer gets in
            QVERIFY(f.open(QIODevice::ReadOnly) && ::flock(f.handle(), LOCK_EX | LOCK_NB) != 0 &&
                    errno == EWOULDBLOCK);
        if (event == "click")
            form.handlers->cmdcopy_Click(); // the running copy holds both files
    });

    QFETCH(QString, destination);
    QStringList shown;
    const QStringList ownProgram{"size limit", "close-during-copy", "raise", "old kill", "overlay"};
    if (asNobody || ownProgram.contains(event)) {
        // A program of its own, whose message boxes print "MSG:<title>:<text>".
        const QString mode = event == "old kill"                                         ? "kill"
                             : QStringList{"close-during-copy", "raise"}.contains(event) ? event
                                                                                         : "copy";
        QStringList args{ZINTRA_TESTHOST, mode, source, destination};
        if (event == "size limit")
            args << "1048576";
        if (event == "overlay") // the source seen through an overlay whose lower folder is in/
            args = QStringList{"-m", "sh", "-c",
                               "mkdir m u w && mount -t overlay overlay "
                               "-o lowerdir=in,upperdir=u,workdir=w m && exec \"$0\" \"$@\""} +
                   args;
        const QString program = event == "overlay" ? "unshare" : args.takeFirst();
        const auto r = (asNobody ? testing::runAsNobody : testing::run)(program, args, {});
        if (event == "overlay" && !r.out.contains("MSG"))
            QSKIP("no overlay can be mounted here");
        shown = QString::fromUtf8(r.out).remove("MSG:ZINTRA:").split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(r.exitCode != 0, event == "raise" || event == "old kill");
    } else {
        shown = copy(form, source, destination);
    }
    QTEST(shown, "messages");
    QStringList left;
    for (const QString& name :
         QDir("out").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        struct stat st {};
        QVERIFY(::stat(qPrintable("out/" + name), &st) == 0);
        QVERIFY2(st.st_blocks * 512 < st.st_size + 65536, "reserved room was given back");
        const QByteArray got = testing::readAll("out/" + name);
        QVERIFY(got == bytes.left(got.size()));
        left << name + ' ' + QString::number(got.size());
    }
    QTEST(left, "left");
    if (!QStringList{"shrink", "rewrite"}.contains(event))
        QVERIFY(testing::readAll("in/a.bin") == bytes);
    QVERIFY(QFileInfo("/dev/null").exists()); // a failed write to a device leaves the device
}

QTEST_MAIN(CopyTest)
#include "tst_copy.moc"
