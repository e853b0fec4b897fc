#include "server/storage/FlatJson.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <gtest/gtest.h>

using namespace server;

// Every value comes out as the JSON document writes it, whether it takes the quick way
// (each printable ASCII character) or needs escaping or is not ASCII at all.
TEST(FlatJson, WritesWhatTheJsonDocumentWrites)
{
    QStringList values{"", "yk_QWERT123456", "专项（A）", "é", "a\"b", "a\\b", "tab\there", "line\n", "\x1f",
                       QString(QChar(0x7f)), QString(QChar(0xd800))};
    for (char16_t c = 0x20; c < 0x7f; ++c)
        values << QStringLiteral("x") + QChar(c) + QStringLiteral("y");
    for (const QString& value : values) {
        const QJsonObject reference{{"code", "C1"}, {"pwd", value}, {"username", value + value}};
        EXPECT_EQ(FlatJson::object({{"code", "C1"}, {"pwd", value}, {"username", value + value}}),
                  QJsonDocument(reference).toJson(QJsonDocument::Compact))
            << qPrintable(value);
    }
}
