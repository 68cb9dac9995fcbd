#include "about/controls.h"
#include "about/frmabout.h"
#include "app/frmzintra.h"
#include "platform/runtime/seam.h"
#include "platform/ui/window.h"
#include "support/shell.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {
const QColor black(0, 0, 0);
const QColor blue(0, 0, 255);

QColor textColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

frmabout& shownAbout() {
    frmabout& about = frmabout::Load();
    about.show();
    if (!QTest::qWaitForWindowExposed(&about))
        qFatal("the About window does not appear");
    return about;
}

int aboutWindows() {
    const auto windows = QApplication::topLevelWidgets();
    return int(std::count_if(windows.begin(), windows.end(),
                             [](QWidget* w) { return qobject_cast<frmabout*>(w) != nullptr; }));
}

void unload() {
    if (frmabout* about = frmabout::loaded())
        about->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { platform::applyFixedLook(*qApp); }
    void cleanup() { unload(); }
    void textsFitTheirLabels();
    void hover();
    void clicksOpenTheFixedTargets();
    void closingInsideAClickIsSafe();
    void oneWindowAtATime();
    void keepsTheApplicationRunning();
};

// Every text is drawn whole: no glyph reaches past its label, in the font it resolves to.
void AboutWindowTest::textsFitTheirLabels() {
    frmabout& about = shownAbout();
    const auto labels = about.findChildren<QLabel*>();
    int texts = 0;
    for (const QLabel* label : labels) {
        if (label->text().isEmpty())
            continue;
        ++texts;
        const QString family = QFontInfo(label->font()).family();
        QVERIFY2(family == QStringLiteral("Liberation Sans") ||
                     family == QStringLiteral("Liberation Serif"),
                 qPrintable(label->text() + " in " + family));
        const QFontMetrics metrics(label->font());
        const QRect box = label->contentsRect();
        // Top-aligned text has its baseline one ascent below the top.
        const QRect ink = metrics.tightBoundingRect(label->text())
                              .translated(box.left(), box.top() + metrics.ascent());
        QVERIFY2(box.contains(ink), qPrintable(label->text()));
    }
    QCOMPARE(texts, 11);
    QVERIFY(about.Label3->text().contains(QStringLiteral(" freewares & sharewares")));
}

void AboutWindowTest::hover() {
    frmabout& about = shownAbout();
    const QPoint web = about.lblwebsite->geometry().center();
    const QPoint email = about.lblemail->geometry().center();
    const QPoint background(300, 100);
    const QPoint rightSideOfTheBox(344, 150);
    const QPoint divider(300, 176);
    auto colours = [&] { return QPair(textColour(about.lblwebsite), textColour(about.lblemail)); };

    QCOMPARE(colours(), QPair(black, black));
    QTest::mouseMove(&about, web);
    QCOMPARE(colours(), QPair(blue, black));
    // Other labels and the pictures keep the pointer to themselves.
    for (const QLabel* other : {about.Label2, about.lbltitle[8], about.imgauto[0], about.Image1}) {
        QTest::mouseMove(&about, other->geometry().center());
        QCOMPARE(colours(), QPair(blue, black));
    }
    QTest::mouseMove(&about, background);
    QCOMPARE(colours(), QPair(black, black));

    // A line is background to the pointer.
    QTest::mouseMove(&about, email);
    QCOMPARE(colours(), QPair(black, blue));
    QTest::mouseMove(&about, rightSideOfTheBox);
    QCOMPARE(colours(), QPair(black, black));

    // Straight from one link to the other, with no background between: both blue.
    QTest::mouseMove(&about, web);
    QTest::mouseMove(&about, email);
    QCOMPARE(colours(), QPair(blue, blue));
    QTest::mouseMove(&about, divider);
    QCOMPARE(colours(), QPair(black, black));
}

void AboutWindowTest::clicksOpenTheFixedTargets() {
    frmabout& about = shownAbout();
    testing::RecordingShell shell;

    QTest::mouseClick(about.Label3, Qt::LeftButton);
    QTest::mouseClick(about.lblwebsite, Qt::LeftButton);
    QTest::mouseClick(about.lblemail, Qt::LeftButton);

    QCOMPARE(shell.calls.size(), 2u);
    for (const auto& call : shell.calls) {
        QCOMPARE(call.owner, &about);
        QCOMPARE(call.operation, QStringLiteral("open"));
    }
    const QUrl site(shell.calls[0].file);
    QCOMPARE(site.scheme(), QStringLiteral("http"));
    QVERIFY(site.host().endsWith(QStringLiteral(".example")));
    QVERIFY(site.host() != QUrl(about.lblwebsite->text()).host());
    const QUrl mail(shell.calls[1].file);
    QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
    QVERIFY(mail.path().endsWith(QStringLiteral(".example")));
    QVERIFY(mail.path() != about.lblemail->text());
}

// Whatever runs inside a click may close the window; the window outlives the click.
void AboutWindowTest::closingInsideAClickIsSafe() {
    class ClosingShell final : public platform::ShellHost {
    public:
        void execute(QWidget* owner, const QString&, const QString&, const QString&, int) override {
            owner->close();
        }
    } closing;
    const platform::StandIn<platform::ShellHost> standIn(closing);
    QPointer<frmabout> about = &shownAbout();

    QTest::mouseClick(about->lblwebsite, Qt::LeftButton);

    QVERIFY(frmabout::loaded() == nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(about.isNull());
}

void AboutWindowTest::oneWindowAtATime() {
    frmzintra form;
    form.show();
    form.mnuabout_Click();
    QPointer<frmabout> first = frmabout::loaded();
    QVERIFY(first && first->isVisible());
    const QAccessibleInterface* announced = QAccessible::queryAccessibleInterface(first);
    QCOMPARE(announced->role(), QAccessible::Dialog);
    QCOMPARE(announced->text(QAccessible::Name), QStringLiteral("About Norvane's ZINTRA"));
    QTest::mouseMove(first, first->lblwebsite->geometry().center());

    form.mnuabout_Click();
    QCOMPARE(frmabout::loaded(), first.data());
    QCOMPARE(aboutWindows(), 1);
    QVERIFY(form.isVisible());

    // Closed and chosen again before the old window is gone: a fresh one, links black.
    first->close();
    form.mnuabout_Click();
    frmabout* second = frmabout::loaded();
    QVERIFY(second && second != first && second->isVisible());
    QCOMPARE(textColour(second->lblwebsite), black);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    QCOMPARE(aboutWindows(), 1);
}

// Last: once the application has ended, no further test can run in it.
void AboutWindowTest::keepsTheApplicationRunning() {
    frmzintra form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    platform::watchApplicationEnd(*qApp);
    form.mnuabout_Click();

    bool aboutOpenAtTheEnd = true;
    bool timedOut = false;
    connect(qApp, &QCoreApplication::aboutToQuit, this,
            [&] { aboutOpenAtTheEnd = frmabout::loaded() != nullptr; });
    QTimer::singleShot(0, this, [&] {
        form.close();
        // The application's end is looked at once the close is through; the About window
        // closes only after that.
        QTimer::singleShot(0, this, [&] {
            QTimer::singleShot(0, this, [&] {
                if (frmabout* about = frmabout::loaded())
                    about->close();
            });
        });
    });
    QTimer::singleShot(10000, this, [&] {
        timedOut = true;
        QCoreApplication::quit();
    });

    QApplication::exec();

    QVERIFY(!timedOut);
    QVERIFY(!aboutOpenAtTheEnd);
}

QTEST_MAIN(AboutWindowTest)
#include "tst_frmabout.moc"
