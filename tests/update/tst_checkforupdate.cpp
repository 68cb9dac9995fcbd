#include "app/frmzintra.h"
#include "platform/inet/inet.h"
#include "support/httpserver.h"
#include "support/scripted.h"
#include "support/shell.h"
#include "update/update.h"

#include <QTest>
#include <atomic>

using testing::LoopbackHttpServer;
using Reply = LoopbackHttpServer::Reply;
using Then = Reply::Then;

namespace {
const QString couldNotRetrieve = QStringLiteral(
    "Could not retrieve information from the server. Make sure you are online or try again "
    "later.");
const QString latest = QStringLiteral("You have the latest version.");

QString offer(const QString& version) {
    return QStringLiteral("Version ") + version +
           QStringLiteral(" is available. Do you want to download it now.");
}

Reply ok(const QByteArray& body) {
    return {LoopbackHttpServer::response(200, body), Then::Close, {}};
}

Reply redirectTo(const QByteArray& location) {
    return {LoopbackHttpServer::response(302, {}, {"Location: " + location}), Then::Close, {}};
}

bool pointerIsDefault(const QWidget& window) {
    return window.cursor().shape() == Qt::ArrowCursor;
}
} // namespace

class CheckForUpdateTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void answers_data();
    void answers();
    void requestAsSent();
    void downloadOffer_data();
    void downloadOffer();
    void refusedConnection();
    void proxySettingsAreIgnored();
};

void CheckForUpdateTest::initTestCase() {
    // A silent server must end the exchange in a second, not in half a minute.
    platform::setInternetTimeouts(
        {std::chrono::seconds(5), std::chrono::seconds(1), std::chrono::seconds(5)});
}

void CheckForUpdateTest::answers_data() {
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<QString>("prompt");

    QTest::newRow("same version") << ok("1.0.0") << latest;
    QTest::newRow("older version") << ok("0.9.9") << latest;
    QTest::newRow("newer version") << ok("1.0.1") << offer("1.0.1");
    QTest::newRow("spaces around") << ok("   1.0.1  ") << offer("1.0.1");
    QTest::newRow("line break after") << ok("1.0.0\r\n") << offer("1.0.0\r\n");
    QTest::newRow("empty") << ok("") << couldNotRetrieve;
    QTest::newRow("only spaces") << ok("        ") << couldNotRetrieve;
    QTest::newRow("only the first 25 bytes count")
        << ok("1.0.1-and-then-a-long-tail-that-is-never-read")
        << offer("1.0.1-and-then-a-long-tai");
    QTest::newRow("a version past 25 bytes is not seen")
        << ok(QByteArray(25, ' ') + "9.9.9") << couldNotRetrieve;
    QTest::newRow("error page") << Reply{LoopbackHttpServer::response(
                                             404,
                                             "<html><body><h1>404 Not Found</h1></body></html>",
                                             {"Content-Type: text/html"}),
                                         Then::Close,
                                         {}}
                                << couldNotRetrieve;
    QTest::newRow("server error with a version body")
        << Reply{LoopbackHttpServer::response(500, "9.9.9"), Then::Close, {}} << couldNotRetrieve;
    QTest::newRow("redirect loop") << redirectTo("/ver/zintra.ver") << couldNotRetrieve;
    QTest::newRow("redirect to a local file")
        << redirectTo("file:///proc/self/cmdline") << couldNotRetrieve;
    QTest::newRow("never answers") << Reply{{}, Then::Silence, {}} << couldNotRetrieve;
    QTest::newRow("body never comes")
        << Reply{"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n", Then::Silence, {}}
        << couldNotRetrieve;
    QTest::newRow("body never ends")
        << Reply{"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", Then::Stream, "9.9.9 "}
        << offer("9.9.9 9.9.9 9.9.9 9.9.9 9");
}

void CheckForUpdateTest::answers() {
    QFETCH(Reply, reply);
    QFETCH(QString, prompt);

    LoopbackHttpServer server;
    server.reply("/ver/zintra.ver", reply);
    frmzintra form;
    testing::ScriptedMessageBoxes boxes;
    testing::RecordingShell shell;
    bool pointerBackWhileShown = false;
    boxes.whileShown = [&] { pointerBackWhileShown = pointerIsDefault(form); };

    update::checkForUpdate(form, server.base());

    QCOMPARE(boxes.prompts(), QStringList{prompt});
    const bool offered = prompt.startsWith(QStringLiteral("Version "));
    QCOMPARE(boxes.shown[0].buttons, offered ? platform::vbYesNo : platform::vbOKOnly);
    QCOMPARE(boxes.shown[0].title,
             offered ? QStringLiteral("Update information") : QStringLiteral("ZINTRA"));
    QVERIFY(pointerBackWhileShown);
    QVERIFY(shell.calls.empty());
}

