#include "platform/core/FormBody.h"

#include <QUrl>

namespace core {

FormBody::FormBody(std::initializer_list<QPair<QString, QString>> pairs)
    : m_pairs(pairs)
{
}

FormBody& FormBody::add(const QString& key, const QString& value)
{
    m_pairs.append({key, value});
    return *this;
}

QByteArray FormBody::encode(const QString& text)
{
    // Unreserved characters stay; everything else, spaces included, becomes %XX of its UTF-8.
    return QUrl::toPercentEncoding(text);
}

QByteArray FormBody::encoded() const
{
    QByteArray out;
    for (const auto& [key, value] : m_pairs) {
        if (!out.isEmpty())
            out += '&';
        out += encode(key);
        out += '=';
        out += encode(value);
    }
    return out;
}

QList<QPair<QString, QString>> FormBody::decode(const QByteArray& body)
{
    QList<QPair<QString, QString>> pairs;
    if (body.isEmpty())
        return pairs;
    auto unescape = [](QByteArray part) {
        part.replace('+', ' ');
        return QString::fromUtf8(QByteArray::fromPercentEncoding(part));
    };
    for (const QByteArray& field : body.split('&')) {
        const int eq = field.indexOf('=');
        if (eq < 0)
            pairs.append({unescape(field), QString()});
        else
            pairs.append({unescape(field.left(eq)), unescape(field.mid(eq + 1))});
    }
    return pairs;
}

} // namespace core
