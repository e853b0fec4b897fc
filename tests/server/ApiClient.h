#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>
#include <string>


namespace server {
class ServerInstance;
}
namespace httplib {
class Client;
}

using Fields = QList<QPair<QString, QString>>;

// A test's view of the server: POSTs form bodies the way the client builds them
// (values percent-encoded, UTF-8) and returns status and body.
class ApiClient {
public:
    struct Result {
        int status = 0;
        std::string body;

        QString text() const { return QString::fromStdString(body); }
        QJsonArray array() const;
        QJsonObject object() const;
    };

    explicit ApiClient(const server::ServerInstance& server);
    ~ApiClient();

    Result post(const QString& path, const Fields& fields);
    Result postRaw(const QString& path, const std::string& body);
    Result get(const std::string& target);

    static std::string encode(const Fields& fields);

    // Registers a fresh account and returns its record (code, username, pwd).
    QJsonObject registerUser(const QString& name, const QString& password = QStringLiteral("secret99"));

    // Runs body(client, i) for i in [0, clients), each on its own thread over its own
    // connection, and returns the sum of what the bodies return (their failed requests).
    static int inParallel(const server::ServerInstance& server, int clients, const std::function<int(ApiClient&, int)>& body);

private:
    std::unique_ptr<httplib::Client> m_http;
};
