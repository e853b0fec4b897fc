#include "tests/server/ApiClient.h"

#include "server/Database.h"
#include "server/PasswordDigest.h"
#include "server/ServerInstance.h"

#include <QRegularExpression>
#include <QUrl>
#include <QSet>
#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace server;

namespace {

class AccountApi : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_server.startTemporary(ServerOptions::Seed::None, &error)) << qPrintable(error);
        m_client = std::make_unique<ApiClient>(m_server);
    }

    ApiClient::Result signIn(const QString& name, const QString& password)
    {
        return m_client->post(QStringLiteral("user/login"), {{"account", name}, {"pwd", password}});
    }

    ServerInstance m_server;
    std::unique_ptr<ApiClient> m_client;
};

TEST_F(AccountApi, GuestCheckAsksForAGuestAccount)
{
    const auto reply = m_client->postRaw(QStringLiteral("exam/checkyk"), "");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, "0");
}

TEST_F(AccountApi, GuestRegistrationThenLoginEchoesTheAccount)
{
    const QString name = QStringLiteral("yk_QWERT123456");
    const auto reply = m_client->post(QStringLiteral("user/register"), {{"account", name}, {"pwd", "470219"}});
    ASSERT_EQ(reply.status, 200);
    const QJsonObject account = reply.object();
    EXPECT_EQ(account.value("username").toString(), name);
    EXPECT_EQ(account.value("pwd").toString(), QStringLiteral("470219"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(account.value("code").toString()).hasMatch());

    const auto login = signIn(name, QStringLiteral("470219"));
    EXPECT_EQ(login.status, 200);
    EXPECT_EQ(login.object(), account);
}

TEST_F(AccountApi, TakenNameAnswersTwoAndKeepsTheFirstPassword)
{
    m_client->registerUser(QStringLiteral("student1"), QStringLiteral("first-pass"));
    const auto again = m_client->post(QStringLiteral("user/register"), {{"account", "student1"}, {"pwd", "other-pass"}});
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(again.body, "2");
    EXPECT_EQ(signIn(QStringLiteral("student1"), QStringLiteral("other-pass")).body, "");
    EXPECT_EQ(signIn(QStringLiteral("student1"), QStringLiteral("first-pass")).object().value("pwd").toString(),
              QStringLiteral("first-pass"));
}

TEST_F(AccountApi, EmptyNameOrPasswordAnswersOne)
{
    for (const Fields& fields : {Fields{{"account", ""}, {"pwd", "abcdef"}}, Fields{{"account", "abcdef"}, {"pwd", ""}}})
        EXPECT_EQ(m_client->post(QStringLiteral("user/register"), fields).body, "1");
}

TEST_F(AccountApi, WrongCredentialsAnswerAnEmptyBody)
{
    m_client->registerUser(QStringLiteral("student2"), QStringLiteral("right-pass"));
    // A successful sign-in first, so that a remembered success cannot stand in
    // for the checks below.
    ASSERT_EQ(signIn(QStringLiteral("student2"), QStringLiteral("right-pass")).status, 200);
    ASSERT_NE(signIn(QStringLiteral("student2"), QStringLiteral("right-pass")).body, "");
    const QList<QPair<QString, QString>> wrong = {{"student2", "wrong-pass"}, {"student2", "Right-pass"},
                                                  {"student2", ""}, {"nobody", "right-pass"}, {"Student2", "right-pass"}};
    for (const auto& [name, password] : wrong) {
        const auto reply = signIn(name, password);
        EXPECT_EQ(reply.status, 200) << qPrintable(name);
        EXPECT_EQ(reply.body, "") << qPrintable(name + "/" + password);
    }
}

TEST_F(AccountApi, RepeatedSignInsAnswerEachTheirOwnAccount)
{
    // The second sign-in of each is answered from what the first one verified.
    const QJsonObject ann = m_client->registerUser(QStringLiteral("twin-ann"), QStringLiteral("same-pass"));
    const QJsonObject bob = m_client->registerUser(QStringLiteral("twin-bob"), QStringLiteral("same-pass"));
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(signIn(QStringLiteral("twin-ann"), QStringLiteral("same-pass")).object(), ann);
        EXPECT_EQ(signIn(QStringLiteral("twin-bob"), QStringLiteral("same-pass")).object(), bob);
    }
    EXPECT_EQ(signIn(QStringLiteral("twin-bob"), QStringLiteral("same-pasS")).body, "");
}

