#include "about/controls.h"
#include "about/frmabout.h"
#include "app/frmzintra.h"
#include "platform/runtime/seam.h"
#include "platform/ui/window.h"
#include "support/scripted.h"
#include "support/shell.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QUrl>

namespace {
const QColor black(0, 0, 0), blue(0, 0, 255);

frmabout& shownAbout() {
    frmabout& about = frmabout::Load();
    about.show();
    if (!QTest::qWaitForWindowExposed(&about))
        qFatal("the About window does not appear");
    return about;
}

QPair<QColor, QColor> linkColours(const frmabout& about) {
    return {about.lblwebsite->palette().color(QPalette::WindowText),
            about.lblemail->palette().color(QPalette::WindowText)};
}

// The desktop's theme (qt6ct.conf.in) paints every colour role #123456.
bool holdsDesktopColour(const QPalette& p) {
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            if (role != QPalette::NoRole &&
                p.color(QPalette::ColorGroup(group), QPalette::ColorRole(role)) == 0x123456)
                return true;
    return false;
}
} // namespace

class WindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(holdsDesktopColour(QApplication::palette()), "no desktop theme");
        platform::applyFixedLook(*qApp); // before the theme's own settings, which wait for events
        QVERIFY(!holdsDesktopColour(QApplication::palette()) &&
                !holdsDesktopColour(QToolTip::palette()));
    }
    void cleanup() {
        if (frmabout* about = frmabout::loaded())
            about->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Nothing of the theme reaches what the program draws, and the ink of every fixed text fits
    // its control in the font and at the dpi it is drawn with (the layout's 96 dpi pixels, so
    // this covers 96 dpi too). The main window is made before the theme applies its settings,
    // the About window while they are in place, and the look is put back after them.
    void themeLeaksNothingAndTextsFit() {
        frmzintra form;
        QCoreApplication::sendPostedEvents();
        frmabout& about = frmabout::Load();
        QCoreApplication::sendPostedEvents();
        QMessageBox box(QMessageBox::NoIcon, "ZINTRA", "File Successfully Copied", QMessageBox::Ok);
        int fixedTexts = 0;
        for (QWidget* w : form.findChildren<QWidget*>() + about.findChildren<QWidget*>() +
                              box.findChildren<QWidget*>() + QWidgetList{&form, &about, &box}) {
            QVERIFY2(!holdsDesktopColour(w->palette()) && w->font().family() != u"DejaVu Serif",
                     w->metaObject()->className());
            const QString text = w->property("text").toString();
            if (text.isEmpty() || w->isWindow() || w->window() == &box)
                continue;
            // The ink as a top-aligned label lays it; the centred texts have more room.
            const QFontMetrics fm = w->fontMetrics();
            const QRect room = w->contentsRect();
            QVERIFY2(room.contains(
                         fm.tightBoundingRect(text).translated(room.x(), room.y() + fm.ascent())),
                     qPrintable(text));
            ++fixedTexts;
        }
        QCOMPARE(fixedTexts, 14);
    }

    // The links open fixed targets on reserved hosts, not the texts they show.
    void clicksOpenTheFixedTargets() {
        frmabout& about = shownAbout();
        testing::RecordingShell shell;
        QTest::mouseClick(about.lblwebsite, Qt::LeftButton);
        QTest::mouseClick(about.lblemail, Qt::LeftButton);
        QCOMPARE(shell.calls.size(), 2u);
        const QUrl site(shell.calls[0].file), mail(shell.calls[1].file);
        QVERIFY(site.scheme() == u"http" && site.host().endsWith(QStringLiteral(".example")));
        QVERIFY(site.host() != QUrl(about.lblwebsite->text()).host());
        QVERIFY(mail.scheme() == u"mailto" && mail.path().endsWith(QStringLiteral(".example")));
        QVERIFY(mail.path() != about.lblemail->text());
        QVERIFY(about.Label3->text().contains(" freewares & sharewares")); // one "&" shown
    }

    // Whatever runs inside a click may close the window; the window outlives the click.
    void closingInsideAClickIsSafe() {
        struct ClosingShell final : platform::ShellHost {
            void execute(QWidget* owner, const QString&, const QString&, const QString&,
                         int) override {
                owner->close();
            }
        } closing;
        const platform::StandIn<platform::ShellHost> standIn(closing);
        QPointer<frmabout> about = &shownAbout();
        QTest::mouseClick(about->lblwebsite, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(about.isNull() && !frmabout::loaded());
    }

    void oneWindowAtATime() {
        frmzintra form;
        form.show();
        form.mnuabout_Click();
        QPointer<frmabout> first = frmabout::loaded();
        const QAccessibleInterface* announced = QAccessible::queryAccessibleInterface(first);
        QCOMPARE(announced->role(), QAccessible::Dialog);
        QCOMPARE(announced->text(QAccessible::Name), QStringLiteral("About Norvane's ZINTRA"));
        QTest::mouseMove(first, first->lblwebsite->geometry().center());
        QCOMPARE(linkColours(*first), QPair(blue, black)); // the link under the pointer
        form.mnuabout_Click();
        QCOMPARE(frmabout::loaded(), first.data());
        first->close();
        form.mnuabout_Click(); // a fresh window, links black again
        QVERIFY(frmabout::loaded() != first && frmabout::loaded()->isVisible());
        QCOMPARE(linkColours(*frmabout::loaded()), QPair(black, black));
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

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
