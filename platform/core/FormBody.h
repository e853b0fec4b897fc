#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <initializer_list>

namespace core {

// An application/x-www-form-urlencoded body: ordered key=value pairs joined by "&", each key
// and value UTF-8 and percent-encoded (everything but A-Z a-z 0-9 - . _ ~), so "&", "=", "+",
// "%" and spaces in a user's text cannot change the pairs. Every request body is built here, so
// no screen can send a value raw.
class FormBody {
public:
    FormBody() = default;
    FormBody(std::initializer_list<QPair<QString, QString>> pairs);

    FormBody& add(const QString& key, const QString& value);
    FormBody& add(const QString& key, const char* value) { return add(key, QString::fromUtf8(value)); }
    FormBody& add(const QString& key, qint64 value) { return add(key, QString::number(value)); }
    FormBody& add(const QString& key, int value) { return add(key, QString::number(value)); }

    const QList<QPair<QString, QString>>& pairs() const { return m_pairs; }
    bool isEmpty() const { return m_pairs.isEmpty(); }
    QByteArray encoded() const;

    static QByteArray encode(const QString& text);
    // The inverse, for tests and the server: "+" reads as a space, as browsers send it.
    static QList<QPair<QString, QString>> decode(const QByteArray& body);

    static constexpr const char* ContentType = "application/x-www-form-urlencoded; charset=utf-8";

private:
    QList<QPair<QString, QString>> m_pairs;
};

} // namespace core
