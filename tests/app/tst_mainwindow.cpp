#include "app/frmzintra.h"
#include "app/widgets.h"
#include "platform/runtime/text.h"
#include "platform/ui/window.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
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
    void everyTextFitsItsControl();
    void tabGoesSourceDestinationButtonAndEnterClicks();
    void boxesAreNamedByTheirLabels();
    void helpMenu();
    void apppathEndsInOneSlash();
};

void MainWindowTest::everyTextFitsItsControl() {
    frmzintra form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(QFontInfo(form.font()).family(), QStringLiteral("Liberation Sans"));

    for (QLabel* label : {form.lblfilename, form.lbldest}) {
        const QSize text = label->fontMetrics().size(Qt::TextSingleLine, label->text());
        QVERIFY2(text.width() <= label->contentsRect().width() &&
                     text.height() <= label->contentsRect().height(),
                 qPrintable(label->text()));
    }
    // The button's own hint includes the style's frame and margins around the caption.
    QVERIFY(form.cmdcopy->sizeHint().width() <= form.cmdcopy->width());
    QVERIFY(form.cmdcopy->sizeHint().height() <= form.cmdcopy->height() + 2);
    // A path typed into a box shows at full height inside the box's frame.
    const int frame = form.txtinput->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    QVERIFY(form.txtinput->fontMetrics().height() + 2 * frame <= form.txtinput->height());
}

void MainWindowTest::tabGoesSourceDestinationButtonAndEnterClicks() {
    frmzintra form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), form.txtinput);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.txtoutput);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.cmdcopy));

    // Enter clicks it: the real box asks for a selection, with no icon even where the theme
    // would put its glyphs on the buttons.
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

void MainWindowTest::boxesAreNamedByTheirLabels() {
    frmzintra form;
    form.show();
    QCOMPARE(QAccessible::queryAccessibleInterface(form.txtinput)->text(QAccessible::Name),
             QStringLiteral("Filename:"));
    QCOMPARE(QAccessible::queryAccessibleInterface(form.txtoutput)->text(QAccessible::Name),
             QStringLiteral("Destination :"));
}

void MainWindowTest::helpMenu() {
    frmzintra form;
    QStringList items;
    for (const QAction* a : form.mnuhelp->actions())
        items << a->text() + (a->isEnabled() ? "" : " (unavailable)");
    QCOMPARE(items,
             (QStringList{"Context Menu", "Readme (unavailable)", "Check for update", "About"}));
    QVERIFY(!form.mnucont->isChecked());
}

void MainWindowTest::apppathEndsInOneSlash() {
    QCOMPARE(platform::withSeparator("/opt/zintra"), QStringLiteral("/opt/zintra/"));
    QCOMPARE(platform::withSeparator("/"), QStringLiteral("/"));
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
