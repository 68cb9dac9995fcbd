#include "app/frmzintra.h"
#include "platform/registry/registry.h"
#include "platform/registry/shellobject.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/process.h"
#include "platform/runtime/seam.h"
#include "shellverb/verb.h"
#include "support/scripted.h"

#include <QAction>
#include <QTest>

using namespace platform;

namespace {
// The real shell object, with every call recorded, failed ones included.
class RecordingShell final : public ShellObject {
public:
    explicit RecordingShell(QStringList& calls) : calls_(calls) {}
    void RegWrite(const QString& name, const QString& text) override {
        calls_ << "RegWrite " + name + " = " + text;
        ShellObject::RegWrite(name, text);
    }
    QString RegRead(const QString& name) override {
        calls_ << "RegRead " + name;
        return ShellObject::RegRead(name);
    }
    void RegDelete(const QString& name) override {
        calls_ << "RegDelete " + name;
        ShellObject::RegDelete(name);
    }

private:
    QStringList& calls_;
};

class TestFactory final : public ObjectFactory {
public:
    std::unique_ptr<ShellObject> create(const QString& progId) override {
        if (failing)
            Raise(err::CannotCreateObject, "ActiveX component can't create object");
        ObjectFactory::create(progId); // the real check of the ProgID
        return std::make_unique<RecordingShell>(calls);
    }
    bool failing = false;
    QStringList calls;

private:
    platform::StandIn<ObjectFactory> standIn_{*this};
};

const QString verb = shellverb::verbKey();
const QString command = shellverb::commandKey();

QString readOrMissing(const QString& name) {
    try {
        return ShellObject().RegRead(name);
    } catch (const RuntimeError&) {
        return QStringLiteral("<missing>");
    }
}
} // namespace

class TestMnucont : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::OpenTempDir> root;
    std::unique_ptr<testing::ScriptedMessageBoxes> boxes;
    std::unique_ptr<TestFactory> factory;

    // A main window as it starts, with its probe, then placed at `apppath`.
    std::unique_ptr<frmzintra> start(const QString& apppath = QStringLiteral("/opt/zintra/")) {
        auto form = std::make_unique<frmzintra>();
        form->Form_Load();
        form->apppath = apppath;
        factory->calls.clear();
        return form;
    }
    static QString commandLineAt(const QString& apppath) {
        return shellverb::commandLine(apppath, exeName());
    }
    testing::Finished formAsNobody(const QStringList& clicks) {
        return testing::runAsNobody(ZINTRA_TESTHOST, QStringList{"form"} + clicks,
                                    {"ZINTRA_ROOT=" + root->path()});
    }

