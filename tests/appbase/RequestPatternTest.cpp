#include "appbase/ServerRequest.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequestDelegate.h"
#include "components/hud/ProgressHUD.h"
#include "platform/core/FormBody.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/View.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

namespace {

// A screen's side of the pattern: it records what reached it.
class RecordingScreen : public ServerRequestDelegate {
public:
    void requestDidFinish(ServerRequest& request) override { finished.push_back({request.tag(), request.receiveData()}); }
    void requestDidFail(ServerRequest& request) override { failed.push_back(request.tag()); }

    std::vector<std::pair<int, QByteArray>> finished;
    std::vector<int> failed;
};

class RequestPatternTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        useServer(m_server.baseUrl());
    }
    std::shared_ptr<ServerRequest> send(const QString& path, int tag,
                                        ServerRequest::Overlay overlay = ServerRequest::Overlay::Shown)
    {
        return ServerRequest::send(path, {}, tag, m_view, m_screen, overlay);
    }
    StubServer m_server;
    std::shared_ptr<ui::View> m_view = ui::View::create(ui::Rect(0, 0, 375, 667));
    std::shared_ptr<RecordingScreen> m_screen = std::make_shared<RecordingScreen>();
};

TEST_F(RequestPatternTest, EachRequestKeepsItsOwnReplyAndTag)
{
    m_server.setReply("exam/checkyk", 200, "0");
    m_server.setReply("exam/subject_type_list", 200, "[{\"typeName\":\"A\"}]");
    auto first = send("exam/checkyk", 2);
    auto second = send("exam/subject_type_list", 1);
    ASSERT_TRUE(pumpUntil([&] { return !first->isRunning() && !second->isRunning(); }));
    std::sort(m_screen->finished.begin(), m_screen->finished.end());
    EXPECT_EQ(m_screen->finished, (std::vector<std::pair<int, QByteArray>>{{1, "[{\"typeName\":\"A\"}]"}, {2, "0"}}));
}

// Every status but 200 and a refused connection end alike: the network toast for about a
// second, the request's own overlay gone, and the screen told of a failure, never handed the
// page as an answer.
TEST_F(RequestPatternTest, FailuresShowTheNetworkToastAndHideTheOverlay)
{
    core::ManualClock clock;
    for (int status : {500, 404, 201, 0}) {
        SCOPED_TRACE(status);
        m_server.setReply("exam/paper_list", status, "[]");
        useServer(status ? m_server.baseUrl() : refusingServerUrl());
        m_screen->failed.clear();
        auto request = send("exam/paper_list", 7);
        auto overlay = CommonUtil::waitOverlay();
        ASSERT_TRUE(overlay && request->overlay() == overlay);
        ASSERT_TRUE(pumpUntil([&] { return !request->isRunning(); }));
        EXPECT_EQ(toastTexts(m_view), QStringList{"网络不给力，请重试"});
        EXPECT_TRUE(m_screen->finished.empty());
        EXPECT_EQ(m_screen->failed, std::vector<int>{7});
        clock.advance(0.9);
        EXPECT_EQ(toastTexts(m_view).size(), 1);
        clock.advance(1.1);
        EXPECT_EQ(overlay->alpha(), 0);
        EXPECT_TRUE(toastTexts(m_view).isEmpty());
    }
}

// Requests are never cancelled: a closed screen's write still reaches the server, and the
// request keeps neither the screen nor its view alive to be called back.
TEST_F(RequestPatternTest, AClosedScreensWriteStillReachesTheServer)
{
    m_server.setReply("exam/error_keep_add", 200, "1");
    std::weak_ptr<RecordingScreen> closed = m_screen;
    auto write = send("exam/error_keep_add", 3, ServerRequest::Overlay::None);
    m_screen.reset();
    m_view.reset();
    EXPECT_TRUE(closed.expired());
    ASSERT_TRUE(pumpUntil([&] { return !write->isRunning(); }));
    EXPECT_EQ(m_server.count("exam/error_keep_add"), 1);
}

// The wrong-answer uploads run quietly behind an overlay the screen shows and hides itself:
// a quiet failure shows nothing, one without an overlay of its own only the toast, and only
// the current overlay's handle hides it; a newer overlay replaces the older at once.
TEST_F(RequestPatternTest, AScreensOwnOverlayGoesOnlyByItsHandle)
{
    m_server.setReply("exam/error_keep_add", 500, "<html>Internal Server Error</html>");
    const auto overlay = CommonUtil::startHttp(m_view, nullptr);
    for (auto mode : {ServerRequest::Overlay::Quiet, ServerRequest::Overlay::None}) {
        auto upload = send("exam/error_keep_add", 2, mode);
        ASSERT_TRUE(pumpUntil([&] { return !upload->isRunning(); }));
        EXPECT_EQ(toastTexts(m_view).size(), mode == ServerRequest::Overlay::None ? 1 : 0);
        EXPECT_EQ(CommonUtil::waitOverlay(), overlay);
    }
    EXPECT_EQ(m_screen->failed, (std::vector<int>{2, 2}));

    auto other = ui::View::create(ui::Rect(0, 0, 375, 667));
    const auto next = CommonUtil::startHttp(other, nullptr);
    EXPECT_EQ(next->superview(), other);
    EXPECT_TRUE(pumpUntil([&] { return overlay->alpha() == 0; }));
    CommonUtil::stopHttp(overlay);
    EXPECT_EQ(CommonUtil::waitOverlay(), next);
    CommonUtil::stopHttp(next);
    EXPECT_FALSE(CommonUtil::waitOverlay());
}

} // namespace
