#include "app/frmzintra.h"
#include "dialogs/browsepath.h"
#include "support/scripted.h"

#include <QLineEdit>
#include <QTest>

using testing::ScriptedDialogs;

class SelectDestTest : public QObject {
    Q_OBJECT
private slots:
    void normalise_data();
    void normalise();

    void choosingAFolderFillsTheBox();
    void cancelAfterAChoiceEmptiesTheBox();
    void itemWithoutPathWarnsOnceAndEmptiesTheBox();
    void pathLongerThanTheBufferIsInvalid();
    void nestedBrowsersKeepTheOuterResult();
};

void SelectDestTest::normalise_data() {
    QTest::addColumn<QString>("buffer");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("invalid");

    const QString nuls(16, QChar(0));
    QTest::newRow("folder") << "/home/ana/Data" + nuls << "/home/ana/Data/" << false;
    QTest::newRow("root stays as it is") << "/" + nuls << "/" << false;
    QTest::newRow("spaces and non-ASCII")
        << QString::fromUtf8("/media/ana/Sauvegarde été 日本") + nuls
        << QString::fromUtf8("/media/ana/Sauvegarde été 日本/") << false;
    QTest::newRow("two characters") << "/x" + nuls << "/x/" << false;
    QTest::newRow("no path at all") << nuls << QString() << true;
    QTest::newRow("one character, not the root") << "x" + nuls << QString() << true;
    QTest::newRow("text after the first NUL is ignored")
        << QStringLiteral("/srv") + QChar(0) + QStringLiteral("/old") + nuls << "/srv/" << false;
}

void SelectDestTest::normalise() {
    QFETCH(QString, buffer);
    QFETCH(QString, folder);
    QFETCH(bool, invalid);
    const dialogs::BrowsedFolder result = dialogs::normaliseBrowsedPath(buffer);
    QCOMPARE(result.folder, folder);
    QCOMPARE(result.invalid, invalid);
}

void SelectDestTest::choosingAFolderFillsTheBox() {
    ScriptedDialogs dialogs;
    testing::ScriptedMessageBoxes boxes;
    frmzintra form;
    dialogs.folders = {ScriptedDialogs::choose(QStringLiteral("/srv/Backup 2024"))};

    form.Image2_Click();

    QCOMPARE(form.txtoutput->text(), QStringLiteral("/srv/Backup 2024/"));
    QCOMPARE(form.destfolder, QStringLiteral("/srv/Backup 2024/"));
    QCOMPARE(dialogs.browses.size(), 1u);
    QVERIFY(boxes.shown.empty());
}

void SelectDestTest::cancelAfterAChoiceEmptiesTheBox() {
    ScriptedDialogs dialogs;
    frmzintra form;
    dialogs.folders = {ScriptedDialogs::choose(QStringLiteral("/")), ScriptedDialogs::cancel()};

    form.selectdest();
    QCOMPARE(form.txtoutput->text(), QStringLiteral("/"));
    form.selectdest();
    QCOMPARE(form.txtoutput->text(), QString());
    QCOMPARE(form.destfolder, QString());
}

void SelectDestTest::itemWithoutPathWarnsOnceAndEmptiesTheBox() {
    ScriptedDialogs dialogs;
    testing::ScriptedMessageBoxes boxes;
    frmzintra form;
    form.txtoutput->setText(QStringLiteral("/previous/"));
    dialogs.folders = {ScriptedDialogs::choose(QString())};

    form.selectdest();

    QCOMPARE(boxes.prompts(), QStringList{QStringLiteral(
                                  "            Invalid Path. \nPlease select proper folder.")});
    QCOMPARE(form.txtoutput->text(), QString());
    QCOMPARE(dialogs.browses.size(), 1u); // the browser is not reopened
}

void SelectDestTest::pathLongerThanTheBufferIsInvalid() {
    ScriptedDialogs dialogs;
    testing::ScriptedMessageBoxes boxes;
    frmzintra form;
    dialogs.folders = {ScriptedDialogs::choose("/" + QString(4095, u'd')),
                       ScriptedDialogs::choose("/" + QString(4094, u'd'))};

    form.selectdest();
    QCOMPARE(boxes.shown.size(), 1u);
    QCOMPARE(form.txtoutput->text(), QString());

    form.selectdest(); // 4095 bytes and the terminator fill the buffer exactly
    QCOMPARE(boxes.shown.size(), 1u);
    QCOMPARE(form.txtoutput->text(), "/" + QString(4094, u'd') + "/");
}

void SelectDestTest::nestedBrowsersKeepTheOuterResult() {
    ScriptedDialogs dialogs;
    frmzintra form;
    QString seenWhileOuterOpen;
    dialogs.folders = {
        [&] {
            // A second click while the first browser is still open.
            form.Image2_Click();
            seenWhileOuterOpen = form.txtoutput->text();
            return std::optional<QString>(QStringLiteral("/outer"));
        },
        ScriptedDialogs::choose(QStringLiteral("/inner")),
    };

    form.Image2_Click();

    QCOMPARE(seenWhileOuterOpen, QStringLiteral("/inner/"));
    QCOMPARE(form.txtoutput->text(), QStringLiteral("/outer/"));
    QCOMPARE(form.destfolder, QStringLiteral("/outer/"));
}

QTEST_MAIN(SelectDestTest)
#include "tst_selectdest.moc"
