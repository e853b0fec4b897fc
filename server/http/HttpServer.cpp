#include "server/http/HttpServer.h"

#include "server/http/HttpListener.h"
#include "server/http/WorkerPool.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/strand.hpp>

#include <pthread.h>

namespace server {

namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

// Memory is handed back once this much of the bodies' has gone, at most every so often.
constexpr std::size_t kTrimAfter = 16 * 1024 * 1024;
constexpr std::chrono::milliseconds kTrimInterval{250};

std::optional<tcp::endpoint> endpointOf(net::io_context& network, const QString& host, int port, boost::beast::error_code& ec)
{
    const auto address = net::ip::make_address(host.toStdString(), ec);
    if (!ec)
        return tcp::endpoint(address, net::ip::port_type(port));
    tcp::resolver resolver(network);
    const auto results = resolver.resolve(host.toStdString(), std::to_string(port), ec);
    if (ec || results.empty())
        return std::nullopt;
    return results.begin()->endpoint();
}

QString describe(const boost::beast::error_code& ec)
{
    return ec == net::error::address_in_use ? QStringLiteral("address already in use") : QString::fromStdString(ec.message());
}

} // namespace

HttpServer::HttpServer(const HttpLimits& limits, HttpSession::Handler handler, HandlerThreads where)
    : m_limits(limits)
    , m_handler(std::move(handler))
    , m_pool(where == HandlerThreads::Pool ? std::make_unique<WorkerPool>(limits.handlerThreads) : nullptr)
    , m_limiter(limits.maxConnectionsPerAddress, limits.maxConnections)
    , m_trimmer(kTrimAfter, kTrimInterval)
    , m_bodies(limits.bodyBudgetBytes, &m_trimmer)
    , m_network(std::make_unique<net::io_context>(int(limits.networkThreads)))
{
}

HttpServer::~HttpServer()
{
    stop();
}

bool HttpServer::listen(const QString& host, int port, QString* error)
{
    boost::beast::error_code ec;
    const auto endpoint = endpointOf(*m_network, host, port, ec);
    auto fail = [&](const boost::beast::error_code& cause) {
        *error = QStringLiteral("cannot listen on %1:%2: %3").arg(host).arg(port).arg(describe(cause));
        return false;
    };
    if (!endpoint)
        return fail(ec);
    tcp::acceptor acceptor(net::make_strand(*m_network));
    acceptor.open(endpoint->protocol(), ec);
    if (ec)
        return fail(ec);
    // Not SO_REUSEPORT: with it a second server would bind the same address and the
    // system would split clients between two servers and two databases.
    acceptor.set_option(net::socket_base::reuse_address(true), ec);
    acceptor.bind(*endpoint, ec);
    if (ec)
        return fail(ec);
    acceptor.listen(net::socket_base::max_listen_connections, ec);
    if (ec)
        return fail(ec);
    m_port = acceptor.local_endpoint(ec).port();
    const HttpSession::Environment environment{&m_limits, &m_handler, m_pool.get(), &m_deferred, m_network.get(), &m_bodies};
    m_listener = std::make_shared<HttpListener>(*m_network, std::move(acceptor), m_limiter, environment);
    return true;
}

void HttpServer::run()
{
    if (!m_listener || !m_threads.empty())
        return;
    m_listener->start();
    for (std::size_t i = 0; i < std::max<std::size_t>(1, m_limits.networkThreads); ++i) {
        m_threads.emplace_back([network = m_network.get(), deferred = &m_deferred] { runNetwork(*network, *deferred); });
        pthread_setname_np(m_threads.back().native_handle(), "qbank-network");
    }
}

void HttpServer::runNetwork(net::io_context& network, const DeferredReplies& deferred)
{
    while (!network.stopped()) {
        if (!deferred.waiting()) {
            network.run_one();
            continue;
        }
        // While replies wait for their commit, keep looking instead of sleeping: the
        // writer's hand-back then finds a thread awake and costs no wake-up, which took
        // as long as the commit (book writes at 8 connections: 0.4 to 0.6-0.7 of the
        // bare reply's rate). Only for as long as a commit is outstanding.
        if (network.poll_one() == 0)
            std::this_thread::yield();
    }
}

void HttpServer::stop()
{
    if (m_listener)
        m_listener->stop();
    m_network->stop();
    for (auto& thread : m_threads)
        thread.join();
    m_threads.clear();
    // Handlers still running start their replies, which the kernel may still take;
    // their completions go to the stopped loop, which drops them.
    if (m_pool)
        m_pool->stop();
    // Replies waiting for a commit hold their sessions: dropped while their loop is
    // still there.
    m_deferred.dropAll();
    m_listener.reset();
    // Destroying the loop destroys every pending operation and with it the sessions
    // they hold, which close their sockets and give back their tickets.
    m_network = std::make_unique<net::io_context>(int(m_limits.networkThreads));
}

} // namespace server
