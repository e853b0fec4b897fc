#include "platform/core/Record.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QVariant>

#include <climits>
#include <cmath>
#include <limits>

namespace core {

namespace {

std::optional<QJsonValue> parseDocument(const QByteArray& bytes)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return std::nullopt;
    if (doc.isArray())
        return QJsonValue(doc.array());
    if (doc.isObject())
        return QJsonValue(doc.object());
    return std::nullopt;
}

// The leading-number scan shared by intValue, longLongValue and doubleValue on strings:
// whitespace, an optional sign, then digits (and, for doubles, a fraction and an exponent).
QString numericPrefix(const QString& s, bool allowFraction)
{
    int i = 0;
    const int n = s.size();
    while (i < n && s.at(i).isSpace())
        ++i;
    const int start = i;
    if (i < n && (s.at(i) == u'+' || s.at(i) == u'-'))
        ++i;
    const int digitsStart = i;
    while (i < n && s.at(i) >= u'0' && s.at(i) <= u'9')
        ++i;
    int intDigits = i - digitsStart;
    if (allowFraction) {
        int fracDigits = 0;
        if (i < n && s.at(i) == u'.') {
            int j = i + 1;
            while (j < n && s.at(j) >= u'0' && s.at(j) <= u'9')
                ++j;
            fracDigits = j - i - 1;
            if (intDigits + fracDigits > 0)
                i = j;
        }
        if (intDigits + fracDigits > 0 && i < n && (s.at(i) == u'e' || s.at(i) == u'E')) {
            int j = i + 1;
            if (j < n && (s.at(j) == u'+' || s.at(j) == u'-'))
                ++j;
            const int expStart = j;
            while (j < n && s.at(j) >= u'0' && s.at(j) <= u'9')
                ++j;
            if (j > expStart)
                i = j;
        }
        if (intDigits + fracDigits == 0)
            return QString();
    } else if (intDigits == 0) {
        return QString();
    }
    return s.mid(start, i - start);
}

bool isIntegerStored(const QJsonValue& v)
{
    return v.isDouble() && v.toVariant().typeId() == QMetaType::LongLong;
}

qint64 clampToInt64(double d)
{
    if (std::isnan(d))
        return 0;
    if (d >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (d <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(d);   // cuts toward zero
}

} // namespace

std::optional<QJsonValue> Record::parse(const QByteArray& bytes)
{
    return parseDocument(bytes);
}

std::optional<QJsonValue> Record::parseFragment(const QByteArray& bytes)
{
    if (auto v = parseDocument(bytes))
        return v;
    // Qt parses only objects and arrays at the top; a scalar parses as the sole element of an array.
    auto wrapped = parseDocument("[" + bytes + "]");
    if (!wrapped || wrapped->toArray().size() != 1)
        return std::nullopt;
    return wrapped->toArray().at(0);
}

QJsonValue Record::value(const QJsonValue& root, const QStringList& path)
{
    QJsonValue current = root;
    for (const QString& key : path) {
        if (current.isObject()) {
            current = current.toObject().value(key);
        } else if (current.isArray()) {
            bool ok = false;
            const int index = key.toInt(&ok);
            const QJsonArray array = current.toArray();
            if (!ok || index < 0 || index >= array.size())
                return QJsonValue(QJsonValue::Undefined);
            current = array.at(index);
        } else {
            return QJsonValue(QJsonValue::Undefined);
        }
    }
    return current;
}

QJsonValue Record::valueForKey(const QJsonValue& root, const QString& key)
{
    return value(root, QStringList{key});
}

QJsonValue Record::valueForKeyPath(const QJsonValue& root, const QString& keyPath)
{
    return value(root, keyPath.split(u'.'));
}

std::optional<qint64> Record::integer(const QJsonValue& v)
{
    if (v.isDouble()) {
        if (isIntegerStored(v))
            return v.toVariant().toLongLong();
        const double d = v.toDouble();
        if (!std::isfinite(d))
            return std::nullopt;
        return clampToInt64(d);
    }
    if (!v.isString())
        return std::nullopt;
    const QString s = v.toString().trimmed();
    bool ok = false;
    const qint64 n = s.toLongLong(&ok);
    if (ok)
        return n;
    if (s.isEmpty() || numericPrefix(s, true) != s)
        return std::nullopt;
    const double d = s.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return clampToInt64(d);
}

qint64 Record::longLongValue(const QString& s)
{
    const QString prefix = numericPrefix(s, false);
    if (prefix.isEmpty())
        return 0;
    bool ok = false;
    const qint64 n = prefix.toLongLong(&ok);
    if (ok)
        return n;
    return prefix.startsWith(u'-') ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
}

int Record::intValue(const QString& s)
{
    const qint64 n = longLongValue(s);
    if (n > INT_MAX)
        return INT_MAX;
    if (n < INT_MIN)
        return INT_MIN;
    return static_cast<int>(n);
}

qint64 Record::longLongValue(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::Bool:
        return v.toBool() ? 1 : 0;
    case QJsonValue::Double:
        return isIntegerStored(v) ? v.toVariant().toLongLong() : clampToInt64(v.toDouble());
    case QJsonValue::String:
        return longLongValue(v.toString());
    default:
        return 0;
    }
}

int Record::intValue(const QJsonValue& v)
{
    const qint64 n = longLongValue(v);
    if (n > INT_MAX)
        return INT_MAX;
    if (n < INT_MIN)
        return INT_MIN;
    return static_cast<int>(n);
}

double Record::doubleValue(const QString& s)
{
    const QString prefix = numericPrefix(s, true);
    return prefix.isEmpty() ? 0.0 : prefix.toDouble();
}

double Record::doubleValue(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::Bool:
        return v.toBool() ? 1.0 : 0.0;
    case QJsonValue::Double:
        return v.toDouble();
    case QJsonValue::String:
        return doubleValue(v.toString());
    default:
        return 0.0;
    }
}

bool Record::boolValue(const QString& s)
{
    int i = 0;
    const int n = s.size();
    while (i < n && s.at(i).isSpace())
        ++i;
    if (i < n && (s.at(i) == u'+' || s.at(i) == u'-'))
        ++i;
    while (i < n && s.at(i) == u'0')
        ++i;
    if (i >= n)
        return false;
    const QChar c = s.at(i);
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

bool Record::boolValue(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::Bool:
        return v.toBool();
    case QJsonValue::Double:
        return v.toDouble() != 0.0;
    case QJsonValue::String:
        return boolValue(v.toString());
    default:
        return false;
    }
}

QString Record::formatNumber(double d)
{
    if (std::isnan(d))
        return QStringLiteral("nan");
    if (std::isinf(d))
        return d > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    if (d == std::trunc(d)) {
        if (std::fabs(d) < 9.2e18)
            return QString::number(static_cast<qint64>(d));
        return QString::number(d, 'f', 0);   // whole numbers never take an exponent
    }
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

QString Record::stringValue(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::String:
        return v.toString();
    case QJsonValue::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QJsonValue::Double:
        if (isIntegerStored(v))
            return QString::number(v.toVariant().toLongLong());
        return formatNumber(v.toDouble());
    case QJsonValue::Null:
        return QStringLiteral("<null>");
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
    case QJsonValue::Undefined:
        return QString();
    }
    return QString();
}

QString Record::bodyText(const QJsonValue& v)
{
    return v.isUndefined() ? QStringLiteral("(null)") : stringValue(v);
}

QString Record::screenText(const QJsonValue& v)
{
    return v.isUndefined() || v.isNull() ? QString() : stringValue(v);
}

} // namespace core
