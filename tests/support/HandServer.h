#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QRegularExpression>
#include <QSslConfiguration>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <sys/socket.h>
#include <memory>
#include <utility>

// A loopback HTTP server written by hand on the main thread, so that a test decides every byte
// and every moment: `answer` gets each socket with each whole request (head and Content-Length
// body) it sent.
class HandServer {
public:
    using Answer = std::function<void(QTcpSocket*, const QByteArray& request)>;

    explicit HandServer(Answer answer)
        : m_server(std::make_unique<QTcpServer>())
    {
        QObject::connect(m_server.get(), &QTcpServer::newConnection, [this, answer] { take(answer); });
        m_server->listen(QHostAddress::LocalHost);
    }

    // The same over TLS (https): `tls` holds the certificate and key it presents
    // (TestCertificate::serverConfiguration()). A socket reaches `answer` once its handshake is done.
    HandServer(Answer answer, const QSslConfiguration& tls)
        : m_scheme(QStringLiteral("https"))
    {
        auto server = std::make_unique<QSslServer>();
        server->setSslConfiguration(tls);
        QObject::connect(server.get(), &QTcpServer::pendingConnectionAvailable, [this, answer] { take(answer); });
        m_server = std::move(server);
        m_server->listen(QHostAddress::LocalHost);
    }

    QUrl url(const QString& path = QStringLiteral("/x")) const
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2").arg(m_scheme).arg(m_server->serverPort()) + path);
    }

    // An address where nothing listens.
    static QUrl deadUrl(const QString& path = QStringLiteral("/"))
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort()) + path);
    }

    // A whole reply: "200 OK", its body, and any further header lines (each ending in CRLF).
    static QByteArray reply(const QByteArray& status, const QByteArray& body, const QByteArray& extra = "")
    {
        return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + extra + "\r\n" + body;
    }

    // Answers every request with one HTML page, `delayMs` after it arrived (Qt's real timer,
    // which the run loop serves while a test waits), or never when the delay is negative.
    static Answer page(int status, const QByteArray& body, int delayMs = 0)
    {
        return [=](QTcpSocket* socket, const QByteArray&) {
            if (delayMs < 0)
                return;
            QTimer::singleShot(delayMs, socket, [=] {
                socket->write(reply(QByteArray::number(status) + " X", body,
                                    "Content-Type: text/html; charset=utf-8\r\nConnection: close\r\n"));
                socket->disconnectFromHost();
            });
        };
    }

    // Drops the connection with a reset (RST) instead of a close (FIN), as a server or proxy
    // does that lets go of a connection with a request unread in it.
    // Whether `reply` holds a whole response: its head and the body its Content-Length promises.
    static bool isWholeReply(const QByteArray& reply)
    {
        const qsizetype head = reply.indexOf("\r\n\r\n");
        const auto length = QRegularExpression("Content-Length: (\\d+)", QRegularExpression::CaseInsensitiveOption)
                                .match(QString::fromLatin1(reply.left(head)));
        return head >= 0 && length.hasMatch() && reply.size() >= head + 4 + length.captured(1).toInt();
    }
    static void reset(QTcpSocket* socket)
    {
        const linger now{1, 0};
        ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &now, sizeof(now));
        socket->abort();
    }

private:
    void take(const Answer& answer)
    {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            auto pending = std::make_shared<QByteArray>();
            const auto read = [socket, answer, pending] {
                *pending += socket->readAll();
                const qsizetype head = pending->indexOf("\r\n\r\n") + 4;
                const auto length = QRegularExpression("Content-Length: (\\d+)").match(QString::fromLatin1(*pending));
                if (head >= 4 && pending->size() >= head + (length.hasMatch() ? length.captured(1).toInt() : 0))
                    answer(socket, std::exchange(*pending, QByteArray()));
            };
            QObject::connect(socket, &QTcpSocket::readyRead, socket, read);
            // A TLS socket may have decrypted the request along with the end of its handshake.
            if (socket->bytesAvailable() > 0)
                read();
        }
    }

    QString m_scheme = QStringLiteral("http");
    std::unique_ptr<QTcpServer> m_server;
};
