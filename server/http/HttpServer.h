#pragma once

#include "server/http/BodyBudget.h"
#include "server/http/ConnectionLimiter.h"
#include "server/http/DeferredReplies.h"
#include "server/http/HttpLimits.h"
#include "server/http/HttpSession.h"
#include "server/http/MemoryTrimmer.h"

#include <QString>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace boost::asio {
class io_context;
}

namespace server {

class HttpListener;
class WorkerPool;

// An HTTP/1.1 server on Boost.Beast: a few network threads run every connection
// asynchronously, under the limits given, and hand each complete request to the
// handler. With a pool, the handler is tried on the network thread first, under a
// NonBlockingScope, and run on the pool when it would wait; without one it always
// runs on the network thread, so it must never block.
class HttpServer {
public:
    enum class HandlerThreads { Pool, Network };

    HttpServer(const HttpLimits& limits, HttpSession::Handler handler, HandlerThreads where = HandlerThreads::Pool);
    ~HttpServer();

    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and listens (port 0 picks a free one); false and a message when the
    // address is taken or bad. Connections wait in the backlog until run().
    bool listen(const QString& host, int port, QString* error);
    void run();
    // Closes every connection and ends every thread; handlers already running finish first.
    void stop();

    int port() const { return m_port; }
    std::size_t connections() const { return m_limiter.connections(); }
    // Bytes the bodies being received hold of their budget.
    std::size_t bodyBytes() const { return m_bodies.used(); }

private:
    // One network thread: handlers as they come, sleeping when there are none.
    static void runNetwork(boost::asio::io_context& network, const DeferredReplies& deferred);

    const HttpLimits m_limits;
    const HttpSession::Handler m_handler;
    std::unique_ptr<WorkerPool> m_pool;
    DeferredReplies m_deferred;
    ConnectionLimiter m_limiter;
    MemoryTrimmer m_trimmer;
    BodyBudget m_bodies;
    std::unique_ptr<boost::asio::io_context> m_network;
    std::shared_ptr<HttpListener> m_listener;
    std::vector<std::thread> m_threads;
    int m_port = 0;
};

} // namespace server
