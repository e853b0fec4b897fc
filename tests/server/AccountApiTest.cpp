#include "tests/server/ApiClient.h"

#include "server/storage/Database.h"
#include "server/signin/LoginThrottle.h"
#include "server/signin/PasswordDigest.h"
#include "server/signin/RegistrationThrottle.h"

#include <QRegularExpression>
#include <QSet>

#include <latch>
#include <thread>
#include <vector>

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


namespace {

// Sends one sign-in per client from `bodies`, all released at once, and answers each reply as
// status and body.
QStringList signInAtOnce(ServerInstance& server, const QList<Fields>& bodies)
{
    QStringList replies(bodies.size());
    std::latch go(1);
    std::vector<std::thread> clients;
    for (qsizetype i = 0; i < bodies.size(); ++i) {
        clients.emplace_back([&, i] {
            ApiClient client(server);
            go.wait();
            const auto reply = client.post("user/login", bodies[i]);
            replies[i] = QString::number(reply.status) + ' ' + reply.text();
        });
    }
    go.count_down();
    for (auto& client : clients)
        client.join();
    return replies;
}

} // namespace

// Twelve clients guessing one name at once get no more guesses checked than one client would:
// the three free ones at most, each answered as a wrong password; the rest are refused (429)
// without a check, the right password too while the name waits. Other names are untouched.
TEST_F(AccountApi, ParallelGuessesForOneNameAreCheckedNoFasterThanSerialOnes)
{
    const QJsonObject other = client->registerUser("other01");
    const QStringList replies = signInAtOnce(server, QList<Fields>(12, Fields{{"account", "tester01"}, {"pwd", "guess"}}));
    EXPECT_LE(replies.count("200 "), LoginThrottle::kFreeFailuresPerName) << qPrintable(replies.join(" | "));
    EXPECT_EQ(replies.filter(QRegularExpression("^429 .+")).size() + replies.count("200 "), 12) << qPrintable(replies.join(" | "));
    for (int i = replies.count("200 "); i < LoginThrottle::kFreeFailuresPerName; ++i)
        EXPECT_EQ(signIn("tester01", "guess").body, "");
    EXPECT_EQ(signIn("tester01", "secret99").status, 429);
    EXPECT_EQ(signIn("other01", "secret99").object(), other);
}

// A remembered password is checked without taking the name's turn: many parallel sign-ins
// of one account all pass.
TEST_F(AccountApi, ParallelSignInsWithARememberedPasswordAllPass)
{
    ASSERT_EQ(signIn("tester01", "secret99").object().value("code"), user);
    QList<Fields> bodies(24, Fields{{"account", "tester01"}, {"pwd", "secret99"}});
    for (const QString& reply : signInAtOnce(server, bodies))
        EXPECT_TRUE(reply.startsWith("200 {")) << qPrintable(reply);
}

// More first sign-ins at once than the derivation pool takes: the excess is answered 503 at
// once, the rest as usual (unknown names: an empty body); once the address has failed too
// often, 429. Nothing else, and the server goes on answering.
TEST_F(AccountApi, SignInsBeyondTheDerivationPlacesAreAnswered503)
{
    QList<Fields> bodies;
    for (int i = 0; i < 48; ++i)
        bodies << Fields{{"account", QStringLiteral("stranger%1").arg(i)}, {"pwd", "guess"}};
    const QStringList replies = signInAtOnce(server, bodies);
    const int busy = replies.filter(QRegularExpression("^503 .+")).size();
    EXPECT_GT(busy, 0) << qPrintable(replies.join(" | "));
    EXPECT_EQ(busy + replies.count("200 ") + replies.filter(QRegularExpression("^429 .+")).size(), 48) << qPrintable(replies.join(" | "));
    EXPECT_EQ(post("exam/checkyk", {}).body, "0");
}

// One address registers a burst of accounts; soon after, a registration is refused (429) and
// stores nothing. (The bucket drains one every interval while the burst is sent, so a slow
// run gets a few more in before the refusal.)
TEST_F(AccountApi, RegistrationsAreBoundedPerAddress)
{
    int registered = 1;   // tester01
    ApiClient::Result reply;
    for (; registered <= RegistrationThrottle::kBurst + 10; ++registered) {
        reply = post("user/register", {{"account", QStringLiteral("burst%1").arg(registered)}, {"pwd", "secret99"}});
        if (reply.status != 200)
            break;
        ASSERT_TRUE(reply.object().contains("code")) << registered;
    }
    EXPECT_EQ(reply.status, 429);
    EXPECT_GE(registered, RegistrationThrottle::kBurst);
    const QString refused = QStringLiteral("burst%1").arg(registered);
    EXPECT_EQ(server.database().scalar("SELECT COUNT(*) FROM account WHERE username = ?", {refused}).toInt(), 0);
    EXPECT_EQ(signIn(refused, "secret99").body, "");
}