void CheckForUpdateTest::requestAsSent() {
    LoopbackHttpServer server;
    server.reply("/ver/zintra.ver", redirectTo("/current/zintra.ver"));
    server.reply("/current/zintra.ver", ok("1.0.1"));
    frmzintra form;
    std::atomic<bool> hourglassDuringExchange = false;
    // The window thread is blocked in the exchange while the server answers.
    server.onRequest([&](const LoopbackHttpServer::Request&) {
        hourglassDuringExchange =
            form.testAttribute(Qt::WA_SetCursor) && form.cursor().shape() == Qt::WaitCursor;
    });
    testing::ScriptedMessageBoxes boxes;

    update::checkForUpdate(form, server.base());

    QCOMPARE(boxes.prompts(), QStringList{offer("1.0.1")}); // the redirect followed
    QVERIFY(hourglassDuringExchange);
    QVERIFY(pointerIsDefault(form));
    const auto requests = server.requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[0].requestLine, QByteArray("GET /ver/zintra.ver HTTP/1.1"));
    QCOMPARE(requests[1].requestLine, QByteArray("GET /current/zintra.ver HTTP/1.1"));
    for (const auto& request : requests) {
        QCOMPARE(request.header("Host"), "127.0.0.1:" + QByteArray::number(server.port()));
        QCOMPARE(request.header("User-Agent"), QByteArray("VB Project"));
        QCOMPARE(request.header("Cache-Control"), QByteArray("no-cache"));
        QCOMPARE(request.header("Pragma"), QByteArray("no-cache"));
    }
}

void CheckForUpdateTest::downloadOffer_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << platform::vbYes;
    QTest::newRow("no") << platform::vbNo;
}

void CheckForUpdateTest::downloadOffer() {
    QFETCH(int, answer);
    LoopbackHttpServer server;
    server.reply("/ver/zintra.ver", ok("1.0.1"));
    frmzintra form;
    testing::ScriptedMessageBoxes boxes;
    boxes.answers = {answer};
    testing::RecordingShell shell;

    update::checkForUpdate(form, server.base());

    QCOMPARE(boxes.prompts(), QStringList{offer("1.0.1")});
    QCOMPARE(server.requests().size(), 1); // the program itself downloads nothing
    if (answer == platform::vbNo) {
        QVERIFY(shell.calls.empty());
        return;
    }
    QCOMPARE(shell.calls.size(), 1u);
    const auto& call = shell.calls[0];
    QCOMPARE(call.owner, &form);
    QCOMPARE(call.operation, QStringLiteral("open"));
    QCOMPARE(call.file, server.base() + "/freewares/zintranv.zip");
    QCOMPARE(call.parameters, QString());
    QCOMPARE(call.showCommand, platform::SW_SHOWNORMAL);
}

void CheckForUpdateTest::refusedConnection() {
    frmzintra form;
    testing::ScriptedMessageBoxes boxes;
    bool pointerBackWhileShown = false;
    boxes.whileShown = [&] { pointerBackWhileShown = pointerIsDefault(form); };

    const QString refused = "http://127.0.0.1:" + QString::number(testing::refusingPort());
    update::checkForUpdate(form, refused);

    QCOMPARE(boxes.prompts(), QStringList{couldNotRetrieve});
    QVERIFY(pointerBackWhileShown);

    // Opening the URL is the exchange: sent at once, 0 when it fails.
    using namespace platform;
    const HINTERNET session =
        InternetOpenA("VB Project", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const auto open = [&](const QString& url) {
        return InternetOpenUrlA(session, url.toStdString(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    };
    QCOMPARE(open(refused), HINTERNET(0));
    LoopbackHttpServer server;
    QVERIFY(open(server.base() + "/ver/zintra.ver") != 0);
    QCOMPARE(server.requests().size(), 1); // nothing read yet
    InternetCloseHandle(session);
}

void CheckForUpdateTest::proxySettingsAreIgnored() {
    LoopbackHttpServer server;
    server.reply("/ver/zintra.ver", ok("1.0.0"));
    LoopbackHttpServer proxy;
    proxy.reply(server.base() + "/ver/zintra.ver", ok("9.9.9"));
    const QByteArray proxyUrl = proxy.base();
    const char* const variables[] = {"http_proxy", "HTTP_PROXY", "https_proxy", "all_proxy",
                                     "ALL_PROXY"};
    for (const char* name : variables)
        qputenv(name, proxyUrl);
    const QByteArray noProxy = qgetenv("no_proxy");
    const QByteArray noProxyUpper = qgetenv("NO_PROXY");
    qunsetenv("no_proxy");
    qunsetenv("NO_PROXY");
    const auto restore = qScopeGuard([&] {
        for (const char* name : variables)
            qunsetenv(name);
        if (!noProxy.isNull())
            qputenv("no_proxy", noProxy);
        if (!noProxyUpper.isNull())
            qputenv("NO_PROXY", noProxyUpper);
    });
    frmzintra form;
    testing::ScriptedMessageBoxes boxes;

    update::checkForUpdate(form, server.base());

    QCOMPARE(boxes.prompts(), QStringList{latest});
    QCOMPARE(server.requests().size(), 1);
    QVERIFY(proxy.requests().isEmpty());
}

QTEST_MAIN(CheckForUpdateTest)
#include "tst_checkforupdate.moc"
