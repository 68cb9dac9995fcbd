// The update check against a real HTTP server on 127.0.0.1.
#include "app/frmzintra.h"
#include "platform/inet/inet.h"
#include "support/scripted.h"
#include "support/shell.h"
#include "update/update.h"

#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>

using namespace std::chrono_literals;

namespace {
// A response and then the connection closed, or with `endless` the response followed by
// `endless` again and again. Nothing at all keeps the connection open and silent.
struct Reply {
    QByteArray bytes, endless;
};

Reply respond(int status, const QByteArray& body, const QByteArray& headers = {}) {
    return {"HTTP/1.1 " + QByteArray::number(status) + " Scripted\r\nConnection: close\r\n" +
                "Content-Length: " + QByteArray::number(body.size()) + "\r\n" + headers + "\r\n" +
                body,
            {}};
}

// In a thread of its own, so that the blocking client on the test's thread can talk to it.
// Each connection carries one request; a path without a reply gets a 404.
class Server : public QThread {
public:
    explicit Server(const QMap<QByteArray, Reply>& replies = {}) : replies_(replies) {
        start();
        listening_.acquire();
    }
    ~Server() override { stop(); }
    QString base() const { return "http://127.0.0.1:" + QString::number(port_); }
    // Ends the server, after which nothing listens on its port; the requests' heads.
    QByteArrayList stop() {
        quit();
        wait();
        return heads_;
    }

private:
    void run() override {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        port_ = server.serverPort();
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket* s = server.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [this, s] {
                const QByteArray head = s->peek(s->bytesAvailable());
                if (!head.endsWith("\r\n\r\n"))
                    return;
                heads_ << s->readAll();
                const Reply reply = replies_.value(head.split(' ').value(1), respond(404, {}));
                s->write(reply.bytes);
                if (!reply.endless.isEmpty())
                    connect(s, &QTcpSocket::bytesWritten, s,
                            [s, reply] { s->write(reply.endless); });
                else if (!reply.bytes.isEmpty())
                    s->disconnectFromHost();
            });
        });
        listening_.release();
        exec();
    }

    const QMap<QByteArray, Reply> replies_;
    QByteArrayList heads_;
    QSemaphore listening_;
    quint16 port_ = 0;
};

const QString none = QStringLiteral("Could not retrieve information from the server. Make sure "
                                    "you are online or try again later.");
const QString latest = QStringLiteral("You have the latest version.");
QString offer(const QString& version) {
    return "Version " + version + " is available. Do you want to download it now.";
}
} // namespace

class CheckForUpdateTest : public QObject {
    Q_OBJECT
    Server proxy; // every exchange must pass it by

private slots:
    void initTestCase() {
        // A silent server must end the exchange in a second, not in half a minute.
        platform::setInternetTimeouts({5s, 1s, 5s});
        for (const char* name : {"no_proxy", "NO_PROXY"})
            qunsetenv(name);
        for (const char* name : {"http_proxy", "all_proxy"})
            qputenv(name, proxy.base().toUtf8());
    }
    void cleanupTestCase() { QVERIFY(proxy.stop().isEmpty()); }

    void answers_data() {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<QString>("prompt");
        // The version file: trimmed of spaces, not of line breaks; only 25 bytes of it count.
        const auto ok = [](const QByteArray& body) { return respond(200, body); };
        QTest::newRow("same version") << ok("1.0.0") << latest;
        QTest::newRow("newer version") << ok("1.0.1") << offer("1.0.1");
        QTest::newRow("spaces around") << ok("   1.0.1  ") << offer("1.0.1");
        QTest::newRow("line break after") << ok("1.0.0\r\n") << offer("1.0.0\r\n");
        QTest::newRow("empty") << ok("") << none;
        QTest::newRow("only spaces") << ok("        ") << none;
        QTest::newRow("over 25 bytes")
            << ok("1.0.1-then-a-tail-never-read") << offer("1.0.1-then-a-tail-never-r");
        // Redirects are followed between web addresses only; only a 2xx body counts; the
        // exchange ends in time whatever the server does.
        QTest::newRow("redirect") << respond(302, {}, "Location: /current.ver\r\n")
                                  << offer("1.0.2");
        QTest::newRow("redirect to a file")
            << respond(302, {}, "Location: file:///proc/self/cmdline\r\n") << none;
        QTest::newRow("not found, with a version") << respond(404, "9.9.9") << none;
        QTest::newRow("never answers") << Reply{} << none;
        QTest::newRow("body never ends") << Reply{"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n",
                                                  QByteArray("9.9.9 ").repeated(1000)}
                                         << offer("9.9.9 9.9.9 9.9.9 9.9.9 9");
    }
    // Declining an offer downloads nothing; accepting it hands the download to the desktop.
    void answers() {
        QFETCH(Reply, reply);
        QFETCH(QString, prompt);
        Server server({{"/ver/zintra.ver", reply}, {"/current.ver", respond(200, "1.0.2")}});
        frmzintra form;
        testing::ScriptedMessageBoxes boxes;
        testing::RecordingShell shell;
        update::checkForUpdate(form, server.base());
        QVERIFY(shell.calls.empty());
        boxes.yesNo = platform::vbYes;
        update::checkForUpdate(form, server.base());
        QCOMPARE(boxes.prompts(), QStringList({prompt, prompt}));
        const bool offered = prompt.startsWith("Version ");
        QCOMPARE(shell.calls.size(), offered ? 1u : 0u);
        if (offered)
            QCOMPARE(shell.calls[0].file, server.base() + "/freewares/zintranv.zip");
        const QByteArrayList heads = server.stop();
        QVERIFY(heads.value(0).startsWith("GET /ver/zintra.ver HTTP/1.1\r\n"));
        for (const QByteArray& head : heads)
            for (const char* line :
                 {"User-Agent: VB Project", "Cache-Control: no-cache", "Pragma: no-cache"})
                QVERIFY2(head.contains("\r\n" + QByteArray(line) + "\r\n"), head);
    }

    // Opening the URL is the exchange: 0 when it fails, else the request has gone out.
    void refusedConnection() {
        Server gone, server;
        const std::string refused = gone.base().toStdString();
        gone.stop();
        using namespace platform;
        const HINTERNET session =
            InternetOpenA("VB Project", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        QCOMPARE(InternetOpenUrlA(session, refused, nullptr, 0, INTERNET_FLAG_RELOAD, 0),
                 HINTERNET(0));
        QVERIFY(InternetOpenUrlA(session, server.base().toStdString(), nullptr, 0,
                                 INTERNET_FLAG_RELOAD, 0));
        QCOMPARE(server.stop().size(), 1);
        InternetCloseHandle(session);
    }
};

QTEST_MAIN(CheckForUpdateTest)
#include "tst_checkforupdate.moc"
