#include "server/HttpRequestParser.h"

#include "server/HttpLimits.h"

#include <QByteArray>

#include <boost/beast/http/error.hpp>

#include <cstring>
#include <limits>

namespace server {

namespace http = boost::beast::http;

HttpRequestParser::HttpRequestParser(const HttpLimits& limits)
    : m_headLeft(std::min<std::size_t>(limits.maxHeadBytes, std::numeric_limits<std::uint32_t>::max()))
    , m_maxFields(limits.maxHeaderFields)
{
    body_limit(limits.maxBodyBytes);
}

std::size_t HttpRequestParser::feed(boost::asio::const_buffer bytes, error_code& ec)
{
    const bool inHead = !is_header_done();
    if (!inHead)
        return put(bytes, ec);
    // Not eager in the head, so that a put() that completes it stops there and what it
    // used is head alone.
    eager(false);
    header_limit(std::uint32_t(std::max<std::size_t>(m_headLeft, 1)));
    const std::size_t used = put(bytes, ec);
    m_headLeft -= std::min(used, m_headLeft);
    if (is_header_done())
        eager(true);
    return used;
}

void HttpRequestParser::on_request_impl(http::verb method, string_view methodText, string_view target, int version, error_code& ec)
{
    m_version = version;
    // The fields parsed in the same put() as the line share what the line left.
    const std::size_t line = methodText.size() + 1 + target.size() + 1 + std::strlen("HTTP/1.1\r\n");
    if (line >= m_headLeft) {
        ec = http::error::header_limit;
        return;
    }
    header_limit(std::uint32_t(m_headLeft - line));
    m_request.method = method == http::verb::post  ? HttpRequest::Method::Post
                       : method == http::verb::get ? HttpRequest::Method::Get
                                                   : HttpRequest::Method::Other;
    const string_view path = target.substr(0, target.find('?'));
    if (path.find('%') == string_view::npos) {
        m_request.path.assign(path.data(), path.size());
        return;
    }
    m_request.path = QByteArray::fromPercentEncoding(QByteArray(path.data(), qsizetype(path.size()))).toStdString();
}

void HttpRequestParser::on_response_impl(int, string_view, int, error_code& ec)
{
    // A request parser is never handed a status line; Beast asks for the override all the same.
    ec = http::error::bad_version;
}

void HttpRequestParser::on_field_impl(http::field, string_view, string_view, error_code& ec)
{
    // Beast parses the fields only once the whole head is in the buffer, which its
    // size limit bounds; the count bounds the work done on them.
    if (++m_fields > m_maxFields)
        ec = http::error::header_limit;
}

void HttpRequestParser::on_header_impl(error_code&)
{
}

void HttpRequestParser::on_body_init_impl(const boost::optional<std::uint64_t>&, error_code&)
{
    // No reserve for the declared length: a client that announces a mebibyte and
    // trickles it holds only what it has sent.
}

std::size_t HttpRequestParser::on_body_impl(string_view body, error_code&)
{
    m_request.body.append(body.data(), body.size());
    return body.size();
}

void HttpRequestParser::on_chunk_header_impl(std::uint64_t, string_view, error_code&)
{
}

std::size_t HttpRequestParser::on_chunk_body_impl(std::uint64_t, string_view body, error_code& ec)
{
    return on_body_impl(body, ec);
}

void HttpRequestParser::on_finish_impl(error_code&)
{
}

} // namespace server
