// The app as a user meets it while the network in between lets go of every kept-alive
// connection just as the next request goes out on it, as proxies and servers with short idle
// time-outs do: every screen still gets its answer, and what the server stores it stores once.
#include "server/ServerInstance.h"
#include "server/storage/Database.h"
#include "shell/LeftViewController.h"
#include "shell/account/LoginViewController.h"
#include "shell/account/RegisterViewController.h"
#include "tests/shell/LaunchedAppTest.h"
#include "tests/support/ClosingProxy.h"

namespace {

const QString kNetworkToast = QStringLiteral("网络不给力，请重试");

class ClosedConnectionsTest : public LaunchedAppTest, public testing::WithParamInterface<ClosingProxy::Loss> {
protected:
    int rows(const QString& sql, const QString& value)
    {
        m_sampleServer->database().awaitQueuedWrites();
        const QVariantList row = m_sampleServer->database().row(sql, {value});
        return row.isEmpty() ? -1 : row[0].toInt();
    }
};

// A fresh start, the subject menu, a registration and a feedback, each sent on a connection
// that had carried an earlier request and was let go of as the request went out.
TEST_P(ClosedConnectionsTest, EveryScreenGetsItsAnswerAndTheServerStoresOnce)
{
    server::ServerInstance& server = startSampleServer();
    ClosingProxy proxy(server.port(), GetParam());
    useServer(proxy.baseUrl());
    launch();

    // The guest account, made on its own and kept.
    ASSERT_TRUE(pumpUntil([] { return CommonUtil::getAccount().has_value(); }));
    const QString guest = storedAccount().toObject().value("username").toString();
    EXPECT_TRUE(guest.startsWith("yk_")) << guest.toStdString();
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM account WHERE username = ?"), guest), 1);

    // The subject menu shows its groups.
    ASSERT_TRUE(tap(m_home, "课程选择"));
    auto menu = std::dynamic_pointer_cast<LeftViewController>(m_container->leftController());
    ASSERT_TRUE(pumpUntil([&] { return m_container->isSideOpen(SidePanelSide::Left) && !menu->isLoadingList(); }));
    EXPECT_TRUE(pumpUntil([&] { return shows(menu->view(), "计算机类"); }));
    EXPECT_FALSE(toastTexts(menu->view()).contains(kNetworkToast));
    m_container->closeLeftView();
    ASSERT_TRUE(pumpUntil([&] { return m_container->isSideClosed(SidePanelSide::Left) && m_container->view()->isUserInteractionEnabled(); }));

    // A registration.
    auto login = tapTo<LoginViewController>(m_home, "用户登陆");
    ASSERT_TRUE(login);
    auto registration = tapTo<RegisterViewController>(login, "注册新用户");
    ASSERT_TRUE(registration);
    ASSERT_TRUE(tap(registration, "请输入账号"));
    type("keptuser");
    pressReturn();
    type("pw1234");
    pressReturn();
    type("pw1234");
    pressReturn();
    ASSERT_TRUE(tap(registration, "立即注册"));
    ASSERT_TRUE(closes(registration));
    ASSERT_TRUE(closes(login));
    EXPECT_EQ(heldName(), "keptuser");
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM account WHERE username = ?"), "keptuser"), 1);

    // A feedback, once the welcome toast has gone.
    ASSERT_TRUE(toastsGone(m_home->view()));
    auto form = openFeedbackForm();
    ASSERT_TRUE(form);
    ASSERT_TRUE(tap(form, "反馈意见"));
    type("kept once");
    ASSERT_TRUE(tap(form, "联系方式"));
    type("qq 5");
    ASSERT_TRUE(tap(form, "提交"));
    ASSERT_TRUE(pumpUntil([&] { return toastTexts(form->view()).contains("反馈意见提交成功，我们尽快处理"); }));
    ASSERT_TRUE(closes(form));
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM feedback WHERE user_account = ?"), "keptuser"), 1);

    for (const auto& view : {m_home->view(), m_feedMenu->view()})
        EXPECT_FALSE(toastTexts(view).contains(kNetworkToast));
    // Every request after the first (the guest check) went out on a kept connection that was
    // let go of: the guest registration, the subject list, the agreement address, the
    // registration and the feedback.
    EXPECT_EQ(proxy.lost(), 5);
}

INSTANTIATE_TEST_SUITE_P(ByCloseAndByReset, ClosedConnectionsTest,
                         testing::Values(ClosingProxy::Loss::Close, ClosingProxy::Loss::Reset));

} // namespace
