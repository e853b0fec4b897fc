#include "server/signin/RegistrationThrottle.h"

#include <gtest/gtest.h>

using namespace server;

// An address may register a burst at once, then one every interval; refusals say how long to
// wait and count for nothing; other addresses are untouched, and a quiet address is whole again.
TEST(RegistrationThrottle, AnAddressRegistersABurstThenOneAtEachInterval)
{
    double now = 500;
    RegistrationThrottle throttle([&] { return now; });
    for (int i = 0; i < RegistrationThrottle::kBurst; ++i)
        ASSERT_EQ(throttle.admit("10.0.0.1"), 0) << i;
    EXPECT_EQ(throttle.admit("10.0.0.1"), RegistrationThrottle::kInterval);
    EXPECT_EQ(throttle.admit("10.0.0.1"), RegistrationThrottle::kInterval) << "a refusal is not counted";
    EXPECT_EQ(throttle.admit("10.0.0.2"), 0);
    now += RegistrationThrottle::kInterval / 4;
    EXPECT_EQ(throttle.admit("10.0.0.1"), RegistrationThrottle::kInterval * 3 / 4);
    now += RegistrationThrottle::kInterval * 3 / 4;
    EXPECT_EQ(throttle.admit("10.0.0.1"), 0);
    EXPECT_EQ(throttle.admit("10.0.0.1"), RegistrationThrottle::kInterval);
    now += 10 * RegistrationThrottle::kInterval;
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(throttle.admit("10.0.0.1"), 0) << i;
    EXPECT_GT(throttle.admit("10.0.0.1"), 0);
    now += RegistrationThrottle::kBurst * RegistrationThrottle::kInterval;
    for (int i = 0; i < RegistrationThrottle::kBurst; ++i)
        ASSERT_EQ(throttle.admit("10.0.0.1"), 0) << "after a quiet spell " << i;
}
