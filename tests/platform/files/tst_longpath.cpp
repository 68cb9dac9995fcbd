#include "platform/files/longpath.h"
#include "platform/runtime/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::GetLongPathNameA;

class LongPathTest : public QObject {
    Q_OBJECT
private slots:
    void existingPathsComeBackUnchanged();
    void nothingThereGivesZero();
    void resultThatDoesNotFitLeavesTheBuffer();
    void bufferShorterThanItsLengthIsAnError();
};

void LongPathTest::existingPathsComeBackUnchanged() {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    QVERIFY(QFile(dir.filePath(QStringLiteral("a file"))).open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")),
                        dir.filePath(QStringLiteral("dangling"))));

    // Not made absolute or canonical: the text that names something is the answer.
    for (const std::string& path : {folder + "/a file", folder + "/./a file", folder,
                                    folder + "/dangling", std::string("/")}) {
        std::string buffer(platform::MAX_PATH, 'x');
        QCOMPARE(GetLongPathNameA(path, buffer, platform::MAX_PATH), path.size());
        QCOMPARE(buffer.substr(0, path.size() + 1), path + '\0');
    }
}

void LongPathTest::nothingThereGivesZero() {
    for (const std::string& path :
         {std::string("/no/such/file"), std::string("\"/tmp\""), std::string(),
          std::string("/tmp\0/x", 7), "/" + std::string(5000, 'a')}) {
        std::string buffer(platform::MAX_PATH, '\0');
        QCOMPARE(GetLongPathNameA(path, buffer, platform::MAX_PATH), 0u);
        QCOMPARE(buffer, std::string(platform::MAX_PATH, '\0'));
    }
}

void LongPathTest::resultThatDoesNotFitLeavesTheBuffer() {
    std::string buffer(8, '\0');
    QCOMPARE(GetLongPathNameA("/tmp", buffer, 4), 5u); // the size needed, terminator included
    QCOMPARE(buffer, std::string(8, '\0'));
    QCOMPARE(GetLongPathNameA("/tmp", buffer, 5), 4u);
    QCOMPARE(buffer.substr(0, 5), std::string("/tmp\0", 5));
}

void LongPathTest::bufferShorterThanItsLengthIsAnError() {
    std::string buffer(4, '\0');
    QVERIFY_THROWS_EXCEPTION(platform::RuntimeError, GetLongPathNameA("/tmp", buffer, 4096));
}

QTEST_MAIN(LongPathTest)
#include "tst_longpath.moc"
