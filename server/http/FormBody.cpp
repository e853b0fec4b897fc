#include "server/http/FormBody.h"

#include "server/http/RequestError.h"

#include <QStringDecoder>

namespace server {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<QByteArray> percentDecode(std::string_view text)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out.append(' ');
            continue;
        }
        if (c != '%') {
            out.append(c);
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexDigit(text[i + 1]);
        const int low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out.append(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return out;
}

bool plainAscii(std::string_view text)
{
    for (const char c : text) {
        if (c == '%' || c == '+' || static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

std::optional<QString> decodeUtf8(std::string_view text)
{
    // Codes and numbers, most of every body, need neither unescaping nor a
    // decoder, whose setup costs more than the text.
    if (plainAscii(text))
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    const auto bytes = percentDecode(text);
    if (!bytes)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString result = decoder.decode(*bytes);
    if (decoder.hasError())
        return std::nullopt;
    return result;
}

} // namespace

std::optional<FormBody> FormBody::parse(const std::string& body)
{
    FormBody form;
    std::string_view rest(body);
    while (!rest.empty()) {
        const size_t amp = rest.find('&');
        const std::string_view pair = rest.substr(0, amp);
        rest = amp == std::string_view::npos ? std::string_view() : rest.substr(amp + 1);
        if (pair.empty())
            continue;
        const size_t eq = pair.find('=');
        const auto key = decodeUtf8(pair.substr(0, eq));
        const auto value = decodeUtf8(eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1));
        if (!key || !value)
            return std::nullopt;
        // The first occurrence wins, so a later pair cannot override a field.
        if (!form.m_values.contains(*key))
            form.m_values.insert(*key, *value);
    }
    return form;
}

std::optional<QString> FormBody::value(const QString& key) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

QString FormBody::required(const QString& key) const
{
    const auto found = value(key);
    if (!found)
        throw RequestError(400, "missing field " + key.toStdString());
    return *found;
}

int FormBody::requiredInt(const QString& key) const
{
    bool ok = false;
    const int number = required(key).trimmed().toInt(&ok);
    if (!ok)
        throw RequestError(400, "field " + key.toStdString() + " is not a number");
    return number;
}

} // namespace server
