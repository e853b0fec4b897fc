#include "server/http/HttpListener.h"

#include "server/http/ConnectionLimiter.h"

#include <boost/asio/strand.hpp>
#include <boost/asio/write.hpp>

#include <cerrno>

namespace server {

namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {
constexpr auto kAcceptRetry = std::chrono::milliseconds(50);
constexpr int kAcceptBurst = 64;
constexpr char kRefusal[] = "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 1\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
} // namespace

HttpListener::HttpListener(net::io_context& network, tcp::acceptor acceptor, ConnectionLimiter& limiter,
                           const HttpSession::Environment& environment)
    : m_network(network)
    , m_acceptor(std::move(acceptor))
    , m_retry(m_acceptor.get_executor())
    , m_limiter(limiter)
    , m_environment(environment)
{
}

void HttpListener::start()
{
    // Accepts beyond the first of a turn must not wait for a connection.
    boost::beast::error_code ignored;
    m_acceptor.non_blocking(true, ignored);
    net::post(m_acceptor.get_executor(), [self = shared_from_this()] { self->accept(); });
}

void HttpListener::stop()
{
    net::post(m_acceptor.get_executor(), [self = shared_from_this()] {
        boost::beast::error_code ignored;
        self->m_acceptor.close(ignored);
        self->m_retry.cancel();
    });
}

void HttpListener::accept()
{
    // Each connection gets a strand of its own, so its handlers never run at once on
    // two network threads.
    m_acceptor.async_accept(net::make_strand(m_network),
                            [self = shared_from_this()](boost::beast::error_code ec, tcp::socket socket) {
                                self->onAccept(ec, std::move(socket));
                            });
}

void HttpListener::onAccept(boost::beast::error_code ec, tcp::socket socket)
{
    if (ec == net::error::operation_aborted || !m_acceptor.is_open())
        return;
    if (ec) {
        const int code = ec.value();
        if (code == EMFILE || code == ENFILE || code == ENOBUFS || code == ENOMEM) {
            m_retry.expires_after(kAcceptRetry);
            m_retry.async_wait([self = shared_from_this()](boost::beast::error_code waited) {
                if (!waited)
                    self->accept();
            });
            return;
        }
        return accept();
    }
    admit(std::move(socket));
    // Connections that came meanwhile are taken in this turn, without a wait for the next
    // completion each: a burst of thousands queued behind a new client for seconds on a
    // busy machine. A bounded number, so the other connections get their turn too.
    for (int i = 0; i < kAcceptBurst; ++i) {
        tcp::socket next(net::make_strand(m_network));
        boost::beast::error_code nextError;
        m_acceptor.accept(next, nextError);
        if (nextError)
            break;
        admit(std::move(next));
    }
    accept();
}

void HttpListener::admit(tcp::socket socket)
{
    boost::beast::error_code peerError;
    const tcp::endpoint peer = socket.remote_endpoint(peerError);
    if (peerError)
        return;
    const std::string address = peer.address().to_string();
    auto ticket = m_limiter.admit(address);
    if (!ticket)
        return refuse(socket);
    std::make_shared<HttpSession>(std::move(socket), std::move(*ticket), QString::fromStdString(address), m_environment)->start();
}

void HttpListener::refuse(tcp::socket& socket)
{
    boost::beast::error_code ignored;
    // Never wait for the refused: a full send buffer just means no 503.
    socket.non_blocking(true, ignored);
    socket.write_some(net::buffer(kRefusal, sizeof(kRefusal) - 1), ignored);
    // A request already received and left unread would turn the close into a reset,
    // which may destroy the 503 before the client reads it.
    char request[4096];
    socket.read_some(net::buffer(request), ignored);
    socket.shutdown(tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
}

} // namespace server
