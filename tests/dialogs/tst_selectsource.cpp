#include "app/frmzintra.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/text.h"
#include "support/scripted.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

using testing::ScriptedDialogs;

class SelectSourceTest : public QObject {
    Q_OBJECT
private slots:
    void init() { startDir_ = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startDir_); }

    void choosingAFileFillsTheSourceAndOpensTheBrowser();
    void cancelChangesNothing();
    void spacesAroundThePath();
    void choiceMovesTheCurrentDirectory();
    void pathThatNamesNoOneFileIsAFailedDialog();
    void failingDialogIsNotTrapped();

private:
    QString startDir_;
};

void SelectSourceTest::choosingAFileFillsTheSourceAndOpensTheBrowser() {
    ScriptedDialogs dialogs;
    frmzintra form;
    form.txtoutput->setText(QStringLiteral("/before/"));
    dialogs.files = {ScriptedDialogs::choose(QStringLiteral("/srv/data/report"))};
    dialogs.folders = {ScriptedDialogs::cancel()};
    const QString clickedIn = QDir::currentPath();

    form.Image1_Click();

    QCOMPARE(form.txtinput->text(), QStringLiteral("/srv/data/report"));
    QCOMPARE(dialogs.browses.size(), 1u);
    QCOMPARE(form.txtoutput->text(), QString()); // the browser was cancelled

    // Title, owner and filter are checked on the real dialog.
    QCOMPARE(dialogs.fileRequests.size(), 1u);
    QCOMPARE(dialogs.fileRequests[0].initialDir, clickedIn);
}

void SelectSourceTest::cancelChangesNothing() {
    ScriptedDialogs dialogs;
    frmzintra form;
    form.txtinput->setText(QStringLiteral("/kept"));
    form.txtoutput->setText(QStringLiteral("/kept too/"));
    dialogs.files = {ScriptedDialogs::cancel()};

    form.Image1_Click();

    QCOMPARE(form.txtinput->text(), QStringLiteral("/kept"));
    QCOMPARE(form.txtoutput->text(), QStringLiteral("/kept too/"));
    QVERIFY(dialogs.browses.empty());
}

void SelectSourceTest::spacesAroundThePath() {
    ScriptedDialogs dialogs;
    frmzintra form;
    // Leading spaces go; spaces that end a file's name are part of it and stay.
    dialogs.files = {ScriptedDialogs::choose(QStringLiteral("   /srv/a")),
                     ScriptedDialogs::choose(QStringLiteral("/srv/name ends in spaces  "))};

    form.Image1_Click();
    QCOMPARE(form.txtinput->text(), QStringLiteral("/srv/a"));
    form.Image1_Click();
    QCOMPARE(form.txtinput->text(), QStringLiteral("/srv/name ends in spaces  "));
}

void SelectSourceTest::choiceMovesTheCurrentDirectory() {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).canonicalPath();
    QVERIFY(QDir(folder).mkdir(QStringLiteral("sub dir")));
    const QString file = folder + QStringLiteral("/sub dir/notes");
    QVERIFY(QFile(file).open(QIODevice::WriteOnly));

    ScriptedDialogs dialogs;
    frmzintra form;
    dialogs.files = {ScriptedDialogs::choose(file), ScriptedDialogs::cancel()};

    form.Image1_Click();
    QCOMPARE(QDir::currentPath(), folder + QStringLiteral("/sub dir"));

    form.Image1_Click(); // the next dialog starts where the last choice was made
    QCOMPARE(dialogs.fileRequests[1].initialDir, folder + QStringLiteral("/sub dir"));
}

void SelectSourceTest::pathThatNamesNoOneFileIsAFailedDialog() {
    ScriptedDialogs dialogs;
    frmzintra form;
    form.txtinput->setText(QStringLiteral("/kept"));
    // The buffer takes 4094 bytes of path and the terminator.
    dialogs.files = {ScriptedDialogs::choose("/" + QString(4094, u'f')),
                     ScriptedDialogs::choose("/" + QString(4093, u'f'))};

    form.Image1_Click();
    QCOMPARE(form.txtinput->text(), QStringLiteral("/kept"));
    QVERIFY(dialogs.browses.empty());

    form.Image1_Click();
    QCOMPARE(form.txtinput->text(), "/" + QString(4093, u'f'));
    QCOMPARE(dialogs.browses.size(), 1u);

    // Qt shows the name "\xe9", which is not UTF-8, as U+FFFD: while a file of that very name
    // sits beside it, the choice stands for two files.
    QTemporaryDir dir;
    const QByteArray latin1 = QFile::encodeName(dir.path()) + "/\xe9";
    const QString shown = dir.path() + u'/' + QChar(QChar::ReplacementCharacter);
    QVERIFY(QFile(shown).open(QIODevice::WriteOnly));
    QVERIFY(::close(::creat(latin1.constData(), 0644)) == 0);
    dialogs.files = {ScriptedDialogs::choose(shown), ScriptedDialogs::choose(shown)};
    form.Image1_Click();
    QCOMPARE(form.txtinput->text(), "/" + QString(4093, u'f'));
    QVERIFY(QFile::remove(shown));
    form.Image1_Click();
    QCOMPARE(platform::toAnsi(form.txtinput->text()), latin1.toStdString());
    QVERIFY(::unlink(latin1.constData()) == 0);
}

void SelectSourceTest::failingDialogIsNotTrapped() {
    ScriptedDialogs dialogs;
    frmzintra form;
    form.txtinput->setText(QStringLiteral("/kept"));
    dialogs.files = {[]() -> std::optional<QString> {
        platform::Raise(platform::err::OutOfMemory, QStringLiteral("Out of memory"));
    }};

    // The error leaves the handler, for the untrapped-error path to report.
    QVERIFY_THROWS_EXCEPTION(platform::RuntimeError, form.Image1_Click());
    QCOMPARE(form.txtinput->text(), QStringLiteral("/kept"));
    QVERIFY(dialogs.browses.empty());
}

QTEST_MAIN(SelectSourceTest)
#include "tst_selectsource.moc"
