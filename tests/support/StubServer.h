#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <memory>
#include <mutex>

namespace server {
class HttpServer;
}

// A loopback HTTP server with canned replies per path, for the answers the real server never
// gives (error statuses, other guest answers). It records every request it receives.
class StubServer {
public:
    struct Reply {
        int status = 200;
        QByteArray body;
    };
    struct Request {
        QString path;   // below the base path, e.g. "exam/checkyk"
        QByteArray body;
    };

    StubServer();
    ~StubServer();

    // The next replies to a path, in order; the last one repeats.
    void setReplies(const QString& path, QList<Reply> replies);
    void setReply(const QString& path, int status, const QByteArray& body) { setReplies(path, {{status, body}}); }

    QString baseUrl() const;
    QList<Request> requests() const;
    int count(const QString& path) const;

private:
    Reply next(const QString& path);

    std::unique_ptr<server::HttpServer> m_http;
    int m_port = 0;
    mutable std::mutex m_mutex;
    QMap<QString, QList<Reply>> m_replies;
    QList<Request> m_requests;
};
