#include "shell/account/FeedViewController.h"

#include "appbase/ServerRequest.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "server/storage/Database.h"
#include "server/ServerInstance.h"
#include "tests/shell/LaunchedAppTest.h"
#include "tests/support/HandServer.h"
#include "tests/support/StubServer.h"

namespace {

class FeedViewControllerTest : public LaunchedAppTest {
protected:
    // Home, settings, feedback and rating, the form: as a user gets there.
    std::shared_ptr<FeedViewController> openForm()
    {
        launch();
        return openFeedbackForm();
    }
    // Types both texts from the keyboard alone: Return after the remark walks to the contact
    // field, Return after the contact sends.
    void sendByKeyboard(const std::shared_ptr<FeedViewController>& form, const QString& remark, const QString& contact)
    {
        ASSERT_TRUE(tap(form, "反馈意见"));
        type(remark);
        pressReturn();
        type(contact);
        pressReturn();
    }
};

// The untouched remark's grey words are no feedback; once the user types, Return walks to the
// contact field and on to sending, and the server keeps both texts whole.
TEST_F(FeedViewControllerTest, TypedFeedbackReachesTheServerIntact)
{
    server::ServerInstance& server = startSignedIn();
    auto form = openForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->remark()->text(), "反馈意见或问题");
    EXPECT_TRUE(shoot("feedback-form"));
    ASSERT_TRUE(tap(form, "联系方式"));
    type("qq+1&2");
    ASSERT_TRUE(tap(form, "提交"));
    EXPECT_EQ(toastTexts(form->view()), QStringList{"请输入反馈意见？？"});
    ASSERT_EQ(focus(), form->remark());
    EXPECT_EQ(form->remark()->text(), "");

    commit("题目有误");
    type(" a&b+c=d");
    pressReturn();
    EXPECT_EQ(focus(), form->contact());
    pressReturn();
    ASSERT_TRUE(pumpUntil([&] { return toastTexts(form->view()).contains("反馈意见提交成功，我们尽快处理"); }));
    ASSERT_TRUE(closes(form));
    EXPECT_FALSE(m_feedMenu->presentedViewController());
    // Closed by its reply while its overlay fades and its toast shows, the form still goes.
    std::weak_ptr<FeedViewController> gone = form;
    form.reset();
    EXPECT_TRUE(pumpUntil([&] { return gone.expired(); }));
    const QVariantList row = server.database().row(
        QStringLiteral("SELECT remark, contact FROM feedback WHERE user_account = ?"), {QStringLiteral("tester")});
    ASSERT_EQ(row.size(), 2);
    EXPECT_EQ(row[0].toString(), "题目有误 a&b+c=d");
    EXPECT_EQ(row[1].toString(), "qq+1&2");
}

// Signed out nothing is sent; an error reply leaves the form open with its texts.
TEST_F(FeedViewControllerTest, SignedOutOrAnErrorReplyKeepsTheForm)
{
    StubServer server;
    server.setReply("exam/checkyk", 200, "1");
    server.setReply("exam/feedback_add", 500, "<html>Internal Server Error</html>");
    useServer(server.baseUrl());
    auto form = openForm();
    ASSERT_TRUE(form);
    ASSERT_NO_FATAL_FAILURE(sendByKeyboard(form, "slow pages", "qq 42"));
    EXPECT_EQ(toastTexts(form->view()), QStringList{"请先登录？？"});
    EXPECT_EQ(server.count("exam/feedback_add"), 0);

    CommonUtil::setAccount(QJsonObject{{"code", "u1"}, {"username", "ann"}});
    ASSERT_TRUE(toastsGone(form->view()));
    ASSERT_TRUE(tap(form, "联系方式"));
    pressReturn();
    ASSERT_TRUE(pumpUntil([&] { return form->feedbackRequest() && !form->feedbackRequest()->isRunning(); }));
    EXPECT_EQ(toastTexts(form->view()), QStringList{"网络不给力，请重试"});
    EXPECT_TRUE(form->presentingViewController());
    EXPECT_EQ(form->remark()->text(), "slow pages");
    EXPECT_EQ(form->contact()->text(), "qq 42");
}

