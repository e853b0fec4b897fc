#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <optional>

namespace core {

// The server's JSON replies, kept as Qt JSON values (no typed structs), with the loose reads
// that the Parts rely on. A missing value is QJsonValue::Undefined; JSON null stays Null.
class Record {
public:
    // Parses a reply. std::nullopt means "not JSON" (the original's nil); never throws.
    // Top-level scalars ("1", "\"x\"", "true") parse too, as with fragments allowed.
    static std::optional<QJsonValue> parse(const QByteArray& bytes);

    // value(root, {"TChapter", "TDirectory", "name"}): nested keys; array steps take a decimal
    // index. Anything under a missing or non-container parent reads as missing.
    static QJsonValue value(const QJsonValue& root, const QStringList& path);
    static QJsonValue value(const QJsonValue& root, const QString& key);
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
    static QString formatNumber(double d);
};

} // namespace core
