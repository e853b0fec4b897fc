#include "platform/core/FormBody.h"

#include <gtest/gtest.h>

using core::FormBody;

TEST(FormBodyTest, EncodesEveryKeyAndValueInOrder)
{
    struct Case {
        QString value;
        QByteArray encoded;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"a&b", "a%26b"},
        {"k=v", "k%3Dv"},
        {"1+1", "1%2B1"},
        {"100%", "100%25"},
        {"two words", "two%20words"},
        {"中", "%E4%B8%AD"},
        {"-._~", "-._~"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormBody::encode(c.value), c.encoded) << c.value.toStdString();

    FormBody body;
    body.add("user_code", "u&1").add("subjectCode", 7).add("text", "a=b");
    EXPECT_EQ(body.encoded(), "user_code=u%261&subjectCode=7&text=a%3Db");
    EXPECT_EQ(FormBody({{"x", ""}}).encoded(), "x=");
    EXPECT_EQ(FormBody().encoded(), "");
}

TEST(FormBodyTest, DecodeInvertsEncodeAndReadsPlusAsSpace)
{
    FormBody body{{"text", "&=+%中 x"}, {"n", "1"}};
    const auto pairs = FormBody::decode(body.encoded());
    ASSERT_EQ(pairs.size(), 2);
    EXPECT_EQ(pairs[0].first, "text");
    EXPECT_EQ(pairs[0].second, QStringLiteral("&=+%中 x"));
    EXPECT_EQ(pairs[1].second, "1");
    const auto browser = FormBody::decode("a=b+c&flag");
    ASSERT_EQ(browser.size(), 2);
    EXPECT_EQ(browser[0].second, "b c");
    EXPECT_EQ(browser[1].first, "flag");
}
