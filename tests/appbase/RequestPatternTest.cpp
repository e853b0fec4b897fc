#include "appbase/ServerRequest.h"

#include "components/hud/ProgressHUD.h"
#include "platform/core/FormBody.h"
#include "platform/core/ManualClock.h"
#include "platform/core/Record.h"
#include "platform/ui/View.h"
#include "appbase/CommonUtil.h"
#include "appbase/ServerRequestDelegate.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

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

// Two screens' requests overlap: the first screen is closed while its request runs, the
// second screen's request (to a server that never answers) shows its overlay meanwhile. The
// late endings of the first screen's request, and of requests that show no overlay of their
// own, must leave the second screen's overlay standing.
TEST_F(RequestPatternTest, ALateReplyHidesNoOverlayButItsOwn)
{
    struct Case {
        const char* name;
        int status;
        ServerRequest::Overlay mode;
        bool closeFirstScreen;
    };
    const Case cases[] = {
        {"closed screen, reply", 200, ServerRequest::Overlay::Shown, true},
        {"closed screen, error status", 500, ServerRequest::Overlay::Shown, true},
        {"no overlay, error status", 500, ServerRequest::Overlay::None, false},
        {"quiet, error status", 500, ServerRequest::Overlay::Quiet, false},
        {"quiet, reply", 200, ServerRequest::Overlay::Quiet, false},
    };
    core::ManualClock clock;   // fades only move when the test says so
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QString silentUrl = QStringLiteral("http://127.0.0.1:%1/PendarWeb/").arg(silent.serverPort());
    std::vector<std::shared_ptr<ServerRequest>> waiting;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_server.setReply("exam/paper_list", c.status, "[]");
        auto firstView = ui::View::create(ui::Rect(0, 0, 375, 667));
        auto firstScreen = std::make_shared<RecordingScreen>();
        auto first = ServerRequest::send("exam/paper_list", {}, 1, firstView, firstScreen, c.mode);
        EXPECT_EQ(bool(first->overlay()), c.mode == ServerRequest::Overlay::Shown);

        useServer(silentUrl);
        auto second = send("exam/paper_list", 2);
        waiting.push_back(second);
        useServer(m_server.baseUrl());
        const auto secondOverlay = second->overlay();
        ASSERT_TRUE(secondOverlay);
        ASSERT_EQ(CommonUtil::waitOverlay(), secondOverlay);
        if (c.closeFirstScreen) {
            firstScreen.reset();
            firstView.reset();
        }

        ASSERT_TRUE(pumpUntil([&] { return !first->isRunning(); }));
        EXPECT_EQ(CommonUtil::waitOverlay(), secondOverlay);
        EXPECT_TRUE(toastTexts(m_view).isEmpty()) << "the second screen shows no toast of the first";
        if (c.mode == ServerRequest::Overlay::Quiet)
            EXPECT_TRUE(toastTexts(firstView).isEmpty());
        clock.advance(2);
        EXPECT_EQ(secondOverlay->alpha(), 1);
        EXPECT_TRUE(second->isRunning());
        CommonUtil::stopHttp();
    }
    // The unanswered requests end here, not in a later test.
    silent.close();
    for (auto* connection : silent.findChildren<QTcpSocket*>())
        connection->abort();
    EXPECT_TRUE(pumpUntil([&] { return std::none_of(waiting.begin(), waiting.end(), [](auto& r) { return r->isRunning(); }); }));
}

// A screen that asks again from its reply: the first request's end must not hide the overlay
// the second one has just shown.
TEST_F(RequestPatternTest, ARequestSentFromAReplyKeepsItsOverlay)
{
    struct ChainingScreen : RecordingScreen {
        std::shared_ptr<ui::View> view;
        std::shared_ptr<ServerRequest> next;
        void requestDidFinish(ServerRequest& request) override
        {
            RecordingScreen::requestDidFinish(request);
            if (!next)
                next = ServerRequest::send("exam/paper_list", {}, 2, view, std::make_shared<RecordingScreen>());
        }
    };
    auto screen = std::make_shared<ChainingScreen>();
    screen->view = m_view;
    m_server.setReply("exam/subject_type_list", 200, "[]");
    m_server.setReply("exam/paper_list", 200, "[]");
    auto first = ServerRequest::send("exam/subject_type_list", {}, 1, m_view, screen);
    ASSERT_TRUE(pumpUntil([&] { return !first->isRunning(); }));
    ASSERT_TRUE(screen->next);
    EXPECT_FALSE(first->overlay());
    EXPECT_EQ(CommonUtil::waitOverlay(), screen->next->overlay());
    ASSERT_TRUE(pumpUntil([&] { return !screen->next->isRunning(); }));
    EXPECT_FALSE(CommonUtil::waitOverlay());
}

