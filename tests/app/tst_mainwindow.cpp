#include "about/frmabout.h"
#include "app/frmzintra.h"
#include "platform/ui/window.h"
#include "support/scripted.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolTip>

// Runs under a desktop's theme (qt6ct.conf.in) that paints every colour #123456 and sets a 14 pt
// serif font, at 192 dpi with Qt's scaling off.
class MainWindowTest : public QObject {
    Q_OBJECT
    const QColor desktopColour{0x12, 0x34, 0x56};

private slots:
    void initTestCase() {
        QVERIFY2(QApplication::palette().color(QPalette::Window) == desktopColour, "no theme");
        platform::applyFixedLook(*qApp);
    }
    void cleanup() { frmabout::loaded() && frmabout::loaded()->close(); }

    void themeLeaksNothingAndTextsFit_data() {
        QTest::addColumn<bool>("settled");
        QTest::newRow("at start") << false;
        QTest::newRow("once the theme has applied its settings") << true;
    }
    // Nothing of the theme reaches what the program draws, and the ink of every fixed text
    // fits its control in the font and at the dpi it is drawn with (the layout's 96 dpi pixels,
    // so this covers 96 dpi too).
    void themeLeaksNothingAndTextsFit() {
        QFETCH(bool, settled);
        // The main window is made before the theme applies its settings, the About window after,
        // and the look is put back once the event loop turns again.
        frmzintra form;
        if (settled)
            QCoreApplication::sendPostedEvents();
        frmabout& about = frmabout::Load();
        if (settled)
            QCoreApplication::sendPostedEvents();
        QMessageBox box(QMessageBox::NoIcon, "ZINTRA", "File Successfully Copied", QMessageBox::Ok);
        int fixedTexts = 0;
        for (QWidget* w : form.findChildren<QWidget*>() + about.findChildren<QWidget*>() +
                              box.findChildren<QWidget*>() + QWidgetList{&form, &about, &box}) {
            const char* kind = w->metaObject()->className();
            for (const QPalette& p : {w->palette(), QToolTip::palette()})
                for (int i = 0; i < int(QPalette::NColorGroups) * QPalette::NColorRoles; ++i)
                    QVERIFY2(i % QPalette::NColorRoles == QPalette::NoRole ||
                                 p.color(QPalette::ColorGroup(i / QPalette::NColorRoles),
                                         QPalette::ColorRole(i % QPalette::NColorRoles)) !=
                                     desktopColour,
                             kind);
            for (const QFont& f : {w->font(), QToolTip::font()})
                QVERIFY2(f.family() != QStringLiteral("DejaVu Serif"), kind);
            const QString text = w->property("text").toString();
            if (text.isEmpty() || w->isWindow() || w->window() == &box)
                continue;
            const auto* label = qobject_cast<QLabel*>(w);
            const QFontMetrics fm = w->fontMetrics();
            const QRect line = w->style()->itemTextRect(
                fm, w->contentsRect(), label ? int(label->alignment()) : Qt::AlignCenter, true,
                text);
            const QRect ink =
                fm.tightBoundingRect(text).translated(line.x(), line.y() + fm.ascent());
            QVERIFY2(QFontInfo(w->font()).family().startsWith(QStringLiteral("Liberation")), kind);
            QVERIFY2(w->contentsRect().contains(ink), qPrintable(text));
            ++fixedTexts;
        }
        QCOMPARE(fixedTexts, 14);
    }

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
