#include "tests/server/ApiClient.h"

#include "server/Database.h"
#include "server/PasswordDigest.h"

#include <QRegularExpression>
#include <QSet>

using namespace server;

class AccountApi : public ServerTest {
protected:
    AccountApi() : ServerTest(ServerOptions::Seed::None) {}
    ApiClient::Result signIn(const QString& name, const QString& password)
    {
        return post("user/login", {{"account", name}, {"pwd", password}});
    }
};

// The guest check asks for a guest account; a registration answers the record that a sign-in
// then echoes; a taken name answers "2" and keeps its password, an empty field "1".
TEST_F(AccountApi, RegistrationAndSignInAnswerTheAccountRecord)
{
    EXPECT_EQ(post("exam/checkyk", {}).body, "0");
    const QJsonObject account = post("user/register", {{"account", "yk_QWERT123456"}, {"pwd", "470219"}}).object();
    EXPECT_EQ(account.value("username"), "yk_QWERT123456");
    EXPECT_EQ(account.value("pwd"), "470219");
    EXPECT_TRUE(QRegularExpression("^[0-9a-f]{32}$").match(account.value("code").toString()).hasMatch());
    EXPECT_EQ(signIn("yk_QWERT123456", "470219").object(), account);

    EXPECT_EQ(post("user/register", {{"account", "yk_QWERT123456"}, {"pwd", "other"}}).body, "2");
    EXPECT_EQ(signIn("yk_QWERT123456", "other").body, "");
    for (const Fields& fields : {Fields{{"account", ""}, {"pwd", "abcdef"}}, Fields{{"account", "abcdef"}, {"pwd", ""}}})
        EXPECT_EQ(post("user/register", fields).body, "1");
}

// Equal passwords are stored as different salted digests; remembered sign-ins answer each their
// own account, and wrong credentials answer 200 with an empty body even after a right one.
TEST_F(AccountApi, SignInsAnswerTheirOwnAccountOrNothingAndOldDigestsUpgrade)
{
    const QJsonObject twin = client->registerUser("twin-bob");   // the same password as tester01
    const QStringList digests = server.database().column("SELECT digest FROM account");
    EXPECT_EQ(QSet<QString>(digests.begin(), digests.end()).size(), 2);
    EXPECT_TRUE(digests.filter("secret").isEmpty());
    // A digest as stored before counts were kept: bare hex at the old count.
    const QString salt = PasswordDigest::newSalt();
    const QString legacy = PasswordDigest::derive("secret99", salt, 4096);
    server.database().write([&] {
        server.database().execute("UPDATE account SET salt = ?, digest = ? WHERE code = ?", {salt, legacy, user});
    });
    auto digest = [&] { return server.database().scalar("SELECT digest FROM account WHERE code = ?", {user}).toString(); };
    EXPECT_EQ(signIn("tester01", "wrong").body, "");
    EXPECT_EQ(digest(), legacy) << "a wrong password must not touch the digest";
    EXPECT_EQ(signIn("tester01", "secret99").object().value("code"), user);
    EXPECT_TRUE(digest().startsWith("100000$")) << qPrintable(digest());
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(signIn("tester01", "secret99").object().value("code"), user);
        EXPECT_EQ(signIn("twin-bob", "secret99").object(), twin);
    }
    const QList<QPair<QString, QString>> wrong = {
        {"tester01", "wrong-pass"}, {"tester01", "Secret99"}, {"tester01", ""}, {"nobody", "secret99"}, {"Tester01", "secret99"}};
    for (const auto& [name, password] : wrong) {
        const auto reply = signIn(name, password);
        EXPECT_EQ(QString::number(reply.status) + reply.text(), "200") << qPrintable(name + "/" + password);
    }
    EXPECT_EQ(post("exam/feedback_add", {{"rmark", "反馈 a&b"}, {"contact", "qq 12345"}, {"userAccount", "tester01"}}).body, "1");
    EXPECT_EQ(server.database().row("SELECT remark, contact, user_account FROM feedback"),
              (QVariantList{"反馈 a&b", "qq 12345", "tester01"}));
}

