#include "server/http/Reply.h"

#include "server/http/RequestError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QtGlobal>

#include <utility>

namespace server {

namespace {
const char* const kText = "text/plain; charset=utf-8";
const char* const kJson = "application/json; charset=utf-8";
const char* const kHtml = "text/html; charset=utf-8";
} // namespace

Reply::Reply(int status, QByteArray body, const char* contentType)
    : m_status(status)
    , m_body(std::move(body))
    , m_contentType(contentType)
{
}

Reply Reply::text(const QString& text)
{
    return Reply(200, text.toUtf8(), kText);
}

Reply Reply::json(const QJsonArray& array)
{
    return Reply(200, QJsonDocument(array).toJson(QJsonDocument::Compact), kJson);
}

Reply Reply::json(const QJsonObject& object)
{
    return Reply(200, QJsonDocument(object).toJson(QJsonDocument::Compact), kJson);
}

Reply Reply::json(const QByteArray& document)
{
    return Reply(200, document, kJson);
}

Reply Reply::html(const QByteArray& page)
{
    return Reply(200, page, kHtml);
}

Reply Reply::plain(int status, const QByteArray& body)
{
    return Reply(status, body, kText);
}

Reply Reply::error(int status, const std::string& message)
{
    return Reply(status, QByteArray::fromStdString(message + "\n"), kText);
}

Reply Reply::failure(const std::exception_ptr& failure, const std::string& what)
{
    try {
        std::rethrow_exception(failure);
    } catch (const RequestError& e) {
        return error(e.status(), e.what());
    } catch (const std::exception& e) {
        qWarning("qbank-server: %s failed: %s", what.c_str(), e.what());
    } catch (...) {
        qWarning("qbank-server: %s failed", what.c_str());
    }
    return error(500, "internal error");
}

} // namespace server
