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
frmabout& shownAbout() {
    frmabout& about = frmabout::Load();
    about.show();
    if (!QTest::qWaitForWindowActive(&about))
        qFatal("the About window does not appear");
    return about;
}

// Which links are blue: "w" the website, "e" the e-mail, "." one in black.
QString lit(const frmabout& about) {
    const auto blue = [](const QLabel* l) { return l->palette().windowText() == Qt::blue; };
    return QString(blue(about.lblwebsite) ? "w" : ".") + (blue(about.lblemail) ? "e" : ".");
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

    // The links open fixed targets on reserved hosts, not the texts they show. From the keyboard:
    // the window opens on no link; Tab goes from link to link, each highlighted while it has the
    // focus; Enter and Space follow it. Assistive technology sees links it may press.
    void clicksOpenTheFixedTargets() {
        frmabout& about = shownAbout();
        testing::RecordingShell shell;
        QStringList colours{lit(about)};
        // Last, the pointer over the background: the focused link stays blue.
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Tab,
                                  Qt::Key_Space, Qt::Key_unknown}) {
            key != Qt::Key_unknown ? QTest::keyClick(QApplication::focusWidget(), key)
                                   : QTest::mouseMove(&about, {2, 2});
            colours << lit(about);
        }
        QAccessibleInterface* link = QAccessible::queryAccessibleInterface(about.lblemail);
        QCOMPARE(link->role(), QAccessible::Link);
        link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCoreApplication::sendPostedEvents();
        QStringList opened;
        for (const auto& call : shell.calls)
            opened << call.file;
        const QString s = frmabout::websiteTarget, m = frmabout::emailTarget;
        QCOMPARE(opened, (QStringList{s, m, m})); // a click: closingInsideAClickIsSafe
        const QUrl site(s), mail(m);
        QCOMPARE(colours.join(' '), ".. .. w. w. .e .e .e");
        QVERIFY(site.scheme() == u"http" && site.host().endsWith(QStringLiteral(".example")) &&
                site.host() != QUrl(about.lblwebsite->text()).host());
        QVERIFY(mail.scheme() == u"mailto" && mail.path().endsWith(QStringLiteral(".example")) &&
                mail.path() != about.lblemail->text());
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
        QCOMPARE(lit(*first), "w."); // the link under the pointer
        form.mnuabout_Click();
        QCOMPARE(frmabout::loaded(), first.data());
        first->close();
        form.mnuabout_Click(); // a fresh window, links black again
        QVERIFY(frmabout::loaded() != first && frmabout::loaded()->isVisible());
        QCOMPARE(lit(*frmabout::loaded()), "..");
    }
};

QTEST_MAIN(AboutWindowTest)
#include "tst_frmabout.moc"
