#include "about/controls.h"
#include "about/frmabout.h"
#include "app/frmzintra.h"
#include "platform/runtime/seam.h"
#include "platform/ui/window.h"
#include "support/shell.h"

#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QTest>
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
} // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { platform::applyFixedLook(*qApp); }
    void cleanup() {
        if (frmabout* about = frmabout::loaded())
            about->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
};

QTEST_MAIN(AboutWindowTest)
#include "tst_frmabout.moc"
