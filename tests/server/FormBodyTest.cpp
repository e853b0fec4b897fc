#include "server/http/FormBody.h"

#include "server/http/RequestError.h"

#include <gtest/gtest.h>

using namespace server;

// What the client's encoding sends, browsers' "+", and raw UTF-8 all read back; the first of
// two equal keys wins, so a later pair cannot override a field.
TEST(FormBody, DecodesEveryFormOfAValue)
{
    const std::tuple<std::string, QString, std::optional<QString>> cases[] = {
        {"a=1&b=two", "b", "two"},
        {"a=x+y", "a", "x y"},
        {"a=x%2By", "a", "x+y"},
        {"t=%E4%B8%93%E9%A1%B9%EF%BC%88A%EF%BC%89", "t", "专项（A）"},
        {"t=\xE9\x94\x99\xE9\xA2\x98", "t", "错题"},
        {"account=&pwd=", "pwd", ""},
        {"flag&a=1", "flag", ""},
        {"a=x%26b%3Dy", "a", "x&b=y"},
        {"a=1&a=2", "a", "1"},
        {"&&a=1&", "a", "1"},
        {"a=1", "b", std::nullopt},
    };
    for (const auto& [body, key, expected] : cases) {
        const auto form = FormBody::parse(body);
        ASSERT_TRUE(form.has_value()) << body;
        EXPECT_EQ(form->value(key), expected) << body;
    }
    for (const std::string body : {"a=%", "a=%4", "a=%ZZ", "a=%FF%FE", "a=\xC3\x28", "%E4%B8=1"})
        EXPECT_FALSE(FormBody::parse(body).has_value()) << body;
}

TEST(FormBody, MissingOrNonNumericRequiredFieldsAreBadRequests)
{
    const auto form = FormBody::parse("n= 12&x=abc&e=");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->requiredInt("n"), 12);
    EXPECT_EQ(form->required("e"), "");
    for (const char* key : {"missing", "x", "e"})   // each a 400 reply, see the robustness tests
        EXPECT_THROW(form->requiredInt(key), RequestError) << key;
}
