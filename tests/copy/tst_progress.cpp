#include "copy/progress.h"

#include <QTest>

using namespace copyplan;

class ProgressTest : public QObject {
    Q_OBJECT
private slots:
    void largeLengthsShowTheShareCopied_data();
    void largeLengthsShowTheShareCopied();
    void sourceEndingInSlashAddsNoName();
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

// The other rules for the name are checked on real copies; a source naming a folder is not.
void ProgressTest::sourceEndingInSlashAddsNoName() {
    QCOMPARE(destinationPath("/b/", "/d/"), QStringLiteral("/b/"));
}

QTEST_APPLESS_MAIN(ProgressTest)
#include "tst_progress.moc"
