#include "app/frmzintra.h"
#include "app/intakerule.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/process.h"
#include "platform/runtime/text.h"
#include "support/scripted.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

using testing::ScriptedDialogs;

namespace {
// Records the arguments as main() does, from argv[1] on.
void startWith(const QByteArrayList& arguments) {
    std::vector<const char*> argv{"zintra"};
    for (const QByteArray& a : arguments)
        argv.push_back(a.constData());
    platform::setCommandLine(int(argv.size()), argv.data());
}
} // namespace

class IntakeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void cutBuffer();
    void withoutEnds();

    void intake_data();
    void intake();
    void failingBrowserDoesNotStopLoading();

    void browserBeforeMainWindow_data();
    void browserBeforeMainWindow();

private:
    QTemporaryDir dir_;
    QString folder_;
    QString startDir_;
};

void IntakeTest::initTestCase() {
    folder_ = QDir(dir_.path()).canonicalPath();
    // "caf\xe9" is not UTF-8; "caf\uFFFD" is what a lossy reading of it would name.
    for (const char* name : {"My Notes.txt", "-platform", "été", "caf\xe9", "caf\uFFFD"})
        QVERIFY(::close(::creat((QFile::encodeName(folder_) + '/' + name).constData(), 0644)) == 0);
    startDir_ = QDir::currentPath();
    QDir::setCurrent(folder_); // relative arguments are looked up here
    // Keep the start-up probe away from this machine's registry.
    qputenv("ZINTRA_ROOT", folder_.toLocal8Bit());
}

void IntakeTest::cleanupTestCase() {
    QDir::setCurrent(startDir_);
    ::unlink((QFile::encodeName(folder_) + "/caf\xe9").constData()); // Qt cannot name it
}

void IntakeTest::cutBuffer() {
    std::string buffer(4096, '\0');
    buffer.replace(0, 12, "/srv/été/x\0y", 12);
    QCOMPARE(intake::cutBuffer(buffer, 12), QString::fromUtf8("/srv/été/x"));
    QCOMPARE(intake::cutBuffer(buffer, 8), QString::fromUtf8("/srv/ét"));
    QCOMPARE(intake::cutBuffer(buffer, 0), QString());
    // Bytes that are not UTF-8 come back unchanged; escapes that would read back as another
    // character name nothing.
    QCOMPARE(platform::toAnsi(intake::cutBuffer("caf\xe9\xc3", 5)), std::string("caf\xe9\xc3"));
    QCOMPARE(platform::toAnsi(QString(QChar(0xDCC3)) + QChar(0xDCA9)), std::string());
    // A length beyond the buffer (a path that did not fit) takes the untouched buffer, which
    // shows as nothing.
    const QString whole = intake::cutBuffer(std::string(4096, '\0'), 5000);
    QCOMPARE(whole.size(), 4096);
    QCOMPARE(platform::textBoxText(whole), QString());
}

void IntakeTest::withoutEnds() {
    QCOMPARE(intake::withoutEnds(QStringLiteral("\"/srv/a b\"")), QStringLiteral("/srv/a b"));
    QCOMPARE(intake::withoutEnds(QStringLiteral("ab")), QString());
    QVERIFY_THROWS_EXCEPTION(platform::RuntimeError, intake::withoutEnds(QStringLiteral("x")));
}

