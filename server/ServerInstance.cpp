#include "server/ServerInstance.h"

#include "server/Api.h"
#include "server/Database.h"
#include "server/SeedLoader.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <sys/socket.h>

#include <httplib.h>

namespace server {

namespace {

// How long a connection may stay silent within a request's head or body.
constexpr time_t kReadSeconds = 5;
} // namespace

ServerInstance::ServerInstance() = default;

ServerInstance::~ServerInstance()
{
    stop();
}

bool ServerInstance::start(const ServerOptions& options, QString* error)
{
    if (isRunning()) {
        *error = QStringLiteral("already running");
        return false;
    }
    m_databaseFile = options.database;
    m_db = Database::open(options.database, error);
    if (!m_db)
        return false;
    if (options.seed == ServerOptions::Seed::Sample && !SeedLoader(*m_db).loadIfEmpty(QString::fromLatin1(SeedLoader::kSampleBank), error))
        return false;
    m_http = std::make_unique<httplib::Server>();
    m_http->new_task_queue = [this] {
        auto* pool = new WorkerPool(m_limits);
        m_pool = pool;
        return pool;
    };
    m_http->set_keep_alive_timeout(m_idleSeconds);
    m_http->set_read_timeout(kReadSeconds, 0);
    m_http->set_pre_routing_handler([](const httplib::Request&, httplib::Response& res) {
        if (!WorkerPool::isRefusing())
            return httplib::Server::HandlerResponse::Unhandled;
        res.status = 503;
        res.set_header("Connection", "close");
        res.set_header("Retry-After", "1");
        return httplib::Server::HandlerResponse::Handled;
    });
    // Kept-alive connections hold a worker while idle; when workers run short they are
    // closed after their reply, so busy clients reconnect rather than others wait.
    m_http->set_post_routing_handler([this](const httplib::Request&, httplib::Response& res) {
        WorkerPool* pool = m_pool;
        if (pool && pool->isRunningLow())
            res.set_header("Connection", "close");
    });
    m_http->set_payload_max_length(Api::kMaxBody);
    m_http->set_keep_alive_max_count(1000);
    // Replies go out as header and body writes; without this the second waits
    // for the peer's delayed acknowledgement.
    m_http->set_tcp_nodelay(true);
    // The library listens with a backlog of 5, so a burst of new clients overflows the
    // accept queue and some connections are dropped; listening again on the bound socket
    // raises the backlog.
    auto listeningSocket = std::make_shared<socket_t>(INVALID_SOCKET);
    // Not the library's default SO_REUSEPORT: with it a second server binds the same
    // address and the system splits clients between two servers and two databases.
    m_http->set_socket_options([listeningSocket](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
        *listeningSocket = sock;
    });
    const std::string host = options.host.toStdString();
    m_port = options.port == 0 ? m_http->bind_to_any_port(host) : (m_http->bind_to_port(host, options.port) ? options.port : -1);
    if (m_port <= 0) {
        const int cause = errno;
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(options.host)
                     .arg(options.port)
                     .arg(cause == EADDRINUSE ? QStringLiteral("address already in use") : QString::fromLocal8Bit(std::strerror(cause)));
        m_http.reset();
        return false;
    }
    if (*listeningSocket != INVALID_SOCKET)
        ::listen(*listeningSocket, SOMAXCONN);
    m_host = options.host;
    const QString publicUrl = options.publicUrl.isEmpty() ? QStringLiteral("http://%1:%2").arg(m_host).arg(m_port) : options.publicUrl;
    m_api = std::make_unique<Api>(*m_db, publicUrl);
    m_api->install(*m_http);
    // The socket listens from bind on, so requests sent before the loop starts wait
    // in the backlog rather than fail.
    m_thread = std::thread([http = m_http.get()] { http->listen_after_bind(); });
    return true;
}

bool ServerInstance::startTemporary(ServerOptions::Seed seed, QString* error)
{
    m_tempDir = std::make_unique<QTemporaryDir>();
    if (!m_tempDir->isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    // Stopping waits out kept-alive connections; a throw-away server need not keep
    // them long.
    m_idleSeconds = 1;
    ServerOptions options;
    options.host = QStringLiteral("127.0.0.1");
    options.port = 0;
    options.database = m_tempDir->filePath(QStringLiteral("qbank.sqlite"));
    options.seed = seed;
    return start(options, error);
}

void ServerInstance::stop()
{
    if (m_http)
        m_http->stop();
    if (m_thread.joinable())
        m_thread.join();
    // The request threads have ended with the server; their connections can close.
    m_http.reset();
    m_pool = nullptr;
    m_api.reset();
    m_db.reset();
}

QString ServerInstance::baseUrl() const
{
    return QStringLiteral("http://%1:%2%3").arg(m_host).arg(m_port).arg(QString::fromLatin1(Api::kBasePath));
}

} // namespace server
