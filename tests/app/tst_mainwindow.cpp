#include "app/frmzintra.h"
#include "app/widgets.h"
#include "support/scripted.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

class MainWindowTest : public QObject {
    Q_OBJECT
    static inline QList<float> valuesTold; // to assistive technology
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }

private slots:
    // Keyboard and screen-reader users (the reader running before the window is made): Tab goes
    // source, destination, button, then the two pictures; the boxes are named by their labels,
    // the pictures are named buttons. Enter on the button clicks it; Space and the press action
    // press a picture, the press action once the one who asked has had the answer. The bar is a
    // progress bar; a copy's many widths reach it at display rate, as the pixels do, the last
    // one at the end; past the full scale it is full.
    void keyboardAndAssistiveTechnology() {
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            if (event->type() == QAccessible::ValueChanged)
                valuesTold << static_cast<QAccessibleValueChangeEvent*>(event)->value().toFloat();
        });
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        frmzintra form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const auto name = [](QWidget* w) {
            const QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
            return i->text(QAccessible::Name) + (i->role() == QAccessible::Button ? "*" : "");
        };
        QCOMPARE(name(form.txtinput) + '|' + name(form.txtoutput), "Filename:|Destination :");
        QCOMPARE(name(form.Image1) + '|' + name(form.Image2),
                 "Select file*|Select destination folder*");
        QWidgetList reached;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached << QApplication::focusWidget();
        }
        QCOMPARE(reached, (QWidgetList{form.txtoutput, form.cmdcopy, form.Image1, form.Image2}));
        testing::ScriptedMessageBoxes boxes;
        QTest::keyClick(form.cmdcopy, Qt::Key_Return);
        QCOMPARE(boxes.prompts(), QStringList{"Please select a file & its destination."});

        testing::ScriptedDialogs dialogs;
        using D = testing::ScriptedDialogs;
        dialogs.folders = {D::choose("/a"), D::choose("/b")};
        dialogs.files = {D::choose("/etc/hostname")};
        QTest::keyClick(form.Image2, Qt::Key_Space);
        QCOMPARE(form.txtoutput->text(), "/a/");
        QAccessible::queryAccessibleInterface(form.Image1)
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(form.txtinput->text().isEmpty());
        QCoreApplication::sendPostedEvents();
        QCOMPARE(form.txtinput->text() + form.txtoutput->text(), "/etc/hostname/b/");

        form.shpin->show();
        form.shpin->installEventFilter(this);
        QCOMPARE(QAccessible::queryAccessibleInterface(form.shpin)->role(),
                 QAccessible::ProgressBar);
        {
            const Shape::DisplayRate paced(*form.shpin);
            for (int twips = 10; twips <= 10000; twips += 10)
                form.shpin->setWidth(float(twips));
        }
        QVERIFY(!valuesTold.isEmpty() && valuesTold.size() <= paints + 1);
        QCOMPARE(valuesTold.last(), 5000);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
