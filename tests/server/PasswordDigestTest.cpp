#include "server/signin/PasswordDigest.h"

#include <gtest/gtest.h>

using namespace server;

namespace {

struct StoredDigest {
    const char* password;
    const char* salt;
    const char* digest;
};

// Made by the server before its derivation moved to OpenSSL, with Qt's PBKDF2: each must
// keep verifying, at the current count and at the old one (bare hex), for non-ASCII
// passwords as well.
const StoredDigest kStoredBefore[] = {
    {"secret99", "00112233445566778899aabbccddeeff", "100000$fd6bbe38e936c4a28c4480dd7815db15839ca04dc62a7191dac44eefe5c1fcea"},
    {"密码 pass&=%", "f0e1d2c3b4a5968778695a4b3c2d1e0f", "100000$1d79f0b912ea1fd125402ea1123eeda95686b0118618344a80a63b140e2a932b"},
    {"470219", "0123456789abcdef0123456789abcdef", "c7b195c3f341c0872c58b10b5945a2acf7eb7a6bf91973ea4cdca01a34493642"},
    {"Secret Ünïcode", "a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5", "324dc2b7e0409ee007a6bf83d09005aea4cb17ea95524ee9bee03ea5ba7276e3"},
};

} // namespace

TEST(PasswordDigest, DigestsStoredBeforeVerifyTheirPasswordAndNoOther)
{
    for (const StoredDigest& stored : kStoredBefore) {
        const QString password = QString::fromUtf8(stored.password);
        EXPECT_TRUE(PasswordDigest::matches(password, stored.salt, stored.digest)) << stored.password;
        for (const QString& wrong : {password + "x", " " + password, password.left(password.size() - 1), QString()})
            EXPECT_FALSE(PasswordDigest::matches(wrong, stored.salt, stored.digest)) << stored.password << " / " << qPrintable(wrong);
        EXPECT_FALSE(PasswordDigest::matches(password, "ffeeddccbbaa99887766554433221100", stored.digest)) << "another salt";
        EXPECT_EQ(PasswordDigest::needsUpgrade(stored.digest), !QString(stored.digest).contains('$')) << stored.digest;
    }
    // A new digest of the same password and salt is the stored one, byte for byte.
    EXPECT_EQ(PasswordDigest::make("secret99", kStoredBefore[0].salt), kStoredBefore[0].digest);
}

// A count outside what the server ever wrote is refused rather than derived cheaply (or
// for ever), even with the right password.
TEST(PasswordDigest, DamagedCountsNeverVerify)
{
    const QString hex = QString(kStoredBefore[0].digest).section('$', 1);
    for (const char* count : {"4095", "1000001", "", "1e5", "-100000"}) {
        const QString damaged = QString::fromLatin1(count) + '$' + hex;
        EXPECT_EQ(PasswordDigest::iterations(damaged), -1) << count;
        EXPECT_FALSE(PasswordDigest::matches("secret99", kStoredBefore[0].salt, damaged)) << count;
    }
    EXPECT_FALSE(PasswordDigest::matches("secret99", kStoredBefore[0].salt, "100000$" + hex.left(63))) << "a digest cut short";
}
