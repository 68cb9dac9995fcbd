#include "platform/registry/regfile.h"

#include <QTest>

using namespace platform;

namespace {
QString valueAt(const reg::Key& machine, const QStringList& path, const QString& name = {}) {
    const reg::Key* key = reg::findKey(machine, path);
    const reg::Value* value = key ? key->value(name) : nullptr;
    return value ? value->data : QStringLiteral("<missing>");
}
} // namespace

class TestRegFile : public QObject {
    Q_OBJECT
private slots:
    void readsHandWrittenFile() {
        const QByteArray text =
            "\xEF\xBB\xBFREGEDIT4\r\n"
            "\r\n"
            "; made by hand\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\Zintra]\r\n"
            "@=\"Copy with Zintra\"\r\n"
            "\r\n"
            "[hkey_local_machine\\SOFTWARE\\classes\\*\\shell\\Zintra\\command]\r\n"
            "@ = \"/usr/bin/zintra %1\"   \r\n"
            "\"Name \\\"quoted\\\"\"=\"C:\\\\Tools\\\\\"\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\Zintra]\r\n"
            "\"Lines\"=\"one\r\ntwo\"\r\n"
            "[HKEY_LOCAL_MACHINE]\n"
            "\"AtRoot\"=\"\xC3\xA9t\xC3\xA9\"";
        const auto machine = reg::parse(text);
        QVERIFY(machine);
        const QStringList verb{"Software", "CLASSES", "*", "shell", "Zintra"};
        QCOMPARE(valueAt(*machine, verb), QStringLiteral("Copy with Zintra"));
        QCOMPARE(valueAt(*machine, verb, "lines"), QStringLiteral("one\r\ntwo"));
        QCOMPARE(valueAt(*machine, verb + QStringList{"COMMAND"}), "/usr/bin/zintra %1");
        QCOMPARE(valueAt(*machine, verb + QStringList{"command"}, "name \"QUOTED\""),
                 QStringLiteral("C:\\Tools\\"));
        QCOMPARE(valueAt(*machine, {}, "AtRoot"), QStringLiteral("été"));
        // Sections naming one key in another case are one key, with its first spelling.
        QCOMPARE(machine->subkeys.size(), 1u);
        QCOMPARE(machine->subkeys[0].name, QStringLiteral("Software"));
    }

    void refusesDamagedText_data() {
        QTest::addColumn<QByteArray>("text");
        const QByteArray head = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Zintra]\n";
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("other header") << QByteArray("Windows Registry Editor Version 5.00\n");
        QTest::newRow("value before a key") << QByteArray("REGEDIT4\n@=\"x\"\n");
        QTest::newRow("other root") << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\Software]\n");
        QTest::newRow("deleting section") << QByteArray("REGEDIT4\n[-HKEY_LOCAL_MACHINE\\A]\n");
        QTest::newRow("empty key name") << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n");
        QTest::newRow("unclosed section") << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n");
        QTest::newRow("dword value") << head + "\"n\"=dword:00000001\n";
        QTest::newRow("hex value") << head + "@=hex:41,00\n";
        QTest::newRow("cut off in a value") << head + "@=\"Copy w";
        QTest::newRow("unknown escape") << head + "@=\"a\\tb\"\n";
        QTest::newRow("text after a value") << head + "@=\"a\" \"b\"\n";
        QTest::newRow("no equals sign") << head + "@\"a\"\n";
        QTest::newRow("stray line") << head + "Zintra\n";
        QTest::newRow("not UTF-8") << head + "@=\"\xFF\"\n";
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

    void writesWhatItReadsBack() {
        reg::Key machine = reg::emptyMachine();
        reg::Key& command =
            reg::createKey(machine, {"Software", "CLASSES", "*", "shell", "Zintra", "command"});
        command.setValue({}, "/opt/my \"apps\"/zintra %1");
        reg::createKey(machine, {"Software", "CLASSES", "*", "shell", "Zintra"})
            .setValue({}, "Copy with Zintra");
        reg::Key& other = reg::createKey(machine, {"Software", "Odd [names]"});
        other.setValue("back\\slash", "C:\\dir\\ 100% \"é\" 日本\nsecond line");
        other.setValue("empty", "");

        const QByteArray text = reg::format(machine);
        QVERIFY(text.startsWith("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n"));
        QVERIFY(text.contains("[HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\Zintra]\n"
                              "@=\"Copy with Zintra\"\n"));
        QVERIFY(text.contains("@=\"/opt/my \\\"apps\\\"/zintra %1\"\n"));
        QVERIFY(text.contains("\"back\\\\slash\"=\"C:\\\\dir\\\\ 100% \\\"\xC3\xA9\\\""));

        const auto again = reg::parse(text);
        QVERIFY(again);
        QCOMPARE(reg::format(*again), text);
        QCOMPARE(valueAt(*again, {"software", "odd [NAMES]"}, "BACK\\SLASH"),
                 QStringLiteral("C:\\dir\\ 100% \"é\" 日本\nsecond line"));
        QCOMPARE(valueAt(*again, {"Software", "Odd [names]"}, "empty"), QString(""));

        reg::Key deep = reg::emptyMachine(); // destroyed without recursion
        reg::createKey(deep, QStringList(1000000, QStringLiteral("k")));
    }
};

QTEST_APPLESS_MAIN(TestRegFile)
#include "tst_regfile.moc"
