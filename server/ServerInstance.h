#pragma once

#include "server/http/HttpLimits.h"
#include "server/ServerOptions.h"
#include "server/signin/ThrottleTable.h"

#include <QString>

#include <memory>

class QTemporaryDir;

namespace server {

class Api;
class Database;
class HttpServer;

// A running qbank server: its store, its routes and its HTTP layer. Tests and client screens start one on an ephemeral loopback port
// with a throw-away database; the executable starts one from its command line.
class ServerInstance {
public:
    ServerInstance();
    ~ServerInstance();

    ServerInstance(const ServerInstance&) = delete;
    ServerInstance& operator=(const ServerInstance&) = delete;

    // Opens the store, seeds it when asked, binds and starts serving; false and a
    // message when any step fails.
    bool start(const ServerOptions& options, QString* error);
    // What a client may ask of the HTTP layer (sizes, deadlines, connection caps);
    // before start().
    void setHttpLimits(const HttpLimits& limits) { m_limits = limits; }
    // What the sign-in and registration throttles read as now, in seconds; tests step
    // their own. Before start().
    void setThrottleClock(ThrottleClock clock) { m_throttleClock = std::move(clock); }
    // Loopback, port 0, a database in a temporary folder that goes with the
    // instance.
    bool startTemporary(ServerOptions::Seed seed, QString* error);
    void stop();

    bool isRunning() const { return m_http != nullptr; }
    int port() const { return m_port; }
    QString host() const { return m_host; }
    // "http://host:port/PendarWeb/", the client's server base address.
    QString baseUrl() const;
    Database& database() { return *m_db; }
    // Connections open now, idle and held ones included.
    std::size_t connections() const;
    // Bytes the bodies being received now hold of their budget.
    std::size_t bodyBytes() const;
    // The SQLite file, or the PostgreSQL address, the store was opened on.
    QString databaseFile() const { return m_databaseFile; }

private:
    std::unique_ptr<QTemporaryDir> m_tempDir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Api> m_api;
    std::unique_ptr<HttpServer> m_http;
    HttpLimits m_limits;
    ThrottleClock m_throttleClock;
    QString m_host;
    QString m_databaseFile;
    int m_port = 0;
};

} // namespace server
