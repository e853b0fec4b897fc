#pragma once

#include <QByteArray>

#include <exception>
#include <string>

class QJsonArray;
class QJsonObject;
class QString;

namespace server {

// One HTTP reply: bare text compared exactly by the client, or compact JSON.
class Reply {
public:
    static Reply text(const QString& text);
    static Reply json(const QJsonArray& array);
    static Reply json(const QJsonObject& object);
    // Bytes that already hold a JSON document.
    static Reply json(const QByteArray& document);
    static Reply html(const QByteArray& page);
    static Reply error(int status, const std::string& message);
    // The reply to a request whose handling threw `failure`: a RequestError's own
    // status and message, anything else logged (with `what`, the request's path) and
    // answered 500.
    static Reply failure(const std::exception_ptr& failure, const std::string& what);
    // Any status with a body of bare text, for servers that script their replies.
    static Reply plain(int status, const QByteArray& body);

    int status() const { return m_status; }
    // Implicitly shared: a cached document of tens of kilobytes is sent straight
    // from the cache, never copied.
    const QByteArray& body() const { return m_body; }
    const char* contentType() const { return m_contentType; }

private:
    Reply(int status, QByteArray body, const char* contentType);

    int m_status;
    QByteArray m_body;
    const char* m_contentType;
};

} // namespace server
