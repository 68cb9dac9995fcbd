#include "copy/progress.h"

#include <QTest>

// Past 2^31 bytes the bar shows the share copied, computed without overflow; below it, steps.
class ProgressTest : public QObject {
    Q_OBJECT
private slots:
    void largeLengthsShowTheShareCopied_data() {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("copied");
        QTest::addColumn<int>("position");
        const qint64 g2 = qint64(1) << 31, block = copyplan::BlockSize;
        QTest::newRow("2^31 - 1 still steps") << g2 - 1 << block << 10;
        QTest::newRow("2^31 first block") << g2 << block << 9;
        QTest::newRow("2^31 + 1 whole") << g2 + 1 << g2 + 1 << 5000;
        QTest::newRow("16 GiB first block") << (qint64(16) << 30) << block << 1;
    }
    void largeLengthsShowTheShareCopied() {
        QFETCH(qint64, length);
        QFETCH(qint64, copied);
        QTEST(copyplan::BarProgress(length).afterBlock(copied), "position");
    }
};

QTEST_MAIN(ProgressTest)
#include "tst_progress.moc"
