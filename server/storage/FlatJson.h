#pragma once

#include <QByteArray>
#include <QString>

#include <initializer_list>
#include <utility>

namespace server {

// A flat JSON object of string values, written as QJsonDocument writes it compactly,
// byte for byte, but without building the document when no value needs escaping: a
// sign-in's reply is written this way on every request.
class FlatJson {
public:
    using Field = std::pair<const char*, QString>;

    // Keys are plain ASCII and given in the order QJsonObject keeps them (sorted).
    static QByteArray object(std::initializer_list<Field> fields);

private:
    // Printable ASCII other than the quote and the backslash: written as it is.
    static bool isPlain(const QString& value);
};

} // namespace server
