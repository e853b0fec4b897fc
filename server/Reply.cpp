#include "server/Reply.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

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

} // namespace server
