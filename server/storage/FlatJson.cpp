#include "server/storage/FlatJson.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace server {

bool FlatJson::isPlain(const QString& value)
{
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u > 0x7e || u == '"' || u == '\\')
            return false;
    }
    return true;
}

QByteArray FlatJson::object(std::initializer_list<Field> fields)
{
    bool plain = true;
    qsizetype size = 2;
    for (const auto& [key, value] : fields) {
        plain = plain && isPlain(value);
        size += qsizetype(qstrlen(key)) + value.size() + 6;
    }
    if (!plain) {
        QJsonObject object;
        for (const auto& [key, value] : fields)
            object.insert(QLatin1StringView(key), value);
        return QJsonDocument(object).toJson(QJsonDocument::Compact);
    }
    QByteArray json;
    json.reserve(size);
    json += '{';
    for (const auto& [key, value] : fields) {
        if (json.size() > 1)
            json += ',';
        json += '"';
        json += key;
        json += "\":\"";
        json += value.toLatin1();
        json += '"';
    }
    json += '}';
    return json;
}

} // namespace server
