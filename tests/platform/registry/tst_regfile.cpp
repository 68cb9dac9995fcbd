#include "platform/registry/regfile.h"
#include "support/scripted.h"

#include <QDir>
#include <QTest>

using namespace platform;

class TestRegFile : public QObject {
    Q_OBJECT
private slots:
    // A file written by hand (BOM, CRLF, comments, one key or value in two spellings, escapes,
    // a value over two lines) is written back in one form, which reads back as the same tree.
    void readsAndWritesBack() {
        const auto hive = reg::parse(testing::readAll(QFINDTESTDATA("registry/handwritten.reg")));
        QVERIFY(hive);
        const QByteArray written = reg::format(*hive);
        QCOMPARE(written, testing::readAll(QFINDTESTDATA("registry/handwritten-written.reg")));
        QCOMPARE(reg::format(reg::parse(written).value_or(reg::emptyMachine())), written);

        reg::Key deep = reg::emptyMachine(); // destroyed without recursion
        reg::createKey(deep, QStringList(1000000, QStringLiteral("k")));
    }

    // Samples in damaged/, and two past the limits.
    void refusesDamagedText_data() {
        QTest::addColumn<QByteArray>("text");
        const QDir samples(QFINDTESTDATA("registry/damaged"));
        QVERIFY(samples.count() > 10);
        for (const QString& name : samples.entryList(QDir::Files))
            QTest::newRow(qPrintable(name)) << testing::readAll(samples.filePath(name));
        const QByteArray levels = QByteArray("\\k").repeated(reg::maxDepth - 1);
        QTest::newRow("deeper than the limit")
            << "REGEDIT4\n[HKEY_LOCAL_MACHINE" + levels + "\\k\\k]\n";
        QByteArray wide = "REGEDIT4\n";
        for (int i = 0; i < 64; ++i) // a line per 512 new keys, each written on a line of its own
            wide += "[HKEY_LOCAL_MACHINE\\" + QByteArray::number(i) + levels + "]\n";
        QTest::newRow("written back past the size limit") << wide;
    }
    void refusesDamagedText() {
        QFETCH(QByteArray, text);
        QVERIFY(!reg::parse(text));
    }
};

QTEST_APPLESS_MAIN(TestRegFile)
#include "tst_regfile.moc"
