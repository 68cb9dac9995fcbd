#include "update/update.h"

#include <QTest>

class VersionTest : public QObject {
    Q_OBJECT
private slots:
    void isNewer_data();
    void isNewer();
    void versionText();
};

void VersionTest::isNewer_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("local");
    QTest::addColumn<bool>("newer");

    QTest::newRow("same") << "1.0.0"
                          << "1.0.0" << false;
    QTest::newRow("next revision") << "1.0.1"
                                   << "1.0.0" << true;
    QTest::newRow("older") << "0.9.9"
                           << "1.0.0" << false;
    // Text order, not numeric order: the published files rely on it.
    QTest::newRow("1.0.10 before 1.0.9") << "1.0.10"
                                         << "1.0.9" << false;
    QTest::newRow("1.0.9 after 1.0.10") << "1.0.9"
                                        << "1.0.10" << true;
    QTest::newRow("10.0.0 before 9.0.0") << "10.0.0"
                                         << "9.0.0" << false;
    QTest::newRow("2 after 1.9.9") << "2"
                                   << "1.9.9" << true;
    QTest::newRow("prefix is older") << "1.0"
                                     << "1.0.0" << false;
    QTest::newRow("line break makes it newer") << "1.0.0\r\n"
                                               << "1.0.0" << true;
    QTest::newRow("upper case before lower") << "1.0.A"
                                             << "1.0.a" << false;
    QTest::newRow("lower case after upper") << "1.0.a"
                                            << "1.0.A" << true;
    QTest::newRow("markup sorts above digits") << "<html>"
                                               << "1.0.0" << true;
    QTest::newRow("empty") << ""
                           << "1.0.0" << false;
}

void VersionTest::isNewer() {
    QFETCH(QString, server);
    QFETCH(QString, local);
    QFETCH(bool, newer);
    QCOMPARE(update::isNewer(server, local), newer);
}

void VersionTest::versionText() {
    QCOMPARE(update::versionText(1, 0, 0), QStringLiteral("1.0.0"));
    QCOMPARE(update::versionText(12, 0, 305), QStringLiteral("12.0.305"));
    QCOMPARE(update::localVersion(), QStringLiteral("1.0.0"));
}

QTEST_GUILESS_MAIN(VersionTest)
#include "tst_version.moc"
