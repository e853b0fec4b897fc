#pragma once

#include <QByteArray>

#include <string>
#include <utility>

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
    // Bytes that already hold a JSON document, shared rather than copied: a cached
    // document of tens of kilobytes is sent straight from the cache.
    static Reply json(const QByteArray& document);
    static Reply error(int status, const std::string& message);

    int status() const { return m_status; }
    const std::string& body() const { return m_body; }
    std::string takeBody() { return std::move(m_body); }
    // The document json(QByteArray) was given; empty for every other reply.
    const QByteArray& sharedBody() const { return m_sharedBody; }
    const char* contentType() const { return m_contentType; }

private:
    Reply(int status, std::string body, const char* contentType);

    int m_status;
    std::string m_body;
    QByteArray m_sharedBody;
    const char* m_contentType;
};

} // namespace server