void IntakeTest::intake_data() {
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("browsed");

    const QByteArray folder = folder_.toUtf8();
    QTest::newRow("no argument") << QByteArrayList{} << QString() << false;
    QTest::newRow("existing path with spaces, split by the caller")
        << QByteArrayList{folder + "/My", "Notes.txt"} << folder_ + "/My Notes.txt" << true;
    QTest::newRow("existing non-ASCII path")
        << QByteArrayList{folder + "/été"} << folder_ + QString::fromUtf8("/été") << true;
    QTest::newRow("quoted existing path")
        << QByteArrayList{"\"" + folder + "/My Notes.txt\""} << folder_ + "/My Notes.txt" << true;
    QTest::newRow("missing path loses its first and last characters")
        << QByteArrayList{"/nowhere/file.txt"} << QStringLiteral("nowhere/file.tx") << true;
    QTest::newRow("two characters") << QByteArrayList{"ab"} << QString() << true;
    QTest::newRow("one character") << QByteArrayList{"x"} << QString() << true;
    QTest::newRow("the root") << QByteArrayList{"/"} << QStringLiteral("/") << true;
    QTest::newRow("longer than the buffer")
        << QByteArrayList{"/" + QByteArray(5000, 'a')} << QString(4999, u'a') << true;
    QTest::newRow("-platform names a file here")
        << QByteArrayList{"-platform"} << QStringLiteral("-platform") << true;
    QTest::newRow("-reverse names no file")
        << QByteArrayList{"-reverse"} << QStringLiteral("revers") << true;
    QTest::newRow("quotes and a line break")
        << QByteArrayList{"a\"b\nc\"d"} << QStringLiteral("\"b\nc\"") << true;
    QTest::newRow("existing name that is not UTF-8")
        << QByteArrayList{folder + "/caf\xe9"} << folder_ + "/caf" + QChar(0xDCE9) << true;
    QTest::newRow("bytes that are not UTF-8")
        << QByteArrayList{"\xff/x\xfe"} << QStringLiteral("/x") << true;
}

void IntakeTest::intake() {
    QFETCH(QByteArrayList, arguments);
    QFETCH(QString, source);
    QFETCH(bool, browsed);

    ScriptedDialogs dialogs;
    dialogs.folders = {ScriptedDialogs::choose(folder_)};
    startWith(arguments);
    frmzintra form;
    form.Form_Load();

    QCOMPARE(form.txtinput->text(), source);
    QCOMPARE(dialogs.browses.size(), browsed ? 1u : 0u);
    QCOMPARE(form.txtoutput->text(), browsed ? folder_ + u'/' : QString());
}

void IntakeTest::failingBrowserDoesNotStopLoading() {
    ScriptedDialogs dialogs;
    dialogs.folders = {[]() -> std::optional<QString> {
        platform::Raise(platform::err::OutOfMemory, QStringLiteral("Out of memory"));
    }};
    startWith({"/nowhere/file"});
    frmzintra form;
    form.txtoutput->setText(QStringLiteral("/untouched/"));

    form.Form_Load(); // nothing escapes loading

    QCOMPARE(form.txtinput->text(), QStringLiteral("nowhere/fil"));
    QCOMPARE(form.txtoutput->text(), QStringLiteral("/untouched/"));
}

void IntakeTest::browserBeforeMainWindow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("windows");

    const QStringList browserThenMain{QStringLiteral("shown: Select the destination folder."),
                                      QStringLiteral("then: ZINTRA Free Version")};
    QTest::newRow("a file's path") << QStringList{folder_ + "/My Notes.txt"} << browserThenMain;
    // Were Qt to read these, the program would show no window on this display at all.
    QTest::newRow("Qt's own options")
        << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen")} << browserThenMain;
    QTest::newRow("no argument") << QStringList{}
                                 << QStringList{QStringLiteral("shown: ZINTRA Free Version")};
}

void IntakeTest::browserBeforeMainWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, windows);

    const testing::Finished result =
        testing::run(QStringLiteral("xvfb-run"),
                     QStringList{QStringLiteral("-a"), QStringLiteral(ZINTRA_WINDOWS_IN_ORDER),
                                 QStringLiteral(ZINTRA_EXECUTABLE)} +
                         arguments,
                     {QStringLiteral("QT_QPA_PLATFORM=xcb"), "ZINTRA_ROOT=" + folder_});

    QVERIFY2(result.status == QProcess::NormalExit && result.exitCode == 0, result.err);
    QCOMPARE(QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts), windows);
}

QTEST_MAIN(IntakeTest)
#include "tst_intake.moc"
