#include "platform/files/longpath.h"

#include <QTest>

// A 7-byte buffer filled with 'x': the result, and what the buffer holds afterwards.
class LongPathTest : public QObject {
    Q_OBJECT
private slots:
    void getLongPathName_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<uint>("result");
        QTest::addColumn<QByteArray>("buffer");
        const QByteArray untouched(7, 'x');
        QTest::newRow("exists: unchanged, not made canonical, just fits")
            << QByteArray("/tmp/.") << 6u << QByteArray("/tmp/.\0", 7);
        QTest::newRow("too long: the size it needs") << QByteArray("/tmp/..") << 8u << untouched;
        QTest::newRow("nothing there") << QByteArray("/no/such") << 0u << untouched;
        QTest::newRow("NUL inside") << QByteArray("/tmp\0/x", 7) << 0u << untouched;
    }
    void getLongPathName() {
        QFETCH(QByteArray, path);
        std::string buffer(7, 'x');
        QTEST(platform::GetLongPathNameA(path.toStdString(), buffer, 7), "result");
        QTEST(QByteArray::fromStdString(buffer), "buffer");
    }
};

QTEST_APPLESS_MAIN(LongPathTest)
#include "tst_longpath.moc"
