// The real open-file dialog and folder browser, operated the way a user would.
#include "app/frmzintra.h"
#include "platform/ui/folderbrowser.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

class RealDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void pickFileThenFolder() {
        QTemporaryDir home;
        const QString target = QDir(home.path()).canonicalPath() + QStringLiteral("/Backup été");
        QVERIFY(QDir().mkpath(target + QStringLiteral("/sub")));
        QVERIFY(QFile(target + QStringLiteral("/sub/README")).open(QIODevice::WriteOnly));
        qputenv("HOME", QFile::encodeName(home.path()));
        QDir::setCurrent(target);

        frmzintra form;
        form.show();
        QTimer poll;
        // Acts on a dialog once it shows; a check that fails there cancels it.
        const auto on = [&poll](auto* dialog, auto act) {
            poll.stop();
            act(dialog);
            dialog->isVisible() ? dialog->reject() : poll.start();
        };
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                on(files, [&](QFileDialog* dialog) {
                    QCOMPARE(dialog->directory().absolutePath(), target); // the current directory
                    dialog->setDirectory(target + QStringLiteral("/sub"));
                    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
                    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 1);
                    const QModelIndex readme = view->model()->index(0, 0, view->rootIndex());
                    QVERIFY(readme.flags() & Qt::ItemIsEnabled); // no dot, offered under "*.*"
                    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                      view->visualRect(readme).center());
                    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
                });
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* browser = qobject_cast<platform::FolderBrowser*>(window);
                    browser && browser->isVisible())
                    on(browser, [&](platform::FolderBrowser* dialog) {
                        // Not modal: the main window stays usable. Nothing is chosen beforehand.
                        QCOMPARE(QApplication::activeModalWidget(), nullptr);
                        auto* ok =
                            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                        QVERIFY(!ok->isEnabled());
                        auto* tree = dialog->findChild<QTreeWidget*>();
                        tree->topLevelItem(0)->setExpanded(true); // Home
                        QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
                        tree->setCurrentItem(tree->topLevelItem(0)->child(0));
                        ok->click();
                    });
        });
        poll.start(5);

        form.Image1_Click();

        QCOMPARE(form.txtinput->text(), target + QStringLiteral("/sub/README"));
        QCOMPARE(form.txtoutput->text(), target + u'/');
        QCOMPARE(QDir::currentPath(), target + QStringLiteral("/sub")); // where the next starts
    }
};

QTEST_MAIN(RealDialogsTest)
#include "tst_realdialogs.moc"
