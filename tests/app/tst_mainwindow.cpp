#include "app/frmzintra.h"
#include "platform/ui/window.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>

namespace {
// A desktop theme that puts its glyphs on dialog buttons.
class GlyphsOnButtons final : public QProxyStyle {
public:
    GlyphsOnButtons() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { platform::applyFixedLook(*qApp); }

    // Keyboard and screen-reader users: Tab goes source, destination, button; the boxes are
    // named by their labels; Enter on the button clicks it.
    void keyboardAndAssistiveTechnology() {
        frmzintra form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QAccessible::queryAccessibleInterface(form.txtinput)->text(QAccessible::Name),
                 QStringLiteral("Filename:"));
        QCOMPARE(QAccessible::queryAccessibleInterface(form.txtoutput)->text(QAccessible::Name),
                 QStringLiteral("Destination :"));
        QCOMPARE(QApplication::focusWidget(), form.txtinput);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.cmdcopy));

        // The real box asks for a selection, with no icon even where the theme would put its
        // glyphs on the buttons.
        qApp->setStyle(new GlyphsOnButtons);
        const auto restore = qScopeGuard([] { platform::applyFixedLook(*qApp); });
        QString asked;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            const auto close = qScopeGuard([box] { box->accept(); });
            asked = box->text();
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            for (const QAbstractButton* button : box->buttons())
                QVERIFY(button->icon().isNull());
        });
        QTest::keyClick(form.cmdcopy, Qt::Key_Return);
        QCOMPARE(asked, QStringLiteral("Please select a file & its destination."));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