// Under the wait overlay the Return that would send again is held back, as the overlay holds
// back taps on "提交"; the remark's Return only moves on to the contact field, and still does.
TEST_F(FeedViewControllerTest, ReturnUnderTheWaitOverlayMovesOnButSendsOnce)
{
    server::ServerInstance& server = startSignedIn();
    auto form = openForm();
    ASSERT_TRUE(form);
    ASSERT_TRUE(tap(form, "联系方式"));
    type("qq 7");
    ASSERT_TRUE(tap(form, "反馈意见"));
    commit("只发一次");
    ASSERT_TRUE(tap(form, "提交"));
    ASSERT_TRUE(shows(form->view(), "请稍等………"));
    ASSERT_EQ(focus(), form->remark());
    pressReturn();
    EXPECT_EQ(focus(), form->contact());
    EXPECT_EQ(form->remark()->text(), "只发一次");
    pressReturn();
    EXPECT_EQ(focus(), form->contact()) << "no second sending";
    ASSERT_TRUE(closes(form));
    // The last request sent has been answered, however many there were.
    ASSERT_TRUE(pumpUntil([&] { return !form->feedbackRequest()->isRunning(); }));
    server.database().awaitQueuedWrites();
    const QVariantList count = server.database().row(QStringLiteral("SELECT COUNT(*) FROM feedback WHERE user_account = ?"),
                                                     {QStringLiteral("tester")});
    ASSERT_EQ(count.size(), 1);
    EXPECT_EQ(count[0].toInt(), 1);
}

// Back while a box is being edited, empty or not, closes the form and lets it go; the texts
// are dropped. The submit case is the check that puts the focus into the emptied remark.
TEST_F(FeedViewControllerTest, BackWhileABoxIsEditedClosesTheForm)
{
    server::ServerInstance& server = startSignedIn();
    auto form = openForm();
    const struct {
        const char* tapped;
        const char* text;
    } cases[] = {{"反馈意见", ""}, {"反馈意见", "页面太慢"}, {"联系方式", ""}, {"联系方式", "qq 5"}, {"提交", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tapped + std::string(" ") + c.text);
        if (!form)
            form = tapTo<FeedViewController>(m_feedMenu, "用户反馈");
        ASSERT_TRUE(form);
        ASSERT_TRUE(tap(form, c.tapped));
        commit(c.text);
        ASSERT_TRUE(focus()) << "a box is being edited";
        ASSERT_TRUE(toastsGone(form->view()));
        ASSERT_TRUE(tap(form, "返回"));
        std::weak_ptr<FeedViewController> gone = form;
        form.reset();
        EXPECT_TRUE(pumpUntil([&] { return gone.expired(); }));
        EXPECT_FALSE(focus());
        EXPECT_TRUE(m_feedMenu->isAppeared());
    }
    server.database().awaitQueuedWrites();
    EXPECT_EQ(server.database().row(QStringLiteral("SELECT COUNT(*) FROM feedback"), {}).value(0).toInt(), 0);
}

// A connection reset while the feedback is under way is a network failure, said once: the
// feedback is not sent again behind the user's back, and the form keeps the texts.
TEST_F(FeedViewControllerTest, AResetConnectionSendsTheFeedbackOnce)
{
    int sent = 0;
    HandServer server([&sent](QTcpSocket* socket, const QByteArray& request) {
        sent += request.startsWith("POST /PendarWeb/exam/feedback_add ") ? 1 : 0;
        socket->abort();
    });
    useServer(server.url("/PendarWeb/").toString());
    CommonUtil::setAccount(QJsonObject{{"code", "u1"}, {"username", "ann"}});
    auto form = openForm();
    ASSERT_TRUE(form);
    ASSERT_NO_FATAL_FAILURE(sendByKeyboard(form, "lost words", "qq 1"));
    ASSERT_TRUE(pumpUntil([&] { return form->feedbackRequest() && !form->feedbackRequest()->isRunning(); }));
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(toastTexts(form->view()), QStringList{"网络不给力，请重试"});
    EXPECT_TRUE(form->presentingViewController());
    EXPECT_EQ(form->remark()->text(), "lost words");
}

} // namespace
