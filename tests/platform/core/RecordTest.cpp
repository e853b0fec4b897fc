#include "platform/core/Record.h"

#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

using core::Record;

TEST(RecordTest, ParseGivesObjectsAndArraysAndADistinctNotJson)
{
    auto object = Record::parse(R"({"code":"u1","n":3,"list":[1,"2"]})");
    ASSERT_TRUE(object.has_value());
    EXPECT_TRUE(object->isObject());
    auto array = Record::parse(" [ {\"a\": null} ] \n");
    ASSERT_TRUE(array.has_value());
    EXPECT_TRUE(array->isArray());

    // Not JSON (the original's nil), including bare values: the app compares those as text.
    for (const char* text : {"", "0", "1", "\"x\"", "<html>boom</html>", "{\"a\":", "[1,]", "\xff\xfe"})
        EXPECT_FALSE(Record::parse(text).has_value()) << text;

    EXPECT_EQ(Record::parseFragment("2")->toInt(), 2);
    EXPECT_TRUE(Record::parseFragment("null")->isNull());
    EXPECT_FALSE(Record::parseFragment("1, 2").has_value());
    EXPECT_FALSE(Record::parseFragment("").has_value());
}

TEST(RecordTest, NestedReadsUnderAMissingParentAreMissing)
{
    const QJsonValue q = *Record::parse(R"({"TChapter":{"name":"c","TDirectory":{"name":"d"}},
                                           "TExamPaper":null, "smallExams":[{"answer":"A"}]})");
    EXPECT_EQ(Record::value(q, QStringList{"TChapter", "TDirectory", "name"}).toString(), "d");
    EXPECT_EQ(Record::valueForKeyPath(q, "TChapter.name").toString(), "c");
    EXPECT_EQ(Record::value(q, {"TChapter", "name"}).toString(), "c");
    EXPECT_EQ(Record::value(q, QStringList{"smallExams", "0", "answer"}).toString(), "A");
    EXPECT_TRUE(Record::isMissing(Record::value(q, QStringList{"TChapterNode", "name"})));
    EXPECT_TRUE(Record::isMissing(Record::value(q, QStringList{"TExamPaper", "name"})));   // under null
    EXPECT_TRUE(Record::isMissing(Record::value(q, QStringList{"smallExams", "5", "answer"})));
    EXPECT_TRUE(Record::isMissing(Record::value(q, "absent")));
    EXPECT_TRUE(Record::value(q, "TExamPaper").isNull()) << "null is present, not missing";
    EXPECT_EQ(Record::stringValue(Record::value(q, QStringList{"TChapterNode", "name"})), "");
}

TEST(RecordTest, IntegerReadsNumbersAndNumericStrings)
{
    const QJsonValue r = *Record::parse(R"({"a":12,"b":"34","c":" 56 ","d":"7x","e":2.9,"f":"-3","g":null,
                                           "h":9007199254740993,"i":"1e3"})");
    EXPECT_EQ(Record::integer(r["a"]), 12);
    EXPECT_EQ(Record::integer(r["b"]), 34);
    EXPECT_EQ(Record::integer(r["c"]), 56);
    EXPECT_EQ(Record::integer(r["d"]), std::nullopt);
    EXPECT_EQ(Record::integer(r["e"]), 2);
    EXPECT_EQ(Record::integer(r["f"]), -3);
    EXPECT_EQ(Record::integer(r["g"]), std::nullopt);
    EXPECT_EQ(Record::integer(r["missing"]), std::nullopt);
    EXPECT_EQ(Record::integer(r["h"]), 9007199254740993LL) << "large integers are exact";
    EXPECT_EQ(Record::integer(r["i"]), 1000);
}

