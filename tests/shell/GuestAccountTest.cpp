#include "shell/MainViewController.h"

#include "platform/core/FormBody.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/View.h"
#include "server/ServerInstance.h"
#include "shell/CommonUtil.h"
#include "shell/ServerRequest.h"
#include "support/ShellTest.h"
#include "support/StubServer.h"

#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QRegularExpression kGuestName(QStringLiteral("^yk_[A-Z]{5}[0-9]{6,9}$"));

class GuestAccountTest : public ShellTest {
protected:
    std::shared_ptr<MainViewController> loadHome()
    {
        auto home = MainViewController::create();
        home->loadViewIfNeeded();
        return home;
    }
    // Until the account step has nothing more on its way.
    static bool settle(const MainViewController& home)
    {
        return pumpUntil([&] { return !home.accountRequest() || !home.accountRequest()->isRunning(); });
    }
};

TEST_F(GuestAccountTest, RealServerMakesAGuestThatIsSavedAtOnce)
{
    ServerInstance server;
    QString error;
    ASSERT_TRUE(server.startTemporary(ServerOptions::Seed::Sample, &error)) << error.toStdString();
    useServer(server.baseUrl());

    auto home = loadHome();
    ASSERT_TRUE(pumpUntil([] { return CommonUtil::getAccount().has_value(); }));
    const QJsonObject account = *CommonUtil::getAccount();
    EXPECT_TRUE(kGuestName.match(account.value("username").toString()).hasMatch())
        << account.value("username").toString().toStdString();
    EXPECT_EQ(account.value("pwd").toString(), "470219");
    EXPECT_FALSE(account.value("code").toString().isEmpty());
    // Already in the store, before any background step.
    EXPECT_EQ(storedAccount().toObject(), account);
    EXPECT_EQ(storedSysset().size(), 9);
    EXPECT_TRUE(toastTexts(home->view()).isEmpty());
}

TEST_F(GuestAccountTest, OnlyAPlainZeroAsksForAGuest)
{
    for (const QByteArray& answer : {QByteArray("1"), QByteArray("0\n"), QByteArray(""), QByteArray(" 0")}) {
        SCOPED_TRACE(answer.toStdString());
        StubServer server;
        server.setReply("exam/checkyk", 200, answer);
        server.setReply("user/register", 200, R"({"code":"x","username":"yk_AAAAA123456","pwd":"470219"})");
        useServer(server.baseUrl());
        auto home = loadHome();
        ASSERT_TRUE(settle(*home));
        EXPECT_EQ(server.count("exam/checkyk"), 1);
        EXPECT_EQ(server.count("user/register"), 0);
        EXPECT_FALSE(CommonUtil::getAccount());
    }
}

TEST_F(GuestAccountTest, RegistrationSendsAGeneratedNameAndTheGuestPassword)
{
    StubServer server;
    server.setReply("exam/checkyk", 200, "0");
    server.setReply("user/register", 200, "2");
    useServer(server.baseUrl());
    auto home = loadHome();
    ASSERT_TRUE(pumpUntil([&] { return server.count("user/register") == 1; }));
    ASSERT_TRUE(settle(*home));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_TRUE(requests[0].body.isEmpty());
    const auto fields = core::FormBody::decode(requests[1].body);
    ASSERT_EQ(fields.size(), 2);
    EXPECT_EQ(fields[0].first, "account");
    EXPECT_TRUE(kGuestName.match(fields[0].second).hasMatch()) << fields[0].second.toStdString();
    EXPECT_EQ(fields[1], (QPair<QString, QString>("pwd", "470219")));
    // "2" (name taken) makes no account and says nothing.
    EXPECT_FALSE(CommonUtil::getAccount());
    EXPECT_TRUE(toastTexts(home->view()).isEmpty());
}

TEST_F(GuestAccountTest, OnlyAnObjectBecomesTheAccount)
{
    for (const QByteArray& reply : {QByteArray("1"), QByteArray("[1,2]"), QByteArray("<html>ok</html>")}) {
        SCOPED_TRACE(reply.toStdString());
        StubServer server;
        server.setReply("exam/checkyk", 200, "0");
        server.setReply("user/register", 200, reply);
        useServer(server.baseUrl());
        auto home = loadHome();
        ASSERT_TRUE(pumpUntil([&] { return server.count("user/register") == 1; }));
        ASSERT_TRUE(settle(*home));
        EXPECT_FALSE(CommonUtil::getAccount());
        EXPECT_TRUE(storedAccount().isUndefined());
    }
}

TEST_F(GuestAccountTest, AStoredAccountSendsNothing)
{
    StubServer server;
    server.setReply("exam/checkyk", 200, "0");
    useServer(server.baseUrl());
    CommonUtil::setAccount(QJsonObject{{"code", "u1"}});
    auto home = loadHome();
    EXPECT_FALSE(home->accountRequest());
    core::RunLoop::main().processPending();
    EXPECT_EQ(server.requests().size(), 0);
}

TEST_F(GuestAccountTest, AnErrorStatusShowsTheNetworkToastAndRegistersNobody)
{
    StubServer server;
    server.setReply("exam/checkyk", 500, "0");
    useServer(server.baseUrl());
    auto home = loadHome();
    ASSERT_TRUE(settle(*home));
    EXPECT_EQ(toastTexts(home->view()), QStringList{"网络不给力，请重试"});
    EXPECT_EQ(server.count("user/register"), 0);
    EXPECT_FALSE(CommonUtil::getAccount());
}

} // namespace
