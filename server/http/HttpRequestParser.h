#pragma once

#include "server/http/HttpRequest.h"

#include <boost/asio/buffer.hpp>
#include <boost/beast/http/basic_parser.hpp>

#include <optional>

namespace server {

class BodyBudget;
struct HttpLimits;

// Reads one request into an HttpRequest and keeps nothing else: header fields are
// counted and dropped as they are parsed, so a head costs its bytes in the read buffer
// and no more. Over the head's size or field count it fails with header_limit, over
// the body's size with body_limit (Beast checks a declared length before any of the
// body is read), and with errc::not_enough_memory when a body over the small size finds
// no room in the budget. One parser per request, as Beast's parsers are not reused; the
// body's room goes back to the budget with the parser.
//
// Beast consumes complete fields as they arrive and applies its header limit to what
// each put() has not consumed yet, and to the request line apart from the fields; so
// feed() gives it, before each put, what is left of the whole head's limit.
class HttpRequestParser : public boost::beast::http::basic_parser<true> {
public:
    // Without a budget bodies are bounded by their limit alone.
    HttpRequestParser(const HttpLimits& limits, BodyBudget* budget);
    ~HttpRequestParser() override;

    HttpRequestParser(const HttpRequestParser&) = delete;
    HttpRequestParser& operator=(const HttpRequestParser&) = delete;

    // Parses what `bytes` hold and returns how many it used; while in the head, the
    // head's limit counts everything used by earlier calls.
    std::size_t feed(boost::asio::const_buffer bytes, boost::beast::error_code& ec);

    HttpRequest& request() { return m_request; }
    // Frees the body and gives its room back, once the handler is done with it.
    void releaseBody();
    // 10 or 11, for the reply to answer in kind.
    int version() const { return m_version; }

private:
    using error_code = boost::beast::error_code;
    using string_view = boost::beast::string_view;

    void on_request_impl(boost::beast::http::verb method, string_view methodText, string_view target, int version,
                         error_code& ec) override;
    void on_response_impl(int status, string_view reason, int version, error_code& ec) override;
    void on_field_impl(boost::beast::http::field name, string_view nameText, string_view value, error_code& ec) override;
    void on_header_impl(error_code& ec) override;
    void on_body_init_impl(const boost::optional<std::uint64_t>& length, error_code& ec) override;
    std::size_t on_body_impl(string_view body, error_code& ec) override;
    void on_chunk_header_impl(std::uint64_t size, string_view extensions, error_code& ec) override;
    std::size_t on_chunk_body_impl(std::uint64_t remain, string_view body, error_code& ec) override;
    void on_finish_impl(error_code& ec) override;
    // Grows the body's buffer to take `more` bytes, its room taken from the budget first;
    // false, nothing changed, when the budget has none.
    bool makeRoom(std::size_t more);
    // The budget's share of a buffer of `capacity` bytes: nothing while it is small.
    std::size_t costOf(std::size_t capacity) const;

    // What the head may still use.
    std::size_t m_headLeft;
    const std::size_t m_maxFields;
    std::size_t m_fields = 0;
    int m_version = 11;
    BodyBudget* const m_budget;
    const std::size_t m_smallBody;
    const std::size_t m_maxBody;
    // The body's announced length; without one (chunks) the buffer grows up to the limit.
    std::optional<std::size_t> m_declared;
    // What the body's buffer holds of the budget now.
    std::size_t m_charged = 0;
    HttpRequest m_request;
};

} // namespace server
