#include "server/HttpRequestParser.h"

#include "server/HttpLimits.h"

#include <QByteArray>

#include <boost/beast/http/error.hpp>

#include <limits>

namespace server {

namespace http = boost::beast::http;

HttpRequestParser::HttpRequestParser(const HttpLimits& limits)
    : m_maxFields(limits.maxHeaderFields)
{
    header_limit(std::uint32_t(std::min<std::size_t>(limits.maxHeadBytes, std::numeric_limits<std::uint32_t>::max())));
    body_limit(limits.maxBodyBytes);
}

void HttpRequestParser::on_request_impl(http::verb method, string_view, string_view target, int version, error_code&)
{
    m_version = version;
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
