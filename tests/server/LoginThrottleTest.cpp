#include "server/LoginThrottle.h"

#include <gtest/gtest.h>

using namespace server;

class LoginThrottleTest : public ::testing::Test {
protected:
    double m_now = 1000;
    LoginThrottle m_throttle{[this] { return m_now; }};
};

// Two typos cost nothing; from the third wrong password on, a name waits a quarter second that
// doubles with each failure up to two seconds. A right sign-in clears the name at once, a quiet
// quarter of an hour too, not a moment sooner.
TEST_F(LoginThrottleTest, WrongPasswordsForOneNameSlowItDownToTheCapUntilForgotten)
{
    const double delays[] = {0, 0, 0.25, 0.5, 1, 2, 2, 2};
    for (const double expected : delays) {
        m_throttle.recordFailure("ann", "10.0.0.1");
        EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.2"), expected);
        EXPECT_EQ(m_throttle.delayFor("bob", "10.0.0.2"), 0) << "other names are not slowed";
    }
    m_throttle.recordSuccess("ann");
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.2"), 0);
    for (int i = 0; i < 4; ++i)
        m_throttle.recordFailure("ann", "10.0.0.1");
    m_now += 15 * 60;
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.2"), 0.5);
    m_now += 0.001;
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.2"), 0);
    m_throttle.recordFailure("ann", "10.0.0.1");
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.2"), 0) << "old failures do not count again";
}

// One address may fail twenty times over many names before it is slowed, whatever the name.
TEST_F(LoginThrottleTest, ManyNamesFromOneAddressSlowThatAddressAfterTwenty)
{
    for (int i = 1; i <= 20; ++i) {
        m_throttle.recordFailure(QStringLiteral("user%1").arg(i), "10.6.6.6");
        EXPECT_EQ(m_throttle.delayFor("fresh-name", "10.6.6.6"), i < 20 ? 0 : 0.25) << i;
    }
    m_throttle.recordSuccess("user1");
    EXPECT_EQ(m_throttle.delayFor("fresh-name", "10.6.6.6"), 0.25) << "a right sign-in clears its name, not the address";
    EXPECT_EQ(m_throttle.delayFor("fresh-name", "10.0.0.7"), 0);
}

