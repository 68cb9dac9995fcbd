// The dialogs behind the two pictures: their buffers' limits, with the dialogs answering from a
// script, and the real dialogs.
#include "frontend/qt/mainwindow.h"
#include "platform/textbridge.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/folderbrowser.h"
#include "runtime/text.h"
#include "support/scripted.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Answer = std::optional<QString>; // nothing: the user cancelled

class SelectionTest : public QObject {
    Q_OBJECT
private slots:
    void select_data() {
        QTest::addColumn<int>("picture");
        QTest::addColumn<Answer>("file");
        QTest::addColumn<Answer>("folder");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<int>("warnings");
        const auto row = [](const char* name, int picture, Answer file, Answer folder,
                            const QString& source, const QString& destination, int warnings) {
            QTest::newRow(name) << picture << file << folder << source << destination << warnings;
        };
        // The longest paths whose bytes and NUL fill the buffers: 4095 for a file, 4096 for a
        // folder.
        const QString file = "/" + QString(4093, u'f'), folder = "/" + QString(4094, u'd');
        row("longest file", 1, file, {}, file, "", 0);
        row("file one byte too long: as a cancel", 1, file + u'f', {}, "/kept", "/previous/", 0);
        row("longest folder", 2, {}, folder, "/kept", folder + u'/', 0);
        row("folder one byte too long", 2, {}, folder + u'd', "/kept", "", 1);
    }
    void select() {
        QFETCH(int, picture);
        QFETCH(Answer, file);
        QFETCH(Answer, folder);
        testing::ScriptedDialogs dialogs;
        testing::ScriptedMessageBoxes boxes;
        MainWindow form;
        form.txtinput->setText(QStringLiteral("/kept"));
        form.txtoutput->setText(QStringLiteral("/previous/"));
        dialogs.files = {[file] { return file; }};
        dialogs.folders = {[folder] { return folder; }, testing::ScriptedDialogs::choose("/again")};
        picture == 1 ? form.handlers->Image1_Click() : form.handlers->Image2_Click();
        QTEST(form.txtinput->text(), "source");
        QTEST(form.txtoutput->text(), "destination");
        QTEST(int(boxes.shown.size()), "warnings");
    }

    // Qt shows the name "\xe9", which is not UTF-8, as U+FFFD: while a file really named so
    // sits beside it, the choice stands for two files and is refused; alone, it is that file,
    // and the real dialog lets it be chosen.
    void nameThatIsNotUtf8() {
        QTemporaryDir dir;
        const QByteArray latin1 = QFile::encodeName(dir.path()) + "/\xe9";
        const QString shown = dir.path() + u'/' + QChar(QChar::ReplacementCharacter);
        QVERIFY(QFile(shown).open(QIODevice::WriteOnly) &&
                ::close(::creat(latin1.constData(), 0644)) == 0);
        platform::OPENFILENAME ofn;
        ofn.lpstrInitialDir = dir.path().toStdString();
        const auto chooseInTheRealDialog = [&] {
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QTimer::singleShot(0, dialog, [] { // Qt's "File not found" box, then the dialog
                    while (QWidget* modal = QApplication::activeModalWidget())
                        modal->close();
                });
                dialog->selectFile(shown);
                static_cast<QDialog*>(dialog)->accept();
            });
            ofn.lpstrFile.assign(ofn.nMaxFile = 256, '\0');
            return platform::GetOpenFileNameA(ofn);
        };
        QCOMPARE(chooseInTheRealDialog(), 0);
        QVERIFY(QFile::remove(shown));
        QCOMPARE(chooseInTheRealDialog(), 1);
        QCOMPARE(ofn.lpstrFile.c_str(), latin1);
        QVERIFY(::unlink(latin1.constData()) == 0); // Qt cannot name it
    }

    // The open-file dialog's "All Files (*.*)" offers every file, names without a dot too.
    void allFilesMeansEveryName() {
        const auto filters = platform::parseFilterList(QStringLiteral("All Files (*.*)\0*.*\0"));
        QCOMPARE(filters.size(), 1u);
        QCOMPARE(filters[0].patterns, QStringList{"*"});
    }

    // Our folder browser: nothing chosen beforehand, folders listed by their real names (bytes
    // that are not UTF-8 included, in HOME's too), the chosen one's path.
    void folderBrowser() {
        QTemporaryDir dir;
        const QByteArray home = QFile::encodeName(dir.path()) + "/h\xe9",
                         raw = home + "/B \xe9t\xe9";
        QVERIFY(::mkdir(home.constData(), 0755) == 0 && ::mkdir(raw.constData(), 0755) == 0);
        qputenv("HOME", home);
        platform::FolderBrowser browser(nullptr, QStringLiteral("Select the destination folder."));
        auto* ok = browser.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        auto* tree = browser.findChild<QTreeWidget*>();
        QVERIFY(!ok->isEnabled());
        tree->topLevelItem(0)->setExpanded(true); // Home
        QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
        tree->setCurrentItem(tree->topLevelItem(0)->child(0));
        QVERIFY(ok->isEnabled());
        QCOMPARE(platform::toBytes(browser.chosenPath()), raw.toStdString());
        QVERIFY(::rmdir(raw.constData()) == 0 && ::rmdir(home.constData()) == 0); // Qt cannot
    }
};

QTEST_MAIN(SelectionTest)
#include "tst_selection.moc"