private slots:
    void init() {
        root = std::make_unique<testing::OpenTempDir>();
        qputenv("ZINTRA_ROOT", QFile::encodeName(root->path()));
        boxes = std::make_unique<testing::ScriptedMessageBoxes>();
        factory = std::make_unique<TestFactory>();
    }
    void cleanup() {
        QCOMPARE(boxes->prompts(), QStringList());
        factory.reset();
        boxes.reset();
        qunsetenv("ZINTRA_ROOT");
    }

    void registersThenRemovesTheVerb() {
        auto form = start();
        QVERIFY(!form->mnucont->isChecked());

        form->mnucont->trigger();
        QVERIFY(form->mnucont->isChecked());
        QCOMPARE(factory->calls,
                 QStringList({"RegWrite " + verb + " = Copy with Zintra",
                              "RegWrite " + command + " = " + commandLineAt("/opt/zintra/"),
                              "RegRead " + verb}));
        QCOMPARE(readOrMissing(verb), QStringLiteral("Copy with Zintra"));
        QCOMPARE(readOrMissing(command), "/opt/zintra/" + exeName() + " %1");

        factory->calls.clear();
        form->mnucont->trigger();
        QVERIFY(!form->mnucont->isChecked());
        QCOMPARE(factory->calls,
                 QStringList({"RegDelete " + command, "RegDelete " + verb, "RegRead " + verb}));
        QCOMPARE(readOrMissing(verb), QStringLiteral("<missing>"));
        QVERIFY(testing::readAll(registry::machineFile())
                    .contains("[HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell]"));
    }

    void aUserWhoMayNotWriteSeesTheTruth() {
        // Registered by someone who may: the user sees it, cannot remove it, and is told so
        // by the mark staying on, without a message.
        ShellObject().RegWrite(verb, "Copy with Zintra");
        ShellObject().RegWrite(command, "/usr/bin/zintra %1");
        const QByteArray before = testing::readAll(registry::machineFile());
        auto run = formAsNobody({"click", "click"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("mark=1\nmark=1\nmark=1\nmessages=0\n"));
        QCOMPARE(testing::readAll(registry::machineFile()), before);

        ShellObject().RegDelete(command);
        ShellObject().RegDelete(verb);
        const QByteArray empty = testing::readAll(registry::machineFile());
        run = formAsNobody({"click"});
        QCOMPARE(run.out, QByteArray("mark=0\nmark=0\nmessages=0\n"));
        QCOMPARE(testing::readAll(registry::machineFile()), empty);

        // The same session registers for a user who may.
        run = testing::run(ZINTRA_TESTHOST, {"form", "click"}, {"ZINTRA_ROOT=" + root->path()});
        QCOMPARE(run.out, QByteArray("mark=0\nmark=1\nmessages=0\n"));
        QCOMPARE(readOrMissing(verb), QStringLiteral("Copy with Zintra"));
    }

    void verbWithoutItsCommand() {
        ShellObject().RegWrite(verb, "Copy with Zintra");
        auto form = start();
        QVERIFY(form->mnucont->isChecked());
        form->mnucont->trigger();
        QVERIFY(!form->mnucont->isChecked());
        QCOMPARE(factory->calls,
                 QStringList({"RegDelete " + command, "RegDelete " + verb, "RegRead " + verb}));
        QCOMPARE(readOrMissing(verb), QStringLiteral("<missing>"));
    }

    void verbWithAnEmptyValue() {
        ShellObject().RegWrite(verb, "");
        ShellObject().RegWrite(command, "/old/zintra %1");
        auto form = start();
        QVERIFY(!form->mnucont->isChecked());
        form->mnucont->trigger();
        QVERIFY(form->mnucont->isChecked());
        QCOMPARE(readOrMissing(verb), QStringLiteral("Copy with Zintra"));
        QCOMPARE(readOrMissing(command), commandLineAt("/opt/zintra/"));
    }

    void programMovedAfterRegistering() {
        start("/old/place/")->mnucont->trigger();
        auto form = start("/");
        QVERIFY(form->mnucont->isChecked());
        QCOMPARE(readOrMissing(command), commandLineAt("/old/place/"));
        form->mnucont->trigger();
        form->mnucont->trigger();
        QVERIFY(form->mnucont->isChecked());
        QCOMPARE(readOrMissing(command), "/" + exeName() + " %1");
    }

    void scriptingObjectUnavailable() {
        ShellObject().RegWrite(verb, "Copy with Zintra");
        auto form = start();
        QVERIFY(form->mnucont->isChecked());
        factory->failing = true;
        // From the menu, the error is not trapped: it reaches the untrapped-error path.
        try {
            form->mnucont_Click();
            QFAIL("the failed creation was trapped");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), err::CannotCreateObject);
        }
        QVERIFY(form->mnucont->isChecked());
        QCOMPARE(readOrMissing(verb), QStringLiteral("Copy with Zintra"));

        // At start-up without an argument, the same; with one, the probe is skipped.
        frmzintra plain;
        QVERIFY_THROWS_EXCEPTION(RuntimeError, plain.probeContextMenu(false));
        frmzintra withArgument;
        withArgument.probeContextMenu(true);
        QVERIFY(!withArgument.mnucont->isChecked());
    }
};

QTEST_MAIN(TestMnucont)
#include "tst_mnucont.moc"
