#include "platform/core/FormBody.h"

#include <gtest/gtest.h>

using core::FormBody;

// Form syntax, the escape character, spaces and non-ASCII text in a user's value must not
// change the pairs; the unreserved characters stay as they are.
TEST(FormBodyTest, ValuesArePercentEncoded)
{
    const std::pair<QString, QByteArray> cases[] = {
        {"plain", "plain"}, {"a&b", "a%26b"}, {"k=v", "k%3Dv"},         {"1+1", "1%2B1"},
        {"100%", "100%25"}, {"two words", "two%20words"}, {"中", "%E4%B8%AD"}, {"-._~", "-._~"},
    };
    for (const auto& [value, encoded] : cases)
        EXPECT_EQ(FormBody::encode(value), encoded) << value.toStdString();

    FormBody body;
    body.add("user_code", "u&1").add("subjectCode", 7).add("text", "").add("k=", "v");
    EXPECT_EQ(body.encoded(), "user_code=u%261&subjectCode=7&text=&k%3D=v");
    EXPECT_EQ(FormBody().encoded(), "");
}

TEST(FormBodyTest, DecodeInvertsEncodeAndReadsPlusAsSpace)
{
    const QList<QPair<QString, QString>> pairs{{"text", "&=+%中 x"}, {"n", "1"}};
    FormBody body;
    for (const auto& [key, value] : pairs)
        body.add(key, value);
    EXPECT_EQ(FormBody::decode(body.encoded()), pairs);
    EXPECT_EQ(FormBody::decode("a=b+c&flag"), (QList<QPair<QString, QString>>{{"a", "b c"}, {"flag", ""}}));
}
