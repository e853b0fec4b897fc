#pragma once

#include <QHash>
#include <QString>

#include <optional>
#include <string>

namespace server {

// A decoded application/x-www-form-urlencoded body: pairs split on "&" and "=",
// "+" read as a space, percent escapes decoded, the result required to be UTF-8.
class FormBody {
public:
    // nullopt when the body is not well-formed (a bad escape, invalid UTF-8).
    static std::optional<FormBody> parse(const std::string& body);

    bool has(const QString& key) const { return m_values.contains(key); }
    std::optional<QString> value(const QString& key) const;

    // The value of a key the request cannot do without; throws RequestError(400)
    // when the key is absent.
    QString required(const QString& key) const;
    // A whole number; throws RequestError(400) when absent or not a number.
    int requiredInt(const QString& key) const;

private:
    QHash<QString, QString> m_values;
};

} // namespace server
