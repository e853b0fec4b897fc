#include "server/VerifiedLogins.h"

#include <gtest/gtest.h>

using namespace server;

TEST(VerifiedLogins, MatchesOnlyTheRememberedTriple)
{
    VerifiedLogins logins;
    EXPECT_FALSE(logins.matches("ann", "s1", "pw"));
    logins.remember("ann", "s1", "pw");
    EXPECT_TRUE(logins.matches("ann", "s1", "pw"));
    const struct {
        const char* user;
        const char* salt;
        const char* password;
    } others[] = {{"ann", "s1", "pw "}, {"ann", "s1", "PW"}, {"ann", "s2", "pw"}, {"bob", "s1", "pw"}, {"ann", "s1", ""},
                  // The separator keeps shifted boundaries apart.
                  {"ann", "s1p", "w"}};
    for (const auto& o : others)
        EXPECT_FALSE(logins.matches(o.user, o.salt, o.password)) << o.user << "/" << o.salt << "/" << o.password;
}

TEST(VerifiedLogins, ANewPasswordReplacesTheOld)
{
    VerifiedLogins logins;
    logins.remember("ann", "s1", "old");
    logins.remember("ann", "s1", "new");
    EXPECT_FALSE(logins.matches("ann", "s1", "old"));
    EXPECT_TRUE(logins.matches("ann", "s1", "new"));
}

TEST(VerifiedLogins, KeysDifferBetweenProcessesOfTheStore)
{
    VerifiedLogins first;
    VerifiedLogins second;
    first.remember("ann", "s1", "pw");
    EXPECT_FALSE(second.matches("ann", "s1", "pw"));
}