// The practice screen's uploads of wrong answers run behind an overlay the screen shows and
// hides itself; a failed upload shows nothing and leaves that overlay alone, and the screen
// still hears of it to send the next one.
TEST_F(RequestPatternTest, AQuietFailureShowsNothingAndKeepsTheScreensOverlay)
{
    core::ManualClock clock;
    m_server.setReply("exam/error_keep_add", 500, "<html>Internal Server Error</html>");
    for (const QString& base : {m_server.baseUrl(), refusingServerUrl()}) {
        SCOPED_TRACE(base.toStdString());
        useServer(base);
        m_screen->failed.clear();
        const auto overlay = CommonUtil::startHttp(m_view, nullptr);
        ASSERT_EQ(CommonUtil::waitOverlay(), overlay);
        auto upload = ServerRequest::send("exam/error_keep_add", {}, 2, m_view, m_screen, ServerRequest::Overlay::Quiet);
        EXPECT_FALSE(upload->overlay());
        ASSERT_TRUE(pumpUntil([&] { return !upload->isRunning(); }));
        EXPECT_EQ(m_screen->failed, std::vector<int>{2});
        EXPECT_TRUE(toastTexts(m_view).isEmpty());
        EXPECT_EQ(CommonUtil::waitOverlay(), overlay);
        clock.advance(2);
        EXPECT_EQ(overlay->alpha(), 1);

        // The screen hides its own overlay after the last upload; a stale handle hides nothing.
        CommonUtil::stopHttp(overlay);
        EXPECT_FALSE(CommonUtil::waitOverlay());
        const auto next = CommonUtil::startHttp(m_view, nullptr);
        CommonUtil::stopHttp(overlay);
        EXPECT_EQ(CommonUtil::waitOverlay(), next);
        CommonUtil::stopHttp();
    }
}

// Requests are never cancelled: a favourite the user saved just before closing the screen is
// stored, and the closed screen hears nothing of it.
TEST_F(RequestPatternTest, AClosedScreensWriteStillReachesTheServer)
{
    startSignedIn();
    const QString user = core::Record::screenText(core::Record::value(*CommonUtil::getAccount(), "code"));
    const QString subject = *CommonUtil::getSubjectCode();
    const auto reply = [&](const QString& path, const core::FormBody& body) {
        auto request = send(path, 0, body);
        EXPECT_TRUE(pumpUntil([&] { return !request->isRunning(); }));
        return request->json().value_or(QJsonValue());
    };
    const QJsonValue paper = reply("exam/paper_list", {{"subjectCode", subject}, {"examType", "1"}})[0];
    const QJsonValue question = reply("exam/paper_exam_list", {{"subjectCode", subject}, {"user_code", user},
                                                               {"paperCode", core::Record::screenText(paper["code"])}})[0];
    ASSERT_TRUE(question.isObject()) << "the sample bank has a paper with questions";
    const auto keepCount = [&] {
        return core::Record::intValue(reply("exam/error_keep_count", {{"subjectCode", subject}, {"user_code", user}})["keepCount"]);
    };
    ASSERT_EQ(keepCount(), 0);

    auto closing = std::make_shared<RecordingScreen>();
    std::weak_ptr<RecordingScreen> closed = closing;
    auto closingView = ui::View::create(ui::Rect(0, 0, 375, 667));
    const core::FormBody favourite{{"subjectCode", subject}, {"user_code", user}, {"type", "1"},
                                   {"code", core::Record::screenText(question["code"])}};
    auto write = ServerRequest::send("exam/error_keep_add", favourite, 3, closingView, closing, ServerRequest::Overlay::None);
    closing.reset();
    closingView.reset();
    EXPECT_TRUE(closed.expired()) << "a running request keeps no screen alive";

    ASSERT_TRUE(pumpUntil([&] { return !write->isRunning(); }));
    EXPECT_EQ(write->statusCode(), 200);
    EXPECT_EQ(write->text(), "1");
    EXPECT_EQ(keepCount(), 1);
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
