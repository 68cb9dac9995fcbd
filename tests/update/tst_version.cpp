#include "update/update.h"

#include <QTest>

// The published version files rely on plain, case-sensitive text order.
class VersionTest : public QObject {
    Q_OBJECT
private slots:
    void isNewer_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("local");
        QTest::addColumn<bool>("newer");
        const auto row = [](const char* name, const char* server, const char* local, bool newer) {
            QTest::newRow(name) << QString(server) << QString(local) << newer;
        };
        row("same", "1.0.0", "1.0.0", false);
        row("next revision", "1.0.1", "1.0.0", true);
        row("older", "0.9.9", "1.0.0", false);
        row("text order: 1.0.10 before 1.0.9", "1.0.10", "1.0.9", false);
        row("prefix is older", "1.0", "1.0.0", false);
        row("line break makes it newer", "1.0.0\r\n", "1.0.0", true);
        row("lower case after upper", "1.0.a", "1.0.A", true);
        row("empty", "", "1.0.0", false);
    }
    void isNewer() {
        QFETCH(QString, server);
        QFETCH(QString, local);
        QTEST(update::isNewer(server, local), "newer");
    }
};

QTEST_GUILESS_MAIN(VersionTest)
#include "tst_version.moc"
