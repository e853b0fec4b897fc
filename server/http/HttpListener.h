#pragma once

#include "server/http/HttpSession.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include <memory>

namespace server {

class ConnectionLimiter;

// Accepts connections and starts a session for each, or refuses it at once when its
// address or the server is at its connection cap: a refused client gets a 503 if its
// socket takes it without waiting, and is closed either way, so no refusal costs the
// server more than the accept.
class HttpListener : public std::enable_shared_from_this<HttpListener> {
public:
    // The acceptor runs on a strand of `network`, so that stop() cannot race an accept.
    HttpListener(boost::asio::io_context& network, boost::asio::ip::tcp::acceptor acceptor, ConnectionLimiter& limiter,
                 const HttpSession::Environment& environment);

    void start();
    // Ends accepting; sessions already running are not touched.
    void stop();

private:
    void accept();
    void onAccept(boost::beast::error_code ec, boost::asio::ip::tcp::socket socket);
    // Starts a session for the connection, or refuses it at its cap.
    void admit(boost::asio::ip::tcp::socket socket);
    static void refuse(boost::asio::ip::tcp::socket& socket);

    boost::asio::io_context& m_network;
    boost::asio::ip::tcp::acceptor m_acceptor;
    // Out of descriptors, accepting again at once would spin: wait a moment instead.
    boost::asio::steady_timer m_retry;
    ConnectionLimiter& m_limiter;
    const HttpSession::Environment m_environment;
};

} // namespace server
