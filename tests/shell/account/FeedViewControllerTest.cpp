#include "shell/account/FeedViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "platform/core/FormBody.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "server/Database.h"
#include "server/ServerInstance.h"
#include "shell/account/FeedAndScroooViewController.h"
#include "shell/account/SystemViewController.h"
#include "tests/shell/account/AccountScreenTest.h"
#include "tests/support/StubServer.h"

#include <QJsonObject>

namespace {

const QJsonObject kAccount{{"code", "u1"}, {"username", "ann"}, {"pwd", "secret1"}};

class FeedViewControllerTest : public AccountScreenTest {
protected:
    std::shared_ptr<FeedViewController> openForm()
    {
        auto form = FeedViewController::create();
        EXPECT_TRUE(present(form));
        return form;
    }
    static bool isGrey(const ui::TextView& box)
    {
        return box.textColor() == CommonUtil::UIColorFromRGB(FeedViewController::kPlaceholderColor);
    }
    static bool sent(const std::shared_ptr<FeedViewController>& form)
    {
        return pumpUntil([&] { return form->feedbackRequest() && !form->feedbackRequest()->isRunning(); });
    }
    static QList<QPair<QString, QString>> lastBody(const StubServer& server)
    {
        return core::FormBody::decode(server.requests().last().body);
    }
};

TEST_F(FeedViewControllerTest, ThePlaceholderComesAndGoesWithEditing)
{
    auto form = openForm();
    auto remark = form->remark();
    EXPECT_EQ(remark->text(), "反馈意见或问题");
    EXPECT_TRUE(isGrey(*remark));
    EXPECT_EQ(form->contact()->placeholder(), "练习方式：QQ／邮箱／手机号");
    EXPECT_TRUE(screenshot("feedback-form"));

    ASSERT_TRUE(tap(form->view(), "反馈意见"));
    EXPECT_EQ(focus(), remark);
    EXPECT_EQ(remark->text(), "");
    EXPECT_EQ(remark->textColor(), CommonUtil::UIColorFromRGB(0));
    // Leaving it empty brings the grey words back.
    ASSERT_TRUE(tap(form->view(), "联系方式"));
    EXPECT_EQ(remark->text(), "反馈意见或问题");
    EXPECT_TRUE(isGrey(*remark));
    EXPECT_TRUE(form->isShowingPlaceholder());

    // Spaces are text and stay; Return moves to the contact field and adds nothing.
    ASSERT_TRUE(tap(form->view(), "反馈意见"));
    type("  ");
    pressReturn();
    EXPECT_EQ(focus(), form->contact());
    EXPECT_EQ(remark->text(), "  ");
    EXPECT_FALSE(isGrey(*remark));
    EXPECT_FALSE(form->isShowingPlaceholder());
}

TEST_F(FeedViewControllerTest, ChecksSpeakInOrderWithTheirFocusAndSendNothing)
{
    StubServer server;
    useServer(server.baseUrl());
    core::ManualClock clock;
    auto form = openForm();

    // Signed out: only the sign-in message, whatever the boxes hold; no box takes the focus.
    form->remark()->setText("x");
    form->contact()->setText("y");
    ASSERT_TRUE(tap(form->view(), "提交"));
    EXPECT_EQ(toastTexts(form->view()), QStringList{"请先登录？？"});
    EXPECT_FALSE(focus());
    clock.advance(2.0);

    // Signed in with a fresh form whose remark nobody touched: its words are no feedback.
    form->backClick(nullptr);
    clock.advance(1.0);
    ASSERT_TRUE(closes(form));
    CommonUtil::setAccount(kAccount);
    form = openForm();
    form->contact()->setText("qq 123");
    ASSERT_TRUE(tap(form->view(), "提交"));
    EXPECT_EQ(toastTexts(form->view()), QStringList{"请输入反馈意见？？"});
    EXPECT_EQ(focus(), form->remark());
    clock.advance(2.0);

    // Return in an empty contact field runs the checks, then closes the keyboard.
    type("建议");
    form->contact()->setText("");
    ASSERT_TRUE(tap(form->view(), "联系方式"));
    pressReturn();
    EXPECT_EQ(toastTexts(form->view()), QStringList{"请输入联系方式？？"});
    EXPECT_FALSE(focus());
    EXPECT_EQ(form->remark()->text(), "建议");

    core::RunLoop::main().processPending();
    EXPECT_EQ(server.count("exam/feedback_add"), 0);
}

// Words that happen to read like the placeholder are feedback once the user typed them.
TEST_F(FeedViewControllerTest, TypedWordsEqualToThePlaceholderAreSent)
{
    StubServer server;
    server.setReply("exam/feedback_add", 200, "1");
    useServer(server.baseUrl());
    CommonUtil::setAccount(kAccount);
    auto form = openForm();
    ASSERT_TRUE(tap(form->view(), "反馈意见"));
    commit("反馈意见或问题");
    pressReturn();
    type("me@example.org");
    pressReturn();
    ASSERT_TRUE(sent(form));
    ASSERT_EQ(server.count("exam/feedback_add"), 1);
    const auto body = lastBody(server);
    ASSERT_EQ(body.size(), 3);
    EXPECT_EQ(body[0], qMakePair(QString("rmark"), QString("反馈意见或问题")));
    EXPECT_EQ(body[1], qMakePair(QString("contact"), QString("me@example.org")));
    EXPECT_EQ(body[2], qMakePair(QString("userAccount"), QString("ann")));
}

TEST_F(FeedViewControllerTest, AnErrorReplyKeepsTheFormAndItsTexts)
{
    StubServer server;
    server.setReply("exam/feedback_add", 500, "<html>Internal Server Error</html>");
    useServer(server.baseUrl());
    CommonUtil::setAccount(kAccount);
    auto form = openForm();
    ASSERT_TRUE(tap(form->view(), "反馈意见"));
    type("slow pages");
    form->contact()->setText("qq 42");
    form->submitClick(nullptr);
    ASSERT_TRUE(sent(form));
    EXPECT_EQ(toastTexts(form->view()), QStringList{"网络不给力，请重试"});
    EXPECT_TRUE(form->presentingViewController());
    EXPECT_EQ(form->remark()->text(), "slow pages");
    EXPECT_EQ(form->contact()->text(), "qq 42");
    EXPECT_FALSE(CommonUtil::waitOverlay());
}

// From the home screen through the menus, as a user sends feedback; the server keeps it whole.
TEST_F(FeedViewControllerTest, FromTheHomeScreenFeedbackReachesTheServerIntact)
{
    server::ServerInstance& server = startSignedIn();
    auto home = startHome();
    ASSERT_TRUE(tap(home->view(), "系统设置"));
    auto menu = presentedOver<SystemViewController>(m_container);
    ASSERT_TRUE(menu);
    ASSERT_TRUE(tap(menu->view(), "反馈与评分"));
    auto feedMenu = presentedOver<FeedAndScroooViewController>(menu);
    ASSERT_TRUE(feedMenu);
    ASSERT_TRUE(tap(feedMenu->view(), "给我们评分"));   // carries no action
    EXPECT_FALSE(feedMenu->presentedViewController());
    ASSERT_TRUE(tap(feedMenu->view(), "用户反馈"));
    auto form = presentedOver<FeedViewController>(feedMenu);
    ASSERT_TRUE(form);

    ASSERT_TRUE(tap(form->view(), "反馈意见"));
    commit("题目有误");
    type(" a&b+c=d");
    pressReturn();
    type("qq+1&2");
    bool toastWhileOpen = false;
    std::weak_ptr<FeedViewController> weak = form;
    pressReturn();
    ASSERT_TRUE(pumpUntil([&] {
        auto f = weak.lock();
        if (f && toastTexts(f->view()).contains("反馈意见提交成功，我们尽快处理"))
            toastWhileOpen = toastWhileOpen || f->isViewLoaded();
        return !f || !f->feedbackRequest()->isRunning();
    }));
    EXPECT_TRUE(toastWhileOpen);
    EXPECT_TRUE(closes(weak));
    EXPECT_EQ(feedMenu->presentedViewController(), nullptr);
    const QVariantList row = server.database().row(
        QStringLiteral("SELECT remark, contact FROM feedback WHERE user_account = ?"), {QStringLiteral("tester")});
    ASSERT_EQ(row.size(), 2);
    EXPECT_EQ(row[0].toString(), "题目有误 a&b+c=d");
    EXPECT_EQ(row[1].toString(), "qq+1&2");
}

} // namespace
