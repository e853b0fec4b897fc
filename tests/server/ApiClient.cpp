#include "tests/server/ApiClient.h"

#include "server/ServerInstance.h"

#include <QJsonDocument>
#include <QUrl>

#include <httplib.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace server;

QJsonArray ApiClient::Result::array() const
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(body)).array();
}

QJsonObject ApiClient::Result::object() const
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(body)).object();
}

ApiClient::ApiClient(const ServerInstance& server)
    : m_http(std::make_unique<httplib::Client>(server.host().toStdString(), server.port()))
{
    m_http->set_keep_alive(true);
    m_http->set_tcp_nodelay(true);
}

ApiClient::~ApiClient() = default;

std::string ApiClient::encode(const Fields& fields)
{
    QByteArray body;
    for (const auto& [key, value] : fields) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(key) + '=' + QUrl::toPercentEncoding(value);
    }
    return body.toStdString();
}

ApiClient::Result ApiClient::post(const QString& path, const Fields& fields)
{
    return postRaw(path, encode(fields));
}

ApiClient::Result ApiClient::postRaw(const QString& path, const std::string& body)
{
    const auto res = m_http->Post(("/PendarWeb/" + path).toStdString(), body, "application/x-www-form-urlencoded");
    if (!res)
        return {};
    return {res->status, res->body};
}

ApiClient::Result ApiClient::get(const std::string& target)
{
    const auto res = m_http->Get(target);
    if (!res)
        return {};
    return {res->status, res->body};
}

QJsonObject ApiClient::registerUser(const QString& name, const QString& password)
{
    return post(QStringLiteral("user/register"), {{"account", name}, {"pwd", password}}).object();
}

int ApiClient::inParallel(const ServerInstance& server, int clients, const std::function<int(ApiClient&, int)>& body)
{
    std::atomic<int> failures = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i) {
        threads.emplace_back([&, i] {
            ApiClient client(server);
            failures += body(client, i);
        });
    }
    for (auto& t : threads)
        t.join();
    return failures.load();
}
