// The update check against a real HTTP server on 127.0.0.1.
#include "frontend/qt/mainwindow.h"
#include "platform/inet/inet.h"
#include "platform/limits.h"
#include "support/scripted.h"
#include "update/update.h"

#include <QApplication>
#include <QMessageBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>

using namespace std::chrono_literals;

namespace {
QByteArray respond(int status, const QByteArray& body = {}, const QByteArray& headers = {}) {
    return "HTTP/1.1 " + QByteArray::number(status) + " Scripted\r\nConnection: close\r\n" +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\n" + headers + "\r\n" + body;
}

// In a thread of its own, so that the blocking client on the test's thread can talk to it.
// Each connection carries one request; a path without a reply gets a 404, and one under /late
// gets its reply 0.7 s late. A reply without a length keeps the connection open: its body goes
// on with "9.9.9 " without end, and nothing at all is silence. Destroyed or stopped, nothing
// listens on its port.
struct Server {
    explicit Server(const QMap<QByteArray, QByteArray>& replies = {}) {
        listener->listen(QHostAddress::LocalHost);
        base = "http://127.0.0.1:" + QString::number(listener->serverPort());
        QObject::connect(listener, &QTcpServer::newConnection, listener, [this, replies] {
            QTcpSocket* s = listener->nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, replies] {
                if (!s->peek(s->bytesAvailable()).endsWith("\r\n\r\n"))
                    return;
                heads << s->readAll();
                const QByteArray path = heads.last().split(' ')[1];
                const QByteArray reply = replies.value(path, respond(404));
                QTimer::singleShot(path.startsWith("/late") ? 700ms : 0ms, s, [s, reply] {
                    s->write(reply);
                    if (reply.contains("Content-Length"))
                        s->disconnectFromHost();
                    else
                        QObject::connect(s, &QTcpSocket::bytesWritten, s,
                                         [s] { s->write(QByteArray("9.9.9 ").repeated(1000)); });
                });
            });
        });
        QObject::connect(&thread, &QThread::finished, listener, &QObject::deleteLater);
        listener->moveToThread(&thread);
        thread.start();
    }
    ~Server() { stop(); }
    QByteArrayList stop() { // the requests' heads
        thread.quit();
        thread.wait();
        return heads;
    }

    QThread thread;
    QTcpServer* listener = new QTcpServer;
    QString base;
    QByteArrayList heads;
};

const QString none = QStringLiteral("Could not retrieve information from the server. Make sure "
                                    "you are online or try again later.");
QString offer(const QString& version) {
    return "Version " + version + " is available. Do you want to download it now.";
}
} // namespace

class CheckForUpdateTest : public QObject {
    Q_OBJECT
    Server proxy; // every exchange must pass it by
    // A silent server must end the exchange in a second, not in half a minute.
    platform::Limits shorter{.connect = 5s, .stalled = 1s, .whole = 5s};
    platform::StandIn<platform::Limits> limits{shorter};

private slots:
    void initTestCase() {
        for (const char* name : {"no_proxy", "NO_PROXY"})
            qunsetenv(name);
        for (const char* name : {"http_proxy", "all_proxy"})
            qputenv(name, proxy.base.toUtf8());
    }
    void cleanupTestCase() { QVERIFY(proxy.stop().isEmpty()); }

    void answers_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("prompt");
        // Only 25 bytes of the version file are asked for.
        QTest::newRow("over 25 bytes")
            << respond(200, "1.0.1-then-a-tail-never-read") << offer("1.0.1-then-a-tail-never-r");
        // A redirect is followed; only a 2xx body counts; the exchange ends in time whatever the
        // server does, even when each of several redirects comes within the stall limit.
        QTest::newRow("redirect") << respond(302, {}, "Location: /v\r\n") << offer("1.0.2");
        QTest::newRow("late redirects") << respond(302, {}, "Location: /late/1\r\n") << none;
        QTest::newRow("not found, with a version") << respond(404, "9.9.9") << none;
        QTest::newRow("never answers") << QByteArray() << none;
        QTest::newRow("body never ends")
            << QByteArray("HTTP/1.1 200 OK\r\n\r\n") << offer("9.9.9 9.9.9 9.9.9 9.9.9 9");
    }
    // The real box, declined.
    void answers() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, prompt);
        Server server({{"/ver/zintra.ver", reply},
                       {"/late/1", respond(302, {}, "Location: /late/2\r\n")},
                       {"/late/2", respond(302, {}, "Location: /v\r\n")},
                       {"/v", respond(200, "1.0.2")}});
        MainWindow form;
        // The server's text is never markup. Events run once before the exchange, while the
        // hourglass goes out: wait for the box.
        std::function<void()> answer = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return QTimer::singleShot(0, answer);
            box->done(QMessageBox::No); // declined, before a failed check returns
            QCOMPARE(box->textFormat(), Qt::PlainText);
            QCOMPARE(box->text(), prompt);
        };
        QTimer::singleShot(0, answer);
        update::checkForUpdate(form.handlers->Me, server.base.toStdString());
        const QByteArray head = "\r\n" + server.stop().value(0); // the first request
        for (const char* line : {"GET /ver/zintra.ver HTTP/1.1", "User-Agent: VB Project",
                                 "Cache-Control: no-cache", "Pragma: no-cache"})
            QVERIFY2(head.contains("\r\n" + QByteArray(line) + "\r\n"), head);
    }
};

QTEST_MAIN(CheckForUpdateTest)
#include "tst_checkforupdate.moc"
