#include "server/FormBody.h"

#include "server/RequestError.h"

#include <gtest/gtest.h>

using namespace server;

namespace {

struct DecodeCase {
    const char* name;
    std::string body;
    QString key;
    std::optional<QString> expected;
};

class FormBodyDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(FormBodyDecode, DecodesValue)
{
    const auto& c = GetParam();
    const auto form = FormBody::parse(c.body);
    ASSERT_TRUE(form.has_value());
    EXPECT_EQ(form->value(c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormBodyDecode,
    ::testing::Values(DecodeCase{"plain", "a=1&b=two", "b", QStringLiteral("two")},
                      DecodeCase{"plusIsSpace", "a=x+y", "a", QStringLiteral("x y")},
                      DecodeCase{"encodedPlus", "a=x%2By", "a", QStringLiteral("x+y")},
                      DecodeCase{"utf8", "t=%E4%B8%93%E9%A1%B9%EF%BC%88A%EF%BC%89", "t", QStringLiteral("专项（A）")},
                      DecodeCase{"rawUtf8", "t=\xE9\x94\x99\xE9\xA2\x98", "t", QStringLiteral("错题")},
                      DecodeCase{"emptyValue", "account=&pwd=", "pwd", QString()},
                      DecodeCase{"keyWithoutEquals", "flag&a=1", "flag", QString()},
                      DecodeCase{"encodedAmpersand", "a=x%26b%3Dy", "a", QStringLiteral("x&b=y")},
                      DecodeCase{"firstWins", "a=1&a=2", "a", QStringLiteral("1")},
                      DecodeCase{"emptyPairsSkipped", "&&a=1&", "a", QStringLiteral("1")},
                      DecodeCase{"absent", "a=1", "b", std::nullopt},
                      DecodeCase{"emptyBody", "", "a", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormBody, EmptyValueIsPresentButEmpty)
{
    const auto form = FormBody::parse("account=&pwd=");
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->has(QStringLiteral("account")));
    EXPECT_TRUE(form->value(QStringLiteral("account"))->isEmpty());
}

TEST(FormBody, RejectsMalformedBodies)
{
    for (const std::string body : {"a=%", "a=%4", "a=%ZZ", "a=%FF%FE", "a=\xC3\x28", "%E4%B8=1"})
        EXPECT_FALSE(FormBody::parse(body).has_value()) << body;
}

TEST(FormBody, RequiredFieldsThrowBadRequest)
{
    const auto form = FormBody::parse("n=12&x=abc&e=");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->requiredInt(QStringLiteral("n")), 12);
    for (const char* key : {"missing", "x", "e"}) {
        try {
            form->requiredInt(QString::fromLatin1(key));
            ADD_FAILURE() << key << " was accepted as a number";
        } catch (const RequestError& e) {
            EXPECT_EQ(e.status(), 400) << key;
        }
    }
    EXPECT_THROW(form->required(QStringLiteral("missing")), RequestError);
    EXPECT_EQ(form->required(QStringLiteral("e")), QString());
}

} // namespace
