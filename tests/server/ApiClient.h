#pragma once

#include "server/ServerInstance.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <memory>
#include <string>

class HttpTestClient;

using Fields = QList<QPair<QString, QString>>;

// A test's view of the server: POSTs form bodies the way the client builds them
// (values percent-encoded, UTF-8) and returns status and body.
class ApiClient {
public:
    struct Result {
        int status = 0;
        std::string body;
        QString text() const { return QString::fromStdString(body); }
        QJsonArray array() const { return QJsonDocument::fromJson(QByteArray::fromStdString(body)).array(); }
        QJsonObject object() const { return QJsonDocument::fromJson(QByteArray::fromStdString(body)).object(); }
    };

    // `source`, when given: the loopback address to connect from (127.x.y.z).
    explicit ApiClient(const server::ServerInstance& server, const std::string& source = {});
    ~ApiClient();
    Result post(const QString& path, const Fields& fields);
    Result postRaw(const QString& path, const std::string& body);
    Result get(const std::string& target);
    // Registers a fresh account and returns its record (code, username, pwd).
    QJsonObject registerUser(const QString& name, const QString& password = "secret99");

private:
    std::unique_ptr<HttpTestClient> m_http;
};

// A server with a throw-away database on an ephemeral port (SQLite, or PostgreSQL in the
// binary built for it), a client, and one registered user.
class ServerTest : public ::testing::Test {
protected:
    explicit ServerTest(server::ServerOptions::Seed seed = server::ServerOptions::Seed::Sample) : m_seed(seed) {}
    void SetUp() override;
    ApiClient::Result post(const QString& path, const Fields& fields) { return client->post(path, fields); }
    // Row counts of every table a request can write.
    QString snapshot();

    server::ServerInstance server;
    std::unique_ptr<ApiClient> client;
    QString user;   // the code of "tester01" / "secret99"

private:
    server::ServerOptions::Seed m_seed;
};

// Eight clients at once each file twelve questions in both books and twelve practice runs; every
// request must succeed and every write must be there afterwards.
void expectParallelWritersLoseNothing(server::ServerInstance& server);
