#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace uitest {

// A loopback HTTP server on the main thread: every request gets the same reply, `delayMs` after
// it arrived (Qt's real timer, which the run loop serves while a test waits), or never when the
// delay is negative.
class LoopbackServer {
public:
    LoopbackServer(int status, QByteArray body, int delayMs = 0)
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this, status, body, delayMs] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                auto request = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [=] {
                    *request += socket->readAll();
                    if (delayMs < 0 || !request->contains("\r\n\r\n"))
                        return;
                    QTimer::singleShot(delayMs, socket, [=] {
                        socket->write("HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: text/html; charset=utf-8\r\n"
                                      "Connection: close\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                        socket->disconnectFromHost();
                    });
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    QUrl url(const QString& path = QStringLiteral("/page")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

    // An address where nothing listens.
    static QUrl deadUrl(const QString& path = QStringLiteral("/"))
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(probe.serverPort()).arg(path));
    }

private:
    QTcpServer m_server;
};

} // namespace uitest
