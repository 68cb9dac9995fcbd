#include "update/update.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The published version files rely on plain, case-sensitive text order.
class VersionTest : public QObject {
    Q_OBJECT
private slots:
    void isNewer_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("local");
        QTest::addColumn<bool>("newer");
        // Equal, newer and a trailing line break are rows of the update check's table.
        QTest::newRow("older") << u"0.9.9"_s << u"1.0.0"_s << false;
        QTest::newRow("text order: 1.0.10 before 1.0.9") << u"1.0.10"_s << u"1.0.9"_s << false;
        QTest::newRow("prefix is older") << u"1.0"_s << u"1.0.0"_s << false;
        QTest::newRow("lower case after upper") << u"1.0.a"_s << u"1.0.A"_s << true;
    }
    void isNewer() {
        QFETCH(QString, server);
        QFETCH(QString, local);
        QTEST(update::isNewer(server, local), "newer");
    }
};

QTEST_GUILESS_MAIN(VersionTest)
#include "tst_version.moc"