TEST(RecordTest, IntValueFollowsTheOriginalPrefixRule)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"12abc", 12}, {"", 0}, {"abc", 0}, {"  42", 42}, {"-7", -7}, {"+8", 8}, {"3.9", 3},
        {"007", 7}, {"- 1", 0}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}, {"\n5", 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Record::intValue(QString::fromUtf8(c.text)), c.value) << c.text;
        EXPECT_EQ(Record::intValue(QJsonValue(QString::fromUtf8(c.text))), c.value) << c.text;
    }
    EXPECT_EQ(Record::intValue(QJsonValue(3.99)), 3);
    EXPECT_EQ(Record::intValue(QJsonValue(-3.99)), -3);
    EXPECT_EQ(Record::intValue(QJsonValue(true)), 1);
    EXPECT_EQ(Record::intValue(QJsonValue()), 0);
    EXPECT_EQ(Record::intValue(QJsonValue(QJsonValue::Undefined)), 0);
    EXPECT_EQ(Record::intValue(QJsonValue(QJsonArray{1})), 0);
    EXPECT_EQ(Record::longLongValue(QStringLiteral("1234567890123")), 1234567890123LL);
    EXPECT_DOUBLE_EQ(Record::doubleValue(QStringLiteral(" 2.5e1kg")), 25.0);
    EXPECT_DOUBLE_EQ(Record::doubleValue(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(Record::doubleValue(QStringLiteral("x")), 0.0);
}

TEST(RecordTest, BoolValueFollowsTheOriginalRule)
{
    struct Case {
        const char* text;
        bool value;
    };
    const Case cases[] = {
        {"1", true}, {"0", false}, {"", false}, {"YES", true}, {"yes", true}, {"true", true}, {"T", true},
        {"NO", false}, {"false", false}, {"0001", true}, {"000", false}, {"  9", true}, {"-1", true},
        {"2", true}, {"x1", false}, {"0.5", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Record::boolValue(QString::fromUtf8(c.text)), c.value) << c.text;
    EXPECT_TRUE(Record::boolValue(QJsonValue(2)));
    EXPECT_FALSE(Record::boolValue(QJsonValue(0)));
    EXPECT_TRUE(Record::boolValue(QJsonValue(true)));
    EXPECT_FALSE(Record::boolValue(QJsonValue()));
    EXPECT_FALSE(Record::boolValue(QJsonValue(QJsonValue::Undefined)));
}

TEST(RecordTest, StringValueFormatsAsPercentAt)
{
    const QJsonValue r = *Record::parse(R"({"i":42,"neg":-5,"big":100000000000000000000,"f":0.5,"g":1.25e-7,
                                           "s":"文字","t":true,"z":null,"arr":[1,"a"],"obj":{"k":1},
                                           "whole":3.0,"huge":12345678901234})");
    EXPECT_EQ(Record::stringValue(r["i"]), "42");
    EXPECT_EQ(Record::stringValue(r["neg"]), "-5");
    EXPECT_EQ(Record::stringValue(r["big"]), "100000000000000000000") << "integers never take an exponent";
    EXPECT_EQ(Record::stringValue(r["whole"]), "3");
    EXPECT_EQ(Record::stringValue(r["huge"]), "12345678901234");
    EXPECT_EQ(Record::stringValue(r["f"]), "0.5");
    EXPECT_EQ(Record::stringValue(r["g"]), "1.25e-07");
    EXPECT_EQ(Record::stringValue(r["s"]), QStringLiteral("文字"));
    EXPECT_EQ(Record::stringValue(r["t"]), "1");
    EXPECT_EQ(Record::stringValue(r["z"]), "<null>");
    EXPECT_EQ(Record::stringValue(r["missing"]), "");
    EXPECT_EQ(Record::stringValue(r["arr"]), R"([1,"a"])");
    EXPECT_EQ(Record::stringValue(r["obj"]), R"({"k":1})");
    EXPECT_EQ(Record::stringValue(QJsonValue(7)), "7");
}

// Every JSON shape through the checked reads and the three texts of a value. A reply of the
// wrong shape must read as empty, never as garbage; whole numbers never show ".0" or an
// exponent, however they were written or stored.
TEST(RecordTest, CheckedReadsAndTextsOverEveryJsonType)
{
    const QJsonValue parsed = *Record::parse(R"([3.0, 1e20, -0.0, 1E2, 2.50])");
    struct Row {
        const char* name;
        QJsonValue value;
        const char* text;        // stringValue
        const char* body;        // bodyText
        const char* screen;      // screenText
        int arraySize;           // -1: not an array
        int objectSize;          // -1: not an object
    };
    const Row rows[] = {
        {"undefined", QJsonValue(QJsonValue::Undefined), "", "(null)", "", -1, -1},
        {"null", QJsonValue(QJsonValue::Null), "<null>", "<null>", "", -1, -1},
        {"true", QJsonValue(true), "1", "1", "1", -1, -1},
        {"false", QJsonValue(false), "0", "0", "0", -1, -1},
        {"int", QJsonValue(42), "42", "42", "42", -1, -1},
        {"negative int", QJsonValue(qint64(-9000000000)), "-9000000000", "-9000000000", "-9000000000", -1, -1},
        {"fraction", QJsonValue(-0.125), "-0.125", "-0.125", "-0.125", -1, -1},
        {"whole double", QJsonValue(3.0), "3", "3", "3", -1, -1},
        {"negative zero", QJsonValue(-0.0), "0", "0", "0", -1, -1},
        {"big whole double", QJsonValue(1e20), "100000000000000000000", "100000000000000000000", "100000000000000000000", -1, -1},
        {"parsed 3.0", parsed[0], "3", "3", "3", -1, -1},
        {"parsed 1e20", parsed[1], "100000000000000000000", "100000000000000000000", "100000000000000000000", -1, -1},
        {"parsed -0.0", parsed[2], "0", "0", "0", -1, -1},
        {"parsed 1E2", parsed[3], "100", "100", "100", -1, -1},
        {"parsed 2.50", parsed[4], "2.5", "2.5", "2.5", -1, -1},
        {"empty string", QJsonValue(""), "", "", "", -1, -1},
        {"string", QJsonValue(QStringLiteral("第1章")), "第1章", "第1章", "第1章", -1, -1},
        {"numeric string", QJsonValue("3.0"), "3.0", "3.0", "3.0", -1, -1},
        {"array", QJsonArray{1, "a"}, R"([1,"a"])", R"([1,"a"])", R"([1,"a"])", 2, -1},
        {"empty array", QJsonArray(), "[]", "[]", "[]", 0, -1},
        {"object", QJsonObject{{"k", 1}}, R"({"k":1})", R"({"k":1})", R"({"k":1})", -1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Record::stringValue(row.value), QString::fromUtf8(row.text));
        EXPECT_EQ(Record::bodyText(row.value), QString::fromUtf8(row.body));
        EXPECT_EQ(Record::screenText(row.value), QString::fromUtf8(row.screen));
        EXPECT_EQ(Record::array(row.value).size(), std::max(row.arraySize, 0));
        EXPECT_EQ(Record::object(row.value).size(), std::max(row.objectSize, 0));
        if (row.arraySize >= 0)
            EXPECT_EQ(Record::array(row.value), row.value.toArray());
        if (row.objectSize >= 0)
            EXPECT_EQ(Record::object(row.value), row.value.toObject());
    }
}
