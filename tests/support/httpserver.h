#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QPair>
#include <QSemaphore>
#include <QThread>
#include <functional>

namespace testing {

// An HTTP server on 127.0.0.1 with scripted replies. It runs in a thread of its own, so that
// a blocking client on the test's thread can talk to it. Each connection carries one request.
class LoopbackHttpServer {
public:
    struct Request {
        QByteArray requestLine; // e.g. "GET /ver/zintra.ver HTTP/1.1"
        QByteArray path;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray header(const QByteArray& name) const; // case-insensitive; empty if absent
    };

    // What the server does after the request has come in.
    struct Reply {
        enum class Then {
            Close,   // sends `bytes` and closes the connection
            Silence, // sends `bytes` (possibly nothing) and then keeps the connection silent
            Stream,  // sends `bytes`, then `endless` again and again, without end
        };
        QByteArray bytes;
        Then then = Then::Close;
        QByteArray endless;
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    quint16 port() const { return port_; }
    QByteArray base() const; // "http://127.0.0.1:<port>"

    // The reply for a path; paths without one get an empty 404.
    void reply(const QByteArray& path, const Reply& reply);
    // A complete response with this status, body and extra header lines ("Name: value").
    static QByteArray response(int status, const QByteArray& body,
                               const QList<QByteArray>& extraHeaders = {});

    // Called on the server's thread as each request comes in, before the reply.
    void onRequest(std::function<void(const Request&)> callback);

    QList<Request> requests() const;

private:
    class Worker;
    Reply replyFor(const QByteArray& path) const;
    void record(const Request& request);

    QThread thread_;
    QSemaphore listening_;
    quint16 port_ = 0;
    mutable QMutex mutex_;
    QMap<QByteArray, Reply> replies_;
    QList<Request> requests_;
    std::function<void(const Request&)> onRequest_;
};

// A port on 127.0.0.1 on which nothing listens.
quint16 refusingPort();

} // namespace testing
