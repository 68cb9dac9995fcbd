#include "support/httpserver.h"

#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

namespace testing {

class LoopbackHttpServer::Worker final : public QTcpServer {
public:
    explicit Worker(LoopbackHttpServer& owner) : owner_(owner) {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                serve(socket);
        });
    }

private:
    void serve(QTcpSocket* socket) {
        auto head = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
            const QByteArray bytes = socket->readAll();
            if (head->endsWith("\r\n\r\n"))
                return; // answered already
            head->append(bytes);
            const qsizetype end = head->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            head->truncate(end + 4);
            const Request request = parse(head->left(end));
            owner_.record(request);
            answer(socket, owner_.replyFor(request.path));
        });
    }

    static Request parse(const QByteArray& head) {
        const QList<QByteArray> lines = head.split('\n');
        Request request;
        request.requestLine = lines.value(0).trimmed();
        request.path = request.requestLine.split(' ').value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.append(
                    {lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
        }
        return request;
    }

    static void answer(QTcpSocket* socket, const Reply& reply) {
        socket->write(reply.bytes);
        switch (reply.then) {
        case Reply::Then::Close:
            socket->disconnectFromHost();
            break;
        case Reply::Then::Silence:
            break;
        case Reply::Then::Stream:
            // Keeps a little queued at all times, however long the client goes on reading.
            connect(socket, &QTcpSocket::bytesWritten, socket, [socket, chunk = reply.endless] {
                while (socket->bytesToWrite() < 65536)
                    socket->write(chunk);
            });
            socket->write(reply.endless);
            break;
        }
    }

    LoopbackHttpServer& owner_;
};

QByteArray LoopbackHttpServer::Request::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

LoopbackHttpServer::LoopbackHttpServer() {
    // Runs on the server's own thread: the server lives and dies there.
    QObject::connect(&thread_, &QThread::started, [this] {
        auto* worker = new Worker(*this);
        QObject::connect(&thread_, &QThread::finished, worker, [worker] { delete worker; });
        if (!worker->listen(QHostAddress::LocalHost, 0))
            qFatal("the loopback HTTP server cannot listen");
        port_ = worker->serverPort();
        listening_.release();
    });
    thread_.start();
    listening_.acquire();
}

LoopbackHttpServer::~LoopbackHttpServer() {
    thread_.quit();
    thread_.wait();
}

QByteArray LoopbackHttpServer::base() const {
    return "http://127.0.0.1:" + QByteArray::number(port_);
}

void LoopbackHttpServer::reply(const QByteArray& path, const Reply& reply) {
    QMutexLocker lock(&mutex_);
    replies_.insert(path, reply);
}

QByteArray LoopbackHttpServer::response(int status, const QByteArray& body,
                                        const QList<QByteArray>& extraHeaders) {
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + " Scripted\r\n" +
                      "Content-Length: " + QByteArray::number(body.size()) + "\r\n" +
                      "Connection: close\r\n";
    for (const QByteArray& line : extraHeaders)
        text += line + "\r\n";
    return text + "\r\n" + body;
}

void LoopbackHttpServer::onRequest(std::function<void(const Request&)> callback) {
    QMutexLocker lock(&mutex_);
    onRequest_ = std::move(callback);
}

QList<LoopbackHttpServer::Request> LoopbackHttpServer::requests() const {
    QMutexLocker lock(&mutex_);
    return requests_;
}

LoopbackHttpServer::Reply LoopbackHttpServer::replyFor(const QByteArray& path) const {
    QMutexLocker lock(&mutex_);
    return replies_.value(path, Reply{response(404, {}), Reply::Then::Close, {}});
}

void LoopbackHttpServer::record(const Request& request) {
    std::function<void(const Request&)> callback;
    {
        QMutexLocker lock(&mutex_);
        requests_.append(request);
        callback = onRequest_;
    }
    if (callback)
        callback(request);
}

quint16 refusingPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        qFatal("no free port on 127.0.0.1");
    return probe.serverPort();
}

} // namespace testing