TEST_F(AccountApi, PasswordsAreStoredAsSaltedDigests)
{
    m_client->registerUser(QStringLiteral("alice1"), QStringLiteral("same-password"));
    m_client->registerUser(QStringLiteral("bob123"), QStringLiteral("same-password"));
    QSqlQuery q = m_server.database().query(QStringLiteral("SELECT salt, digest FROM account"));
    QSet<QString> salts;
    QSet<QString> digests;
    while (q.next()) {
        EXPECT_NE(q.value(1).toString(), QStringLiteral("same-password"));
        EXPECT_FALSE(q.value(1).toString().contains(QStringLiteral("same")));
        salts << q.value(0).toString();
        digests << q.value(1).toString();
    }
    EXPECT_EQ(salts.size(), 2);
    EXPECT_EQ(digests.size(), 2) << "equal passwords must not give equal digests";
}

TEST_F(AccountApi, DigestsOfAnOlderCountStillVerifyAndAreUpgradedAtTheNextRightLogin)
{
    const QString code = m_client->registerUser(QStringLiteral("elder1"), QStringLiteral("pw-1234")).value("code").toString();
    // Put back a digest as stored before counts were kept: bare hex at the old count.
    const QString salt = PasswordDigest::newSalt();
    const QString legacy = PasswordDigest::derive(QStringLiteral("pw-1234"), salt, PasswordDigest::kLegacyIterations);
    m_server.database().write([&] {
        m_server.database().execute(QStringLiteral("UPDATE account SET salt = ?, digest = ? WHERE code = ?"), {salt, legacy, code});
    });
    auto digest = [&] {
        return m_server.database().scalar(QStringLiteral("SELECT digest FROM account WHERE code = ?"), {code}).toString();
    };

    EXPECT_EQ(signIn(QStringLiteral("elder1"), QStringLiteral("wrong")).body, "");
    EXPECT_EQ(digest(), legacy) << "a wrong password must not touch the digest";
    EXPECT_EQ(signIn(QStringLiteral("elder1"), QStringLiteral("pw-1234")).object().value("code").toString(), code);
    EXPECT_TRUE(digest().startsWith(QStringLiteral("%1$").arg(PasswordDigest::kIterations))) << qPrintable(digest());
    EXPECT_EQ(signIn(QStringLiteral("elder1"), QStringLiteral("pw-1234")).object().value("code").toString(), code);
}

TEST_F(AccountApi, UserCodesAreDistinct)
{
    QSet<QString> codes;
    for (int i = 0; i < 20; ++i)
        codes << m_client->registerUser(QStringLiteral("user%1xx").arg(i)).value("code").toString();
    EXPECT_EQ(codes.size(), 20);
}

TEST_F(AccountApi, AgreementAddressIsServedByTheServer)
{
    const auto reply = m_client->post(QStringLiteral("exam/pactUrl_list"), {{"account", ""}, {"pwd", ""}});
    ASSERT_EQ(reply.status, 200);
    const QString url = reply.array().at(0).toObject().value("pactUrl").toString();
    const QString prefix = QStringLiteral("http://127.0.0.1:%1/PendarWeb/").arg(m_server.port());
    ASSERT_TRUE(url.startsWith(prefix)) << qPrintable(url);
    const auto page = m_client->get(QUrl(url).path().toStdString());
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.text().indexOf(QStringLiteral("用户协议")), -1);
}

TEST_F(AccountApi, FeedbackIsKept)
{
    const auto reply = m_client->post(QStringLiteral("exam/feedback_add"),
                                      {{"rmark", "反馈意见或问题"}, {"contact", "qq 12345"}, {"userAccount", "student3"}});
    EXPECT_EQ(reply.status, 200);
    QSqlQuery q = m_server.database().query(QStringLiteral("SELECT remark, contact, user_account FROM feedback"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("反馈意见或问题"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("qq 12345"));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("student3"));
}

} // namespace
