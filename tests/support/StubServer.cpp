#include "tests/support/StubServer.h"

#include <httplib.h>

namespace {
const std::string kBase = "/PendarWeb/";
}

StubServer::StubServer()
    : m_http(std::make_unique<httplib::Server>())
{
    m_http->Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
        const QString path = QString::fromStdString(request.path.substr(std::min(request.path.size(), kBase.size())));
        {
            std::lock_guard lock(m_mutex);
            m_requests.append({path, QByteArray::fromStdString(request.body)});
        }
        const Reply reply = next(path);
        response.status = reply.status;
        response.set_content(reply.body.toStdString(), "text/plain; charset=utf-8");
    });
    // One request per connection, so stopping never waits out a client's keep-alive.
    m_http->set_keep_alive_max_count(1);
    m_port = m_http->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_http->listen_after_bind(); });
    // A stop() before the loop runs would be lost and the join would wait for ever.
    while (!m_http->is_running())
        std::this_thread::yield();
}

StubServer::~StubServer()
{
    m_http->stop();
    if (m_thread.joinable())
        m_thread.join();
}

void StubServer::setReplies(const QString& path, QList<Reply> replies)
{
    std::lock_guard lock(m_mutex);
    m_replies[path] = std::move(replies);
}

StubServer::Reply StubServer::next(const QString& path)
{
    std::lock_guard lock(m_mutex);
    auto it = m_replies.find(path);
    if (it == m_replies.end() || it->isEmpty())
        return {404, "no such path"};
    if (it->size() > 1)
        return it->takeFirst();
    return it->first();
}

QString StubServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/PendarWeb/").arg(m_port);
}

QList<StubServer::Request> StubServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

int StubServer::count(const QString& path) const
{
    std::lock_guard lock(m_mutex);
    int n = 0;
    for (const auto& r : m_requests)
        n += r.path == path ? 1 : 0;
    return n;
}
