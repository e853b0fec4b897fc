#include "platform/core/Record.h"

#include <gtest/gtest.h>

#include <climits>

using core::Record;

TEST(RecordTest, ParseGivesObjectsAndArraysNestedReadsUnderAMissingParentAreMissing)
{
    // Not JSON, including bare values: the app compares those as text.
    for (const char* text : {"", "0", "\"x\"", "<html>boom</html>", "{\"a\":", "[1,]", "\xff\xfe"})
        EXPECT_FALSE(Record::parse(text).has_value()) << text;
    EXPECT_EQ(Record::parseFragment("2")->toInt(), 2);
    EXPECT_FALSE(Record::parseFragment("1, 2").has_value());

    const QJsonValue q = *Record::parse(R"({"TChapter":{"TDirectory":{"name":"d"}}, "TExamPaper":null,
                                           "smallExams":[{"answer":"A"}]})");
    EXPECT_EQ(Record::value(q, {"TChapter", "TDirectory", "name"}).toString(), "d");
    EXPECT_EQ(Record::valueForKeyPath(q, "smallExams.0.answer").toString(), "A");
    for (const char* path : {"TChapterNode.name", "TExamPaper.name", "smallExams.1.answer", "smallExams.-1"})
        EXPECT_TRUE(Record::isMissing(Record::valueForKeyPath(q, path))) << path;
    EXPECT_TRUE(Record::value(q, "TExamPaper").isNull()) << "null is present, not missing";
}

TEST(RecordTest, NumbersReadFromNumbersAndTheLeadingNumberOfAString)
{
    const std::pair<const char*, int> leading[] = {
        {"12abc", 12}, {"", 0}, {"abc", 0}, {"  42", 42}, {"-7", -7}, {"+8", 8}, {"3.9", 3}, {"007", 7},
        {"- 1", 0},    {"\n5", 5}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const auto& [text, value] : leading)
        EXPECT_EQ(Record::intValue(QJsonValue(QString::fromUtf8(text))), value) << text;
    EXPECT_EQ(Record::intValue(QJsonValue(-3.99)), -3);
    EXPECT_EQ(Record::intValue(QJsonValue(true)), 1);
    EXPECT_EQ(Record::longLongValue(QStringLiteral("1234567890123")), 1234567890123LL);
    EXPECT_DOUBLE_EQ(Record::doubleValue(QStringLiteral(" +2.5e1kg")), 25.0);
    EXPECT_DOUBLE_EQ(Record::doubleValue(QStringLiteral("-.5")), -0.5);

    // integer() takes only a whole numeric value.
    const QJsonValue r = *Record::parse(R"([12, " 34 ", "7x", 2.9, null, 9007199254740993, "1e3", "+5"])");
    const std::optional<qint64> whole[] = {12, 34, std::nullopt, 2, std::nullopt, 9007199254740993LL, 1000, 5};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Record::integer(r[i]), whole[i]) << i;
}

TEST(RecordTest, BoolValueIsYesOnALeadingYTOrNonZeroDigit)
{
    const std::pair<const char*, bool> cases[] = {
        {"1", true},  {"0", false}, {"", false},   {"YES", true}, {"yes", true},  {"true", true}, {"T", true},  {"NO", false},
        {"false", false}, {"0001", true}, {"000", false}, {"  9", true}, {"-1", true}, {"+2", true}, {"x1", false}, {"0.5", false},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(Record::boolValue(QJsonValue(QString::fromUtf8(text))), value) << text;
    EXPECT_TRUE(Record::boolValue(QJsonValue(2)));
    EXPECT_FALSE(Record::boolValue(QJsonValue(0)));
    EXPECT_FALSE(Record::boolValue(QJsonValue()));
}

// "%@" text of every JSON shape: whole numbers never show ".0" or an exponent, however they
// were written or stored. Only missing and null differ between body and screen texts.
TEST(RecordTest, TextsOfEveryJsonShape)
{
    const QJsonValue parsed = *Record::parse(R"([3.0, 1e20, -0.0, 1E2, 2.50, 1.25e-7, -9000000000, true, "3.0", [1,"a"], {"k":false}])");
    const char* texts[] = {"3", "100000000000000000000", "0", "100", "2.5", "1.25e-07", "-9000000000", "1", "3.0", R"([1,"a"])",
                           R"({"k":false})"};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(Record::stringValue(parsed[i]), texts[i]);
        EXPECT_EQ(Record::bodyText(parsed[i]), texts[i]);
        EXPECT_EQ(Record::screenText(parsed[i]), texts[i]);
    }
    const QJsonValue missing(QJsonValue::Undefined);
    const QJsonValue null(QJsonValue::Null);
    EXPECT_EQ(QStringList({Record::stringValue(missing), Record::bodyText(missing), Record::screenText(missing)}),
              QStringList({"", "(null)", ""}));
    EXPECT_EQ(QStringList({Record::stringValue(null), Record::bodyText(null), Record::screenText(null)}),
              QStringList({"<null>", "<null>", ""}));
}
