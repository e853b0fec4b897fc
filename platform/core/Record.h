#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>
#include <type_traits>

namespace core {

// The server's JSON replies, kept as Qt JSON values (no typed structs), with the loose reads
// that the app relies on. A missing value is QJsonValue::Undefined; JSON null stays Null.
class Record {
public:
    // Parses a reply as the screens read it (NSJSONSerialization, mutable leaves, no
    // fragments): an object or an array. std::nullopt means "not JSON"; never throws.
    static std::optional<QJsonValue> parse(const QByteArray& bytes);
    // Also accepts a top-level scalar ("1", "\"x\"", "true", "null").
    static std::optional<QJsonValue> parseFragment(const QByteArray& bytes);

    // value(root, {"TChapter", "TDirectory", "name"}): nested keys; array steps take a decimal
    // index. Anything under a missing or non-container parent reads as missing.
    static QJsonValue value(const QJsonValue& root, const QStringList& path);
    static QJsonValue value(const QJsonValue& root, std::initializer_list<QString> path)
    {
        return value(root, QStringList(path));
    }
    // One key. A template so that a braced path {"a", "b"} can only mean the list above.
    template<class Key, std::enable_if_t<std::is_convertible_v<const Key&, QString>, int> = 0>
    static QJsonValue value(const QJsonValue& root, const Key& key)
    {
        return valueForKey(root, QString(key));
    }
    static QJsonValue valueForKey(const QJsonValue& root, const QString& key);
    // Key path "a.b.c" (valueForKeyPath:).
    static QJsonValue valueForKeyPath(const QJsonValue& root, const QString& keyPath);
    static bool isMissing(const QJsonValue& v) { return v.isUndefined(); }

    // A number, or a string holding a decimal number (surrounding spaces allowed), as an integer
    // (a fraction is cut toward zero); nullopt for anything else.
    static std::optional<qint64> integer(const QJsonValue& v);

    // intValue: NSNumber truncates; NSString takes its leading decimal number ("12abc" -> 12,
    // "" -> 0, "  -3" -> -3, saturating at the int range); true -> 1; anything else -> 0.
    static int intValue(const QJsonValue& v);
    static int intValue(const QString& s);
    static qint64 longLongValue(const QJsonValue& v);
    static qint64 longLongValue(const QString& s);
    static double doubleValue(const QJsonValue& v);
    static double doubleValue(const QString& s);
    // boolValue: NSString is YES on a leading "Y", "y", "T", "t" or a digit 1-9 after spaces,
    // an optional sign and leading zeros; NSNumber is YES when non-zero; anything else NO.
    static bool boolValue(const QJsonValue& v);
    static bool boolValue(const QString& s);

    // The value as "%@" shows it: strings as they are; integers without an exponent or
    // fraction; other numbers in the shortest form that reads back ("0.5"); booleans "1"/"0"
    // (NSNumber); null "<null>" (NSNull); missing ""; arrays and objects as compact JSON.
    static QString stringValue(const QJsonValue& v);
    // The value as a request body has always carried it: stringValue, but a missing value is
    // "(null)" (a nil inserted with "%@").
    static QString bodyText(const QJsonValue& v);
    // The value as a screen shows it: stringValue, but missing and null show nothing.
    static QString screenText(const QJsonValue& v);

    // Checked reads of a container: the array or object, or an empty one for any other shape,
    // so a reply of the wrong shape reads as "nothing there" rather than as garbage.
    static QJsonArray array(const QJsonValue& v) { return v.isArray() ? v.toArray() : QJsonArray(); }
    static QJsonObject object(const QJsonValue& v) { return v.isObject() ? v.toObject() : QJsonObject(); }
    static QString formatNumber(double d);
};

} // namespace core
