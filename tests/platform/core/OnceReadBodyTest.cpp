#include "platform/core/OnceReadBody.h"

#include <gtest/gtest.h>

// Qt rewinds a body to send its request again. A rewind is refused unless allowed, each
// allowance is good for one rewind, and a rewound body reads from its start again: a fault
// here sends a form a third time, which the connection's own safeguards can hide.
TEST(OnceReadBodyTest, EachAllowanceIsGoodForOneRewind)
{
    core::OnceReadBody body("text=a%26b&n=1", nullptr);
    EXPECT_EQ(body.readAll(), "text=a%26b&n=1");
    EXPECT_FALSE(body.reset());
    body.allowRewind();
    ASSERT_TRUE(body.reset());
    EXPECT_EQ(body.read(4), "text");
    EXPECT_FALSE(body.reset()) << "one allowance, one rewind";
    EXPECT_EQ(body.readAll(), "=a%26b&n=1");
    body.allowRewind();
    body.refuseRewind();
    EXPECT_FALSE(body.reset());
}
