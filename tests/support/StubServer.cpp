#include "tests/support/StubServer.h"

#include "server/http/HttpRequest.h"
#include "server/http/HttpServer.h"
#include "server/http/Reply.h"

namespace {
const std::string kBase = "/PendarWeb/";
}

StubServer::StubServer()
{
    // The handler only takes a lock: it may run on the network thread.
    m_http = std::make_unique<server::HttpServer>(server::HttpLimits(), [this](const server::HttpRequest& request) {
        if (request.method != server::HttpRequest::Method::Post)
            return server::Reply::plain(404, {});
        const QString path = QString::fromStdString(request.path.substr(std::min(request.path.size(), kBase.size())));
        {
            std::lock_guard lock(m_mutex);
            m_requests.append({path, QByteArray::fromStdString(request.body)});
        }
        const Reply reply = next(path);
        return server::Reply::plain(reply.status, reply.body);
    }, server::HttpServer::HandlerThreads::Network);
    QString error;
    if (!m_http->listen(QStringLiteral("127.0.0.1"), 0, &error))
        qFatal("stub server: %s", qPrintable(error));
    m_port = m_http->port();
    m_http->run();
}

StubServer::~StubServer()
{
    m_http->stop();
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
