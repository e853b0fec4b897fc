#include "server/http/HttpSession.h"

#include "server/http/DeferredReplies.h"
#include "server/http/HttpLimits.h"
#include "server/http/WorkerPool.h"
#include "server/http/WouldBlock.h"

#include <boost/asio/post.hpp>
#include <boost/beast/core/bind_handler.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/status.hpp>
#include <boost/beast/http/write.hpp>

namespace server {

namespace beast = boost::beast;
namespace http = boost::beast::http;
namespace net = boost::asio;

namespace {

// The first read of a request: most requests fit, and an idle connection's buffer
// grows no further until it sends something. Later reads take larger pieces.
constexpr std::size_t kFirstRead = 1024;
constexpr std::size_t kReadChunk = 16 * 1024;
// After a refusal the client's remaining bytes are read and dropped for a moment, so
// that closing with them unread does not reset the connection before the client has
// read the refusal; a client that keeps sending is cut off at these bounds.
constexpr auto kLinger = std::chrono::seconds(1);
constexpr std::size_t kLingerBytes = 256 * 1024;
constexpr std::size_t kDiscardChunk = 4096;

} // namespace

HttpSession::HttpSession(net::ip::tcp::socket socket, ConnectionLimiter::Ticket ticket, QString peer, const Environment& environment)
    : m_stream(std::move(socket))
    , m_ticket(std::move(ticket))
    , m_peer(std::move(peer))
    , m_environment(environment)
    // A head may not outgrow its limit: no read takes more than the buffer's room.
    , m_buffer(environment.limits->maxHeadBytes)
{
}

void HttpSession::start()
{
    // Replies go out in one write; waiting for the peer's delayed acknowledgement
    // would only add latency.
    error_code ignored;
    m_stream.socket().set_option(net::ip::tcp::no_delay(true), ignored);
    awaitRequest();
}

void HttpSession::awaitRequest()
{
    m_parser.emplace(*m_environment.limits, m_environment.bodies);
    m_bodyDeadline.reset();
    m_waitStart = Clock::now();
    // Idle: hold no buffer until the client speaks.
    if (m_buffer.size() == 0)
        m_buffer.shrink_to_fit();
    parse();
}

HttpSession::Clock::time_point HttpSession::deadline() const
{
    const HttpLimits& limits = *m_environment.limits;
    if (m_bodyDeadline)
        return *m_bodyDeadline;
    const auto head = m_waitStart + limits.headDeadline;
    const bool started = m_parser->got_some() || m_buffer.size() > 0;
    return started ? head : std::min(head, m_waitStart + limits.idleTimeout);
}

void HttpSession::readMore()
{
    const std::size_t room = m_buffer.max_size() - m_buffer.size();
    // Only an unfinished head can fill the buffer: a body is used as it comes.
    if (room == 0)
        return refuse(431);
    // Absolute deadlines, set again before every read but never moved: trickling
    // bytes does not extend them.
    m_stream.expires_at(deadline());
    m_stream.async_read_some(m_buffer.prepare(std::min(room, m_buffer.size() == 0 ? kFirstRead : kReadChunk)),
                             beast::bind_front_handler(&HttpSession::onRead, shared_from_this()));
}

void HttpSession::onRead(error_code ec, std::size_t length)
{
    // A timeout has closed the socket already; a client that closed mid-request (a body
    // shorter than its length included) has nobody left to answer.
    if (ec)
        return;
    m_buffer.commit(length);
    parse();
}

void HttpSession::parse()
{
    while (m_buffer.size() > 0 && !m_parser->is_done()) {
        error_code ec;
        const std::size_t used = m_parser->feed(m_buffer.data(), ec);
        m_buffer.consume(used);
        if (ec == http::error::need_more)
            break;
        if (ec == http::error::header_limit)
            return refuse(431);
        if (ec == http::error::body_limit)
            return refuse(413);
        // No room left for bodies: the client may come back in a moment (Retry-After).
        if (ec == boost::system::errc::not_enough_memory)
            return refuse(503);
        if (ec)
            return refuse(400);
        if (m_parser->is_header_done() && !m_bodyDeadline)
            m_bodyDeadline = Clock::now() + m_environment.limits->bodyDeadline;
    }
    if (m_parser->is_done())
        return handle();
    readMore();
}

void HttpSession::handle()
{
    HttpRequest& request = m_parser->request();
    request.peer = m_peer;
    const bool keepAlive = m_parser->keep_alive();
    if (!m_environment.pool) {
        send((*m_environment.handler)(request), keepAlive);
        return;
    }
    // Most requests are answered from memory: tried here first, they cost no
    // hand-over to a worker and back.
    if (answerWithoutWaiting(keepAlive))
        return;
    // The session stays alive while a worker holds its request. Nothing of the
    // session is pending while its handler runs (the read has completed and cancelled
    // its deadline), so the worker starts the reply itself: the kernel usually takes it
    // at once, without waiting for a network thread to wake, and every completion
    // still runs on the session's strand.
    m_environment.pool->post([self = shared_from_this(), keepAlive] {
        self->send((*self->m_environment.handler)(self->m_parser->request()), keepAlive);
    });
}

bool HttpSession::answerWithoutWaiting(bool keepAlive)
{
    std::optional<Reply> reply;
    {
        NonBlockingScope scope;
        try {
            reply = (*m_environment.handler)(m_parser->request());
            if (std::optional<NonBlockingScope::Write> write = scope.takeWrite())
                reply = startWrite(std::move(*write), std::move(*reply), keepAlive);
        } catch (const WouldBlock&) {
            return false;
        }
    }
    if (reply)
        send(std::move(*reply), keepAlive);
    return true;
}

std::optional<Reply> HttpSession::startWrite(NonBlockingScope::Write write, Reply reply, bool keepAlive)
{
    if (!write.replyWaits) {
        try {
            write.start({});
        } catch (const WouldBlock&) {
            throw;
        } catch (...) {
            return Reply::failure(std::current_exception(), m_parser->request().path);
        }
        return reply;
    }
    DeferredReplies& deferred = *m_environment.deferred;
    deferred.add();
    try {
        write.start([self = shared_from_this(), reply = std::move(reply), keepAlive](std::exception_ptr error) mutable {
            Reply answer = error ? Reply::failure(error, self->m_parser->request().path) : std::move(reply);
            DeferredReplies& deferred = *self->m_environment.deferred;
            boost::asio::io_context& network = *self->m_environment.network;
            // Nothing of the session is pending while its reply waits, so any network
            // thread may start the reply; its completion runs on the session's strand.
            deferred.deliver(network, [self = std::move(self), answer = std::move(answer), keepAlive]() mutable {
                self->send(std::move(answer), keepAlive);
            });
        });
    } catch (...) {
        // Not queued: the write's callback will never be called.
        deferred.withdraw();
        throw;
    }
    return std::nullopt;
}

void HttpSession::send(Reply reply, bool keepAlive)
{
    // The handler is done with the body: its room goes back before the client can see the
    // reply and send the next one.
    m_parser->releaseBody();
    m_reply.emplace(std::move(reply));
    m_response.emplace();
    m_response->version(m_parser->version());
    m_response->result(m_reply->status());
    m_response->set(http::field::content_type, m_reply->contentType());
    // A refusal for want of room (derivations, connections) says when to come back.
    if (m_reply->status() == 503)
        m_response->set(http::field::retry_after, "1");
    m_response->body() = http::span_body<const char>::value_type(m_reply->body().constData(), std::size_t(m_reply->body().size()));
    m_response->prepare_payload();
    m_response->keep_alive(keepAlive);
    // Says how long an idle connection is kept, so that a client can stop sending on one that
    // is about to close rather than race the close.
    const auto idleSeconds = std::chrono::duration_cast<std::chrono::seconds>(m_environment.limits->idleTimeout).count();
    if (keepAlive && idleSeconds > 0)
        m_response->set(http::field::keep_alive, "timeout=" + std::to_string(idleSeconds));
    m_stream.expires_after(m_environment.limits->replyDeadline);
    http::async_write(m_stream, *m_response,
                      [self = shared_from_this(), keepAlive](error_code ec, std::size_t) { self->onSent(ec, keepAlive); });
}

void HttpSession::onSent(error_code ec, bool keepAlive)
{
    m_response.reset();
    m_reply.reset();
    if (ec)
        return;
    if (!keepAlive)
        return closeAfterReply();
    awaitRequest();
}

void HttpSession::refuse(int status)
{
    const auto code = http::int_to_status(unsigned(status));
    send(Reply::error(status, std::string(http::obsolete_reason(code))), false);
}

void HttpSession::closeAfterReply()
{
    // The request's body and its room in the budget go now, not when the lingering ends.
    m_parser.reset();
    error_code ignored;
    // Nothing more is coming from a client that has sent all it meant to: close at once.
    if (m_buffer.size() == 0 && m_stream.socket().available(ignored) == 0) {
        m_stream.socket().shutdown(net::ip::tcp::socket::shutdown_both, ignored);
        m_stream.close();
        return;
    }
    m_stream.socket().shutdown(net::ip::tcp::socket::shutdown_send, ignored);
    m_buffer.clear();
    m_lingerEnd = Clock::now() + kLinger;
    discardUntilClosed();
}

void HttpSession::discardUntilClosed()
{
    m_stream.expires_at(m_lingerEnd);
    m_stream.async_read_some(m_buffer.prepare(std::min(kDiscardChunk, m_buffer.max_size())),
                             [self = shared_from_this()](error_code ec, std::size_t length) {
                                 self->m_discarded += length;
                                 if (ec || self->m_discarded > kLingerBytes) {
                                     self->m_stream.close();
                                     return;
                                 }
                                 self->discardUntilClosed();
                             });
}

} // namespace server
