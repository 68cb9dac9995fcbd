// The real open-file dialog and folder browser, operated the way a user would.
#include "app/frmzintra.h"
#include "platform/ui/folderbrowser.h"
#include "support/scripted.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using platform::FolderBrowser;

namespace {
// While it lives, runs `act` on the first visible window of type W as soon as one is shown.
template <typename W> class WhenShown {
public:
    explicit WhenShown(std::function<void(W*)> act) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this, act] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* found = qobject_cast<W*>(window);
                if (found && found->isVisible()) {
                    timer_.stop();
                    act(found);
                    return;
                }
            }
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

// Closes a dialog that a failed check left open, so that the test ends.
auto closeOnFailure(QDialog* dialog) {
    return qScopeGuard([dialog] {
        if (dialog->isVisible())
            dialog->reject();
    });
}

QModelIndex rowNamed(const QListView* view, const QString& name) {
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        const QModelIndex index = model->index(row, 0, view->rootIndex());
        if (index.data().toString() == name)
            return index;
    }
    return {};
}

QTreeWidgetItem* placeNamed(const QTreeWidget* tree, const QString& label) {
    const auto found = tree->findItems(label, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

// Opens the folders from the file system's root down to `path`, as a user would.
QTreeWidgetItem* openDownTo(QTreeWidget* tree, const QString& path) {
    QTreeWidgetItem* item = placeNamed(tree, QStringLiteral("File System"));
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        if (!item)
            return nullptr;
        item->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i)
            if (item->child(i)->text(0) == part)
                next = item->child(i);
        item = next;
    }
    return item;
}

void confirm(FolderBrowser* browser, QTreeWidgetItem* item) {
    browser->findChild<QTreeWidget*>()->setCurrentItem(item);
    browser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}
} // namespace

class RealDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { startDir_ = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startDir_); }

    void pickFileWithoutDot();
    void pickFolder();
    void placeWithoutPath();

private:
    QString startDir_;
};

void RealDialogsTest::pickFileWithoutDot() {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).canonicalPath();
    for (const char* name : {"README", "notes.txt"})
        QVERIFY(QFile(folder + u'/' + QLatin1String(name)).open(QIODevice::WriteOnly));
    QDir::setCurrent(folder);

    frmzintra form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    bool browserShown = false;
    const WhenShown<QFileDialog> fileDialog([&](QFileDialog* dialog) {
        const auto guard = closeOnFailure(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Select a File to Copy"));
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        QCOMPARE(dialog->parentWidget(), &form);
        QCOMPARE(dialog->directory().absolutePath(), folder);
        const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        QCOMPARE(types->count(), 1);
        QCOMPARE(types->itemText(0), QStringLiteral("All Files (*.*)"));

        auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        QVERIFY(view);
        QTRY_VERIFY(rowNamed(view, QStringLiteral("notes.txt")).isValid());
        const QModelIndex readme = rowNamed(view, QStringLiteral("README"));
        QVERIFY(readme.isValid());
        QVERIFY(readme.flags() & Qt::ItemIsEnabled);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(readme).center());
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
    });
    const WhenShown<FolderBrowser> folderBrowser([&](FolderBrowser* browser) {
        browserShown = true;
        browser->reject();
    });

    form.Image1_Click();

    QCOMPARE(form.txtinput->text(), folder + QStringLiteral("/README"));
    QVERIFY(browserShown);
}

void RealDialogsTest::pickFolder() {
    QTemporaryDir dir;
    const QString target = QDir(dir.path()).canonicalPath() + QStringLiteral("/Backup été");
    QVERIFY(QDir().mkdir(target));

    frmzintra form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.txtoutput->setText(QStringLiteral("/home/"));
    const WhenShown<FolderBrowser> folderBrowser([&](FolderBrowser* browser) {
        const auto guard = closeOnFailure(browser);
        QCOMPARE(browser->windowTitle(), QStringLiteral("Select the destination folder."));
        // Modeless and ownerless: the main window takes input meanwhile.
        QVERIFY(!browser->isModal());
        QVERIFY(!browser->parentWidget());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);

        auto* tree = browser->findChild<QTreeWidget*>();
        QVERIFY(tree->selectedItems().isEmpty());
        QVERIFY(
            !browser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
        for (const char* place : {"Home", "File System", "Network", "Trash"})
            QVERIFY2(placeNamed(tree, QLatin1String(place)), place);

        QTreeWidgetItem* item = openDownTo(tree, target);
        QVERIFY(item);
        confirm(browser, item);
    });

    form.Image2_Click();

    QCOMPARE(form.txtoutput->text(), target + u'/');
}

void RealDialogsTest::placeWithoutPath() {
    testing::ScriptedMessageBoxes boxes;
    frmzintra form;
    const WhenShown<FolderBrowser> folderBrowser([&](FolderBrowser* browser) {
        const auto guard = closeOnFailure(browser);
        confirm(browser, placeNamed(browser->findChild<QTreeWidget*>(), QStringLiteral("Network")));
    });

    form.Image2_Click();

    QCOMPARE(boxes.shown.size(), 1u);
    QCOMPARE(form.txtoutput->text(), QString());
}

QTEST_MAIN(RealDialogsTest)
#include "tst_realdialogs.moc"
