#include "server/http/HttpRequestParser.h"

#include "server/http/BodyBudget.h"
#include "server/http/HttpLimits.h"

#include <QByteArray>

#include <boost/beast/http/error.hpp>
#include <boost/system/errc.hpp>

#include <cstring>
#include <limits>
#include <utility>

namespace server {

namespace http = boost::beast::http;

HttpRequestParser::HttpRequestParser(const HttpLimits& limits, BodyBudget* budget)
    : m_headLeft(std::min<std::size_t>(limits.maxHeadBytes, std::numeric_limits<std::uint32_t>::max()))
    , m_maxFields(limits.maxHeaderFields)
    , m_budget(budget)
    , m_smallBody(limits.smallBodyBytes)
    , m_maxBody(limits.maxBodyBytes)
{
    body_limit(limits.maxBodyBytes);
}

HttpRequestParser::~HttpRequestParser()
{
    releaseBody();
}

void HttpRequestParser::releaseBody()
{
    // Freed before its room is given back, so that a trim the return sets off finds
    // the memory free.
    std::string().swap(m_request.body);
    if (m_budget)
        m_budget->give(std::exchange(m_charged, 0));
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

void HttpRequestParser::on_body_init_impl(const boost::optional<std::uint64_t>& length, error_code&)
{
    // No reserve for the declared length: a client that announces a mebibyte and
    // trickles it holds only what it has sent. Beast has checked it against the limit.
    if (length)
        m_declared = std::size_t(*length);
}

std::size_t HttpRequestParser::on_body_impl(string_view body, error_code& ec)
{
    if (!makeRoom(body.size())) {
        ec = boost::system::errc::make_error_code(boost::system::errc::not_enough_memory);
        return 0;
    }
    m_request.body.append(body.data(), body.size());
    return body.size();
}

bool HttpRequestParser::makeRoom(std::size_t more)
{
    std::string& body = m_request.body;
    const std::size_t needed = body.size() + more;
    if (needed <= body.capacity())
        return true;
    // Doubling, so that a body costs few copies, but never past what it can hold: its
    // announced length, or the limit. When the budget cannot give that much, the body
    // asks for just what it needs, so it is refused only when its bytes do not fit.
    const std::size_t ceiling = std::max(needed, m_declared.value_or(m_maxBody));
    std::size_t grown = std::min(std::max(needed, 2 * body.capacity()), ceiling);
    const auto charge = [this](std::size_t capacity) {
        const std::size_t cost = costOf(capacity);
        if (cost <= m_charged || !m_budget)
            return true;
        if (!m_budget->take(cost - m_charged))
            return false;
        m_charged = cost;
        return true;
    };
    if (!charge(grown)) {
        grown = needed;
        if (!charge(grown))
            return false;
    }
    // A string's reserve() rounds up to double the old capacity; a new string takes
    // exactly what it is asked for, so the budget counts what is allocated.
    std::string larger;
    larger.reserve(grown);
    larger.append(body);
    body.swap(larger);
    return true;
}

std::size_t HttpRequestParser::costOf(std::size_t capacity) const
{
    return capacity > m_smallBody ? capacity : 0;
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
