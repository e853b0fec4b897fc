#include "server/Reply.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace server {

namespace {
const char* const kText = "text/plain; charset=utf-8";
const char* const kJson = "application/json; charset=utf-8";
} // namespace

Reply::Reply(int status, std::string body, const char* contentType)
    : m_status(status)
    , m_body(std::move(body))
    , m_contentType(contentType)
{
}

Reply Reply::text(const QString& text)
{
    return Reply(200, text.toStdString(), kText);
}

Reply Reply::json(const QJsonArray& array)
{
    return Reply(200, QJsonDocument(array).toJson(QJsonDocument::Compact).toStdString(), kJson);
}

Reply Reply::json(const QJsonObject& object)
{
    return Reply(200, QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString(), kJson);
}

Reply Reply::json(const QByteArray& document)
{
    Reply reply(200, std::string(), kJson);
    reply.m_sharedBody = document;
    return reply;
}

Reply Reply::error(int status, const std::string& message)
{
    return Reply(status, message + "\n", kText);
}

} // namespace server
