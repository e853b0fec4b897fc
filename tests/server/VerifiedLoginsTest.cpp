#include "server/signin/VerifiedLogins.h"

#include <gtest/gtest.h>

using namespace server;

// Only the remembered (name, salt, password) matches, in this process's store alone; a new
// password replaces the old one.
TEST(VerifiedLogins, MatchesOnlyTheRememberedTriple)
{
    VerifiedLogins logins;
    logins.remember("ann", "s1", "pw");
    EXPECT_TRUE(logins.matches("ann", "s1", "pw"));
    const char* others[][3] = {{"ann", "s1", "pw "}, {"ann", "s1", "PW"}, {"ann", "s2", "pw"}, {"bob", "s1", "pw"},
                               {"ann", "s1", ""},    {"ann", "s1p", "w"}};   // shifted boundaries stay apart
    for (const auto& o : others)
        EXPECT_FALSE(logins.matches(o[0], o[1], o[2])) << o[0] << "/" << o[1] << "/" << o[2];
    EXPECT_FALSE(VerifiedLogins().matches("ann", "s1", "pw"));
    logins.remember("ann", "s1", "new");
    EXPECT_FALSE(logins.matches("ann", "s1", "pw"));
    EXPECT_TRUE(logins.matches("ann", "s1", "new"));
}
