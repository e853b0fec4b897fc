#include "server/LoginThrottle.h"

#include <gtest/gtest.h>

using namespace server;

namespace {

class LoginThrottleTest : public ::testing::Test {
protected:
    double m_now = 1000;
    LoginThrottle m_throttle{[this] { return m_now; }};

    void fail(const QString& name, const QString& address, int times)
    {
        for (int i = 0; i < times; ++i)
            m_throttle.recordFailure(name, address);
    }
};

TEST_F(LoginThrottleTest, WrongPasswordsForOneNameSlowItDownToTheCap)
{
    fail("ann", "10.0.0.1", LoginThrottle::kFreeFailuresPerName - 1);
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.1"), 0) << "a typo or two costs nothing";
    double previous = 0;
    for (int i = 0; i < 12; ++i) {
        fail("ann", QStringLiteral("10.0.1.%1").arg(i), 1);
        const double delay = m_throttle.delayFor("ann", "10.0.9.9");
        EXPECT_GT(delay, 0);
        EXPECT_GE(delay, previous) << "the delay never shrinks while guesses go on";
        EXPECT_LE(delay, LoginThrottle::kMaxDelay);
        previous = delay;
    }
    EXPECT_EQ(previous, LoginThrottle::kMaxDelay);
    EXPECT_EQ(m_throttle.delayFor("bob", "10.0.9.9"), 0) << "other names are not slowed";
}

TEST_F(LoginThrottleTest, ARightLoginClearsTheNameAndQuietTimeForgets)
{
    fail("ann", "10.0.0.1", 6);
    m_throttle.recordSuccess("ann");
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.2"), 0);

    fail("ann", "10.0.0.1", 6);
    m_now += LoginThrottle::kForgetAfter + 1;
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.2"), 0);
    fail("ann", "10.0.0.1", 1);
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.2"), 0) << "old failures do not count again";
}

TEST_F(LoginThrottleTest, ManyNamesFromOneAddressSlowThatAddress)
{
    for (int i = 0; i < LoginThrottle::kFreeFailuresPerAddress + 2; ++i)
        fail(QStringLiteral("user%1").arg(i), "10.6.6.6", 1);
    EXPECT_GT(m_throttle.delayFor("fresh-name", "10.6.6.6"), 0);
    EXPECT_EQ(m_throttle.delayFor("fresh-name", "10.0.0.7"), 0);
}

} // namespace
