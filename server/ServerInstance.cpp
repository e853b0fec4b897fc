#include "server/ServerInstance.h"

#include "server/api/Api.h"
#include "server/storage/Database.h"
#include "server/http/HttpServer.h"
#include "server/storage/SeedLoader.h"

#include <QTemporaryDir>

namespace server {

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
    // The routes are made once the port is known (the agreement's address names it);
    // the server reads no request before run().
    auto http = std::make_unique<HttpServer>(m_limits, [this](const HttpRequest& request) { return m_api->serve(request); });
    if (!http->listen(options.host, options.port, error))
        return false;
    m_host = options.host;
    m_port = http->port();
    const QString publicUrl = options.publicUrl.isEmpty() ? QStringLiteral("http://%1:%2").arg(m_host).arg(m_port) : options.publicUrl;
    m_api = std::make_unique<Api>(*m_db, publicUrl, m_throttleClock);
    m_http = std::move(http);
    m_http->run();
    return true;
}

bool ServerInstance::startTemporary(ServerOptions::Seed seed, QString* error)
{
    m_tempDir = std::make_unique<QTemporaryDir>();
    if (!m_tempDir->isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    ServerOptions options;
    options.host = QStringLiteral("127.0.0.1");
    options.port = 0;
    options.database = m_tempDir->filePath(QStringLiteral("qbank.sqlite"));
    options.seed = seed;
    return start(options, error);
}

void ServerInstance::stop()
{
    // Every handler has finished once the HTTP layer has stopped; only then may the
    // routes and the store go.
    if (m_http)
        m_http->stop();
    m_http.reset();
    m_api.reset();
    m_db.reset();
}

std::size_t ServerInstance::connections() const
{
    return m_http ? m_http->connections() : 0;
}

std::size_t ServerInstance::bodyBytes() const
{
    return m_http ? m_http->bodyBytes() : 0;
}

QString ServerInstance::baseUrl() const
{
    return QStringLiteral("http://%1:%2%3").arg(m_host).arg(m_port).arg(QString::fromLatin1(Api::kBasePath));
}

} // namespace server
