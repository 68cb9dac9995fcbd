#include "app/frmzintra.h"
#include "app/widgets.h"
#include "copy/progress.h"
#include "support/scripted.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>

using namespace copyplan;

namespace {
// The widths at which a widget was painted.
class PaintRecorder final : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    QList<int> widths;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            widths << static_cast<QWidget*>(watched)->width();
        return false;
    }
};
} // namespace

class ProgressTest : public QObject {
    Q_OBJECT
private slots:
    void largeLengthsShowTheShareCopied_data();
    void largeLengthsShowTheShareCopied();
    void barIsPaintedInOrderAndFullBeforeTheBox_data();
    void barIsPaintedInOrderAndFullBeforeTheBox();
};

void ProgressTest::largeLengthsShowTheShareCopied_data() {
    QTest::addColumn<qint64>("length");
    QTest::addColumn<qint64>("copied");
    QTest::addColumn<int>("position");
    const qint64 g2 = qint64(1) << 31;
    QTest::newRow("2^31 - 1 still steps") << g2 - 1 << qint64(BlockSize) << 10;
    QTest::newRow("2^31 first block") << g2 << qint64(BlockSize) << 9;
    QTest::newRow("2^31 half") << g2 << g2 / 2 << 2500;
    QTest::newRow("2^31 + 1 whole") << g2 + 1 << g2 + 1 << 5000;
    QTest::newRow("16 GiB first block") << (qint64(16) << 30) << qint64(BlockSize) << 1;
}

void ProgressTest::largeLengthsShowTheShareCopied() {
    QFETCH(qint64, length);
    QFETCH(qint64, copied);
    QFETCH(int, position);
    BarProgress bar(length);
    QCOMPARE(bar.afterBlock(copied), position);
}

// The bar reaches the screen at display rate: whatever is skipped, no paint goes back, and the
// full bar is painted before the outcome box, however few blocks the copy had.
void ProgressTest::barIsPaintedInOrderAndFullBeforeTheBox_data() {
    QTest::addColumn<qint64>("length");
    QTest::newRow("one byte: no step") << qint64(1);
    QTest::newRow("two blocks") << qint64(6291456);
    QTest::newRow("16 blocks") << qint64(64) * 1024 * 1024;
}

void ProgressTest::barIsPaintedInOrderAndFullBeforeTheBox() {
    QFETCH(qint64, length);
    const testing::OpenTempDir tmp;
    testing::writePatternFile(tmp.file("a.bin"), length);
    QVERIFY(QDir(tmp.path()).mkdir("out"));
    frmzintra form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const PaintRecorder painted(form.shpin);
    testing::ScriptedMessageBoxes boxes;
    QList<int> beforeTheBox;
    boxes.whileShown = [&] { beforeTheBox = painted.widths; };
    form.txtinput->setText(tmp.file("a.bin"));
    form.txtoutput->setText(tmp.file("out/"));
    form.cmdcopy_Click();

    QCOMPARE(boxes.prompts(), QStringList{"File Successfully Copied"});
    QVERIFY(!beforeTheBox.isEmpty());
    QCOMPARE(beforeTheBox.last(), FullScale / 15);
    QVERIFY2(std::is_sorted(beforeTheBox.begin(), beforeTheBox.end()),
             qPrintable(QString::number(beforeTheBox.size()) + " paints out of order"));
}

QTEST_MAIN(ProgressTest)
#include "tst_progress.moc"
