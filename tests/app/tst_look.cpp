#include "about/frmabout.h"
#include "app/frmzintra.h"
#include "platform/ui/window.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QToolTip>

namespace {
const QColor desktopColour(0x12, 0x34, 0x56);

// Where a label or button draws its text, as the ink it covers, and the room it has.
QPair<QRect, QRect> inkAndRoom(QWidget* w, const QString& text, QRect room, int alignment) {
    const QFontMetrics fm = w->fontMetrics(); // at the dpi the widget draws with
    const QRect line = w->style()->itemTextRect(fm, room, alignment, true, text);
    return {fm.tightBoundingRect(text).translated(line.left(), line.top() + fm.ascent()), room};
}
} // namespace

// The desktop's theme (qt6ct.conf.in) paints every colour #123456 and sets a 14 pt serif font.
class LookTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(QApplication::palette().color(QPalette::Window) == desktopColour,
                 "the desktop's theme (qt6ct) is not in use");
        platform::applyFixedLook(*qApp);
    }
    void cleanup() { frmabout::loaded() && frmabout::loaded()->close(); }

    void themeLeaksNothingAndTextsFit_data() {
        QTest::addColumn<bool>("settled");
        QTest::newRow("at start") << false;
        QTest::newRow("once the theme has applied its settings") << true;
    }

    // Nothing of the theme reaches what the program draws, and every fixed text fits its
    // control with the font it is drawn in.
    void themeLeaksNothingAndTextsFit() {
        QFETCH(bool, settled);
        frmzintra form;
        frmabout& about = frmabout::Load();
        // The theme's settings, then the look put back after them, each wait for the event loop.
        for (int turn = 0; settled && turn < 2; ++turn)
            QCoreApplication::sendPostedEvents();
        QMessageBox box(QMessageBox::NoIcon, "ZINTRA", "File Successfully Copied", QMessageBox::Ok);
        QWidgetList drawn = form.findChildren<QWidget*>() + about.findChildren<QWidget*>() +
                            box.findChildren<QWidget*>() + QWidgetList{&form, &about, &box};
        int fixedTexts = 0;
        for (QWidget* w : drawn) {
            const QByteArray name = w->metaObject()->className() + (' ' + w->objectName().toUtf8());
            for (const QPalette& p : {w->palette(), QToolTip::palette()})
                for (int group = 0; group < QPalette::NColorGroups; ++group)
                    for (int role = 0; role < QPalette::NColorRoles; ++role)
                        QVERIFY2(role == QPalette::NoRole ||
                                     p.color(QPalette::ColorGroup(group),
                                             QPalette::ColorRole(role)) != desktopColour,
                                 name + " role " + QByteArray::number(role));
            for (const QFont& f : {w->font(), QToolTip::font()})
                QVERIFY2(f.family() != QStringLiteral("DejaVu Serif"), name);
            QPair<QRect, QRect> placed;
            if (w->window() == &box || w->isWindow())
                continue;
            if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
                placed = inkAndRoom(w, label->text(), label->contentsRect(), label->alignment());
            } else if (auto* button = qobject_cast<QPushButton*>(w)) {
                QStyleOptionButton option;
                option.initFrom(button);
                placed = inkAndRoom(
                    w, button->text(),
                    w->style()->subElementRect(QStyle::SE_PushButtonContents, &option, w),
                    Qt::AlignCenter);
            } else {
                continue;
            }
            ++fixedTexts;
            QVERIFY2(QFontInfo(w->font()).family().startsWith(QStringLiteral("Liberation")), name);
            QVERIFY2(placed.second.contains(placed.first), name);
        }
        QCOMPARE(fixedTexts, 14);
    }
};

QTEST_MAIN(LookTest)
#include "tst_look.moc"
