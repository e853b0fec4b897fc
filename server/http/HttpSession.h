#pragma once

#include "server/http/ConnectionLimiter.h"
#include "server/http/HttpRequest.h"
#include "server/http/HttpRequestParser.h"
#include "server/http/NonBlockingScope.h"
#include "server/http/Reply.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/span_body.hpp>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace server {

class BodyBudget;
class DeferredReplies;
struct HttpLimits;
class WorkerPool;

// One client connection, driven by asynchronous operations on its strand: it costs
// a socket and a small buffer while it waits, never a thread. Each pending operation
// holds the session alive through a shared pointer; when none is left it closes and
// gives its connection ticket back. Requests are read under the limits' deadlines
// (idle until the first byte, then one deadline for the whole head and one for the
// body), answered by the handler, and every refusal closes the connection.
class HttpSession : public std::enable_shared_from_this<HttpSession> {
public:
    using Handler = std::function<Reply(const HttpRequest&)>;

    // What all sessions of one server share; the server outlives its sessions.
    struct Environment {
        const HttpLimits* limits = nullptr;
        const Handler* handler = nullptr;
        // Null: the handler runs on the network thread, so it must not block.
        WorkerPool* pool = nullptr;
        // With a pool: replies waiting for a write the handler left to commit, and
        // the loop that sends them.
        DeferredReplies* deferred = nullptr;
        boost::asio::io_context* network = nullptr;
        // What all bodies being received may hold; none: each body its limit alone.
        BodyBudget* bodies = nullptr;
    };

    HttpSession(boost::asio::ip::tcp::socket socket, ConnectionLimiter::Ticket ticket, QString peer, const Environment& environment);

    void start();

private:
    using Clock = std::chrono::steady_clock;
    using error_code = boost::beast::error_code;

    void awaitRequest();
    // Idle until the first byte of a request, then the head's, then the body's.
    Clock::time_point deadline() const;
    void readMore();
    void onRead(error_code ec, std::size_t length);
    void parse();
    void handle();
    // Runs the handler on this network thread under a NonBlockingScope; false, nothing
    // changed, when it would have to wait.
    bool answerWithoutWaiting(bool keepAlive);
    // Queues the write a handler deferred; the reply to send now, or none when it is
    // sent once the write has committed.
    std::optional<Reply> startWrite(NonBlockingScope::Write write, Reply reply, bool keepAlive);
    void send(Reply reply, bool keepAlive);
    void onSent(error_code ec, bool keepAlive);
    void refuse(int status);
    void closeAfterReply();
    void discardUntilClosed();

    boost::beast::tcp_stream m_stream;
    ConnectionLimiter::Ticket m_ticket;
    const QString m_peer;
    const Environment m_environment;
    boost::beast::flat_buffer m_buffer;
    std::optional<HttpRequestParser> m_parser;
    Clock::time_point m_waitStart;
    // Set once the head is complete; the body's deadline counts from there.
    std::optional<Clock::time_point> m_bodyDeadline;
    // Alive until its bytes are written: the body points into the reply's bytes.
    std::optional<Reply> m_reply;
    std::optional<boost::beast::http::response<boost::beast::http::span_body<const char>>> m_response;
    Clock::time_point m_lingerEnd;
    std::size_t m_discarded = 0;
};

} // namespace server
