#include "app/frmzintra.h"
#include "support/scripted.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Keyboard and screen-reader users: Tab goes source, destination, button; the boxes are
    // named by their labels; Enter on the button clicks it.
    void keyboardAndAssistiveTechnology() {
        frmzintra form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const auto name = [](QWidget* w) {
            return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        };
        QCOMPARE(name(form.txtinput) + '|' + name(form.txtoutput), "Filename:|Destination :");
        QCOMPARE(QApplication::focusWidget(), form.txtinput);
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.cmdcopy));
        testing::ScriptedMessageBoxes boxes;
        QTest::keyClick(form.cmdcopy, Qt::Key_Return);
        QCOMPARE(boxes.prompts(), QStringList{"Please select a file & its destination."});
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
