#include "frontend/qt/aboutcontrols.h"
#include "frontend/qt/aboutwindow.h"
#include "frontend/qt/mainwindow.h"
#include "frontend/qt/widgets.h"
#include "platform/ui/qtwindow.h"
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
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

namespace {
AboutWindow& shownAbout() {
    AboutWindow& about = AboutWindow::Load();
    about.show();
    if (!QTest::qWaitForWindowActive(&about))
        qFatal("the About window does not appear");
    return about;
}

// Which links are blue: "w" the website, "e" the e-mail, "." one in black.
QString lit(const AboutWindow& about) {
    const auto blue = [](const QLabel* l) { return l->palette().windowText() == Qt::blue; };
    return QString(blue(about.lblwebsite) ? "w" : ".") + (blue(about.lblemail) ? "e" : ".");
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
    static inline QList<float> valuesTold; // to assistive technology
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }

private slots:
    void initTestCase() {
        QVERIFY2(holdsDesktopColour(QApplication::palette()), "no desktop theme");
        platform::applyFixedLook(*qApp); // before the theme's own settings, which wait for events
        QVERIFY(!holdsDesktopColour(QApplication::palette()) &&
                !holdsDesktopColour(QToolTip::palette()));
    }
    void cleanup() {
        if (AboutWindow* about = AboutWindow::loaded())
            about->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Nothing of the theme reaches what the program draws, and the ink of every fixed text fits
    // its control in the font and at the dpi it is drawn with (the layout's 96 dpi pixels, so
    // this covers 96 dpi too). The main window is made before the theme applies its settings,
    // the About window while they are in place, and the look is put back after them.
    void themeLeaksNothingAndTextsFit() {
        MainWindow form;
        QCoreApplication::sendPostedEvents();
        AboutWindow& about = AboutWindow::Load();
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

    // The links open fixed targets on reserved hosts, not the texts they show. From the keyboard:
    // the window opens on no link; Tab goes from link to link, each highlighted while it has the
    // focus; Enter and Space follow it. Assistive technology sees links it may press.
    void clicksOpenTheFixedTargets() {
        AboutWindow& about = shownAbout();
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
        const QString s = QString::fromUtf8(frmabout::websiteTarget),
                      m = QString::fromUtf8(frmabout::emailTarget);
        QCOMPARE(opened, (QStringList{s, m, m})); // a click: closingInsideAClickIsSafe
        const QUrl site(s), mail(m);
        QCOMPARE(colours.join(' '), ".. .. w. w. .e .e .e");
        QVERIFY(site.scheme() == u"http" && site.host().endsWith(QStringLiteral(".example")) &&
                site.host() != QUrl(about.lblwebsite->text()).host());
        QVERIFY(mail.scheme() == u"mailto" && mail.path().endsWith(QStringLiteral(".example")) &&
                mail.path() != about.lblemail->text());
        QVERIFY(
            about.control("Label3")->text().contains(" freewares & sharewares")); // one "&" shown
    }

    // Whatever runs inside a click may close the window; the window outlives the click.
    void closingInsideAClickIsSafe() {
        struct ClosingShell final : platform::ShellHost {
            void execute(platform::HWND owner, const std::string&, const std::string&,
                         const std::string&, int) override {
                platform::widget(owner)->close();
            }
        } closing;
        const platform::StandIn<platform::ShellHost> standIn(closing);
        QPointer<AboutWindow> about = &shownAbout();
        QTest::mouseClick(about->lblwebsite, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(about.isNull() && !AboutWindow::loaded());
    }

    void oneWindowAtATime() {
        MainWindow form;
        form.show();
        form.handlers->mnuabout_Click();
        QPointer<AboutWindow> first = AboutWindow::loaded();
        const QAccessibleInterface* announced = QAccessible::queryAccessibleInterface(first);
        QCOMPARE(announced->role(), QAccessible::Dialog);
        QCOMPARE(announced->text(QAccessible::Name), QStringLiteral("About Norvane's ZINTRA"));
        QTest::mouseMove(first, first->lblwebsite->geometry().center());
        QCOMPARE(lit(*first), "w."); // the link under the pointer
        form.handlers->mnuabout_Click();
        QCOMPARE(AboutWindow::loaded(), first.data());
        first->close();
        form.handlers->mnuabout_Click(); // a fresh window, links black again
        QVERIFY(AboutWindow::loaded() != first && AboutWindow::loaded()->isVisible());
        QCOMPARE(lit(*AboutWindow::loaded()), "..");
    }

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
        MainWindow form;
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
            qtfront::ShapeControl bar(*form.shpin);
            const ui::Paced paced(bar);
            for (int twips = 10; twips <= 10000; twips += 10)
                form.shpin->setWidth(float(twips));
        }
        QVERIFY(!valuesTold.isEmpty() && valuesTold.size() <= paints + 1);
        QCOMPARE(valuesTold.last(), 5000);
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
