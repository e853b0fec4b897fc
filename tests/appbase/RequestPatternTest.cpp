#include "appbase/ServerRequest.h"

#include "components/hud/ProgressHUD.h"
#include "platform/core/FormBody.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/View.h"
#include "appbase/CommonUtil.h"
#include "appbase/ServerRequestDelegate.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

namespace {

// A screen's side of the pattern: it records what reached it.
class RecordingScreen : public ServerRequestDelegate {
public:
    struct Reply {
        int tag;
        QByteArray data;
    };
    void requestDidFinish(ServerRequest& request) override { finished.push_back({request.tag(), request.receiveData()}); }
    void requestDidFail(ServerRequest& request) override { failed.push_back(request.tag()); }

    std::vector<Reply> finished;
    std::vector<int> failed;
};

class RequestPatternTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        useServer(m_server.baseUrl());
    }

    std::shared_ptr<ServerRequest> send(const QString& path, int tag = 0, const core::FormBody& body = {})
    {
        return ServerRequest::send(path, body, tag, m_view, m_screen);
    }

    StubServer m_server;
    std::shared_ptr<ui::View> m_view = ui::View::create(ui::Rect(0, 0, 375, 667));
    std::shared_ptr<RecordingScreen> m_screen = std::make_shared<RecordingScreen>();
};

TEST_F(RequestPatternTest, ValuesArePercentEncoded)
{
    m_server.setReply("user/login", 200, "");
    auto request = send("user/login", 0, core::FormBody{{"account", "a&pwd=x"}, {"pwd", "50% 好"}});
    ASSERT_TRUE(pumpUntil([&] { return !request->isRunning(); }));
    ASSERT_EQ(m_server.requests().size(), 1);
    const auto pairs = core::FormBody::decode(m_server.requests()[0].body);
    ASSERT_EQ(pairs.size(), 2);
    EXPECT_EQ(pairs[0].second, "a&pwd=x");
    EXPECT_EQ(pairs[1].second, "50% 好");
}

TEST_F(RequestPatternTest, EachRequestKeepsItsOwnBufferAndTag)
{
    m_server.setReply("exam/checkyk", 200, "0");
    m_server.setReply("exam/subject_type_list", 200, "[{\"typeName\":\"A\"}]");
    auto first = send("exam/checkyk", 2);
    auto second = send("exam/subject_type_list", 1);
    ASSERT_TRUE(pumpUntil([&] { return !first->isRunning() && !second->isRunning(); }));
    ASSERT_EQ(m_screen->finished.size(), 2u);
    for (const auto& reply : m_screen->finished)
        EXPECT_EQ(reply.data, reply.tag == 2 ? "0" : "[{\"typeName\":\"A\"}]");
    EXPECT_NE(m_screen->finished[0].tag, m_screen->finished[1].tag);
}

// An error status and a refused connection end the same way: the network toast, the overlay
// gone, and no reply handed on as an answer.
TEST_F(RequestPatternTest, FailuresShowTheNetworkToastAndHideTheOverlay)
{
    m_server.setReply("exam/paper_list", 500, "<html>Internal Server Error</html>");
    for (const QString& base : {m_server.baseUrl(), refusingServerUrl()}) {
        SCOPED_TRACE(base.toStdString());
        useServer(base);
        m_screen->finished.clear();
        m_screen->failed.clear();
        auto request = send("exam/paper_list", 7);
        auto overlay = CommonUtil::waitOverlay();
        ASSERT_TRUE(overlay);
        EXPECT_EQ(overlay->labelText(), "请稍等………");
        EXPECT_EQ(overlay->superview(), m_view);

        ASSERT_TRUE(pumpUntil([&] { return !request->isRunning(); }));
        EXPECT_EQ(toastTexts(m_view), QStringList{"网络不给力，请重试"});
        EXPECT_FALSE(CommonUtil::waitOverlay());
        EXPECT_TRUE(pumpUntil([&] { return overlay->alpha() == 0; }));
        EXPECT_TRUE(m_screen->finished.empty());
        EXPECT_EQ(m_screen->failed, std::vector<int>{7});
        ASSERT_TRUE(pumpUntil([&] { return toastTexts(m_view).isEmpty(); }));
    }
}

TEST_F(RequestPatternTest, ADismissedScreenIsNotCalledBack)
{
    m_server.setReply("exam/paper_list", 200, "[]");
    std::weak_ptr<RecordingScreen> gone = m_screen;
    std::weak_ptr<ui::View> goneView = m_view;
    auto request = send("exam/paper_list");
    m_screen.reset();
    m_view.reset();
    EXPECT_TRUE(gone.expired());
    EXPECT_TRUE(goneView.expired());
    ASSERT_TRUE(pumpUntil([&] { return !request->isRunning(); }));
    // Its finish still ends the overlay, whichever screen showed it.
    EXPECT_FALSE(CommonUtil::waitOverlay());
}

TEST_F(RequestPatternTest, OneWaitOverlayAtATime)
{
    auto other = ui::View::create(ui::Rect(0, 0, 375, 667));
    CommonUtil::startHttp(m_view, nullptr);
    auto first = CommonUtil::waitOverlay();
    CommonUtil::startHttp(other, nullptr);
    auto second = CommonUtil::waitOverlay();
    ASSERT_NE(first, second);
    EXPECT_EQ(second->superview(), other);
    EXPECT_TRUE(pumpUntil([&] { return first->alpha() == 0; }));
    EXPECT_GT(second->alpha(), 0);

    CommonUtil::stopHttp();
    EXPECT_FALSE(CommonUtil::waitOverlay());
    CommonUtil::stopHttp();
    EXPECT_FALSE(CommonUtil::waitOverlay());
}

TEST_F(RequestPatternTest, ToastsAreTextPanelsThatGoAfterASecond)
{
    core::ManualClock clock;
    CommonUtil::errorAlert("请先登录", m_view);
    CommonUtil::errorAlert("请选择科目", m_view);
    const auto huds = ProgressHUD::allHUDsForView(m_view);
    ASSERT_EQ(huds.size(), 2u);
    EXPECT_EQ(toastTexts(m_view), (QStringList{"请先登录", "请选择科目"}));
    clock.advance(0.9);
    EXPECT_EQ(toastTexts(m_view).size(), 2);
    clock.advance(1.0);
    EXPECT_TRUE(toastTexts(m_view).isEmpty());
    EXPECT_FALSE(CommonUtil::waitOverlay());
}

} // namespace
