#include "tests/support/HttpTestClient.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>

#include <chrono>
#include <optional>

namespace beast = boost::beast;
namespace http = boost::beast::http;
namespace net = boost::asio;

namespace {
// Longer than any reply the tests wait for, short enough that a hung server fails a test
// instead of hanging it.
constexpr auto kTimeout = std::chrono::seconds(30);
} // namespace

struct HttpTestClient::Connection {
    net::io_context io;
    std::optional<beast::tcp_stream> stream;
    beast::flat_buffer buffer;
};

HttpTestClient::HttpTestClient(std::string host, int port, std::string source)
    : m_host(std::move(host))
    , m_port(port)
    , m_source(std::move(source))
    , m_connection(std::make_unique<Connection>())
{
}

HttpTestClient::~HttpTestClient() = default;

HttpTestClient::Response HttpTestClient::post(const std::string& target, const std::string& body, const std::string& contentType)
{
    return send(true, target, body, contentType);
}

HttpTestClient::Response HttpTestClient::get(const std::string& target)
{
    return send(false, target, {}, {});
}

HttpTestClient::Response HttpTestClient::send(bool post, const std::string& target, const std::string& body, const std::string& contentType)
{
    http::request<http::string_body> request(post ? http::verb::post : http::verb::get, target, 11);
    request.set(http::field::host, m_host);
    if (post) {
        request.set(http::field::content_type, contentType);
        request.body() = body;
        request.prepare_payload();
    }
    Connection& c = *m_connection;
    // A kept-alive connection the server has closed fails on first use; one fresh try then.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool reused = c.stream.has_value();
        beast::error_code ec;
        if (!reused) {
            c.stream.emplace(c.io);
            c.buffer.clear();
            c.stream->expires_after(kTimeout);
            if (!m_source.empty()) {
                const auto local = net::ip::make_address(m_source, ec);
                if (!ec)
                    c.stream->socket().open(net::ip::tcp::v4(), ec);
                if (!ec)
                    c.stream->socket().bind({local, 0}, ec);
                if (ec) {
                    c.stream.reset();
                    return {};
                }
            }
            c.stream->socket().connect({net::ip::make_address(m_host, ec), net::ip::port_type(m_port)}, ec);
            if (ec) {
                c.stream.reset();
                return {};
            }
            c.stream->socket().set_option(net::ip::tcp::no_delay(true), ec);
        }
        http::response_parser<http::string_body> parser;
        parser.body_limit(64 * 1024 * 1024);
        // Asynchronous operations run to completion here, for the stream's deadline to apply.
        c.stream->expires_after(kTimeout);
        http::async_write(*c.stream, request, [&](beast::error_code written, std::size_t) {
            ec = written;
            if (!ec)
                http::async_read(*c.stream, c.buffer, parser, [&](beast::error_code read, std::size_t) { ec = read; });
        });
        c.io.restart();
        c.io.run();
        if (ec) {
            c.stream.reset();
            if (reused)
                continue;
            return {};
        }
        http::response<http::string_body> response = parser.release();
        if (!response.keep_alive())
            c.stream.reset();
        return {int(response.result_int()), std::move(response.body())};
    }
    return {};
}
