#pragma once

#include "tests/support/HandServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTcpSocket>

// Between the app and a real server on loopback, as a proxy or load balancer with a short idle
// time-out meets it: each connection from the app carries its first request on to the server
// and the reply back, and stays open; the next request on it is not read but met by a close
// (FIN) or a reset (RST), as when the proxy let go of the connection just as it was sent. It
// does not say how long it keeps a connection.
class ClosingProxy {
public:
    enum class Loss { Close, Reset };

    ClosingProxy(int serverPort, Loss loss)
        : m_port(serverPort)
        , m_server([this, loss](QTcpSocket* app, const QByteArray& request) {
            if (m_carried.contains(app)) {
                ++m_lost;
                return loss == Loss::Reset ? HandServer::reset(app) : app->disconnectFromHost();
            }
            m_carried.insert(app);
            pass(app, request);
        })
    {
    }
    QString baseUrl() const { return m_server.url(QStringLiteral("/PendarWeb/")).toString(); }
    // Requests met by a close or reset instead of the server.
    int lost() const { return m_lost; }

private:
    void pass(QTcpSocket* app, const QByteArray& request)
    {
        auto* server = new QTcpSocket(app);
        auto reply = std::make_shared<QByteArray>();
        QObject::connect(server, &QTcpSocket::connected, server, [server, request] { server->write(request); });
        QObject::connect(server, &QTcpSocket::readyRead, server, [app, server, reply] {
            *reply += server->readAll();
            if (!HandServer::isWholeReply(*reply))
                return;
            // The server's promise of how long it keeps a connection is not the proxy's.
            app->write(withoutKeepAlive(*reply));
            server->deleteLater();
        });
        server->connectToHost(QHostAddress::LocalHost, quint16(m_port));
    }
    static QByteArray withoutKeepAlive(QByteArray reply)
    {
        const qsizetype at = reply.left(reply.indexOf("\r\n\r\n")).toLower().indexOf("\r\nkeep-alive:");
        if (at >= 0)
            reply.remove(at, reply.indexOf("\r\n", at + 2) - at);
        return reply;
    }

    int m_port;
    QSet<QTcpSocket*> m_carried;   // the app's connections that have carried a request
    int m_lost = 0;
    HandServer m_server;
};
