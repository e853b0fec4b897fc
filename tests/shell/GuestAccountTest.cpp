#include "shell/MainViewController.h"

#include "platform/core/FormBody.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/View.h"
#include "server/ServerInstance.h"
#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QRegularExpression kGuestName(QStringLiteral("^yk_[A-Z]{5}[0-9]{6,9}$"));

class GuestAccountTest : public AppTest {
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
    server::ServerInstance server;
    QString error;
    ASSERT_TRUE(server.startTemporary(server::ServerOptions::Seed::Sample, &error)) << error.toStdString();
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

// Only a plain "0" with status 200 asks for a guest; an error status also says so.
TEST_F(GuestAccountTest, OnlyAPlainZeroAsksForAGuest)
{
    const struct {
        int status;
        QByteArray answer;
        QStringList toasts;
    } cases[] = {
        {200, "1", {}}, {200, "0\n", {}}, {200, "", {}}, {200, " 0", {}}, {500, "0", {"网络不给力，请重试"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.status << " [" << c.answer.toStdString() << "]");
        StubServer server;
        server.setReply("exam/checkyk", c.status, c.answer);
        server.setReply("user/register", 200, R"({"code":"x","username":"yk_AAAAA123456","pwd":"470219"})");
        useServer(server.baseUrl());
        auto home = loadHome();
        ASSERT_TRUE(settle(*home));
        EXPECT_EQ(server.count("exam/checkyk"), 1);
        EXPECT_EQ(server.count("user/register"), 0);
        EXPECT_FALSE(CommonUtil::getAccount());
        EXPECT_EQ(toastTexts(home->view()), c.toasts);
    }
}

// Registration sends a generated name and the guest password; only an object answer becomes
// the account ("2", name taken, makes none and says nothing).
TEST_F(GuestAccountTest, RegistrationSendsAGeneratedNameAndOnlyAnObjectBecomesTheAccount)
{
    for (const QByteArray& reply : {QByteArray("2"), QByteArray("1"), QByteArray("[1,2]"), QByteArray("<html>ok</html>")}) {
        SCOPED_TRACE(reply.toStdString());
        StubServer server;
        server.setReply("exam/checkyk", 200, "0");
        server.setReply("user/register", 200, reply);
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
        EXPECT_FALSE(CommonUtil::getAccount());
        EXPECT_TRUE(storedAccount().isUndefined());
        EXPECT_TRUE(toastTexts(home->view()).isEmpty());
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

} // namespace
