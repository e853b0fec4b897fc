// The practice screen left in the middle of something: an answer being typed, pages sliding,
// a favourite on its way to the server.
#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"
#include "platform/core/UrlConnection.h"
#include "tests/practice/ExamStartFixture.h"
#include "tests/support/HandServer.h"

namespace {

class ExamStartLeavingTest : public ExamStartFixture {
protected:
    bool tapBack() { return tapLabel(m_exam->view(), "返回"); }
    // Until nothing presents the practice screen any more and, once the test has let go of
    // it too, it is freed.
    bool goneAndFreed()
    {
        if (!pumpUntil([&] { return !m_host->presentedViewController(); }))
            return false;
        std::weak_ptr<ExamStartViewController> gone = m_exam;
        m_exam.reset();
        return pumpUntil([&] { return gone.expired(); });
    }
};

// Back with the answer box of a written question being edited, empty or not, closes the run.
TEST_F(ExamStartLeavingTest, BackWithTheAnswerBoxEditedClosesTheRun)
{
    for (const char* text : {"", "冯·诺依曼"}) {
        SCOPED_TRACE(text);
        openStubbed(0, QJsonArray{question(0, 3), question(1, 0)});
        ASSERT_NO_FATAL_FAILURE(write(0, text));
        ASSERT_TRUE(tapBack());
        EXPECT_TRUE(goneAndFreed());
        EXPECT_FALSE(m_window->firstResponder());
    }
}

// Back while a swipe's page still settles: the slide ends without the screen, which goes.
TEST_F(ExamStartLeavingTest, BackDuringAPageSlideClosesTheRun)
{
    openStubbed(0, singleChoices(3));
    core::ManualClock clock(core::Clock::now());
    const ui::Rect pages = m_exam->viewGroup()->convertRectTo(m_exam->viewGroup()->bounds(), nullptr);
    const double y = pages.y() + pages.height() / 2;
    ui::TouchInjector::drag(clock, *m_window, ui::Point(pages.maxX() - 20, y), ui::Point(pages.x() + 120, y), 0.1, 4);
    ASSERT_TRUE(m_exam->viewGroup()->isDecelerating()) << "the page still settles";
    ASSERT_TRUE(tapBack());
    clock.advance(2);
    EXPECT_TRUE(goneAndFreed());
}

// A favourite whose reply comes after the screen has gone: the write reaches the server, and
// the reply shows nothing on the screen below, whether the gone screen was still held or freed.
TEST_F(ExamStartLeavingTest, AFavouriteAnsweredAfterBackShowsNothing)
{
    const QByteArray list = QJsonDocument(singleChoices(2)).toJson(QJsonDocument::Compact);
    QList<QTcpSocket*> held;
    int favourites = 0;
    HandServer server([&](QTcpSocket* socket, const QByteArray& request) {
        if (request.startsWith("POST /PendarWeb/exam/error_keep_add ")) {
            ++favourites;
            held.append(socket);
            return;
        }
        socket->write(HandServer::reply("200 OK", list, "Connection: close\r\n"));
        socket->disconnectFromHost();
    });
    useServer(server.url("/PendarWeb/").toString());
    CommonUtil::setAccount(QJsonObject{{"code", "U9"}});
    CommonUtil::setSubjectCode(QString("CB"));
    for (bool stillHeld : {true, false}) {
        SCOPED_TRACE(stillHeld ? "held" : "freed");
        open(0, paper("P1", "卷"));
        ASSERT_TRUE(waitForPages());
        ASSERT_TRUE(tapLabel(m_exam->view(), "收藏"));
        ASSERT_TRUE(pumpUntil([&] { return !held.isEmpty(); }));
        ASSERT_TRUE(tapBack());
        ASSERT_TRUE(pumpUntil([&] { return !m_host->presentedViewController(); }));
        const auto keep = stillHeld ? m_exam : nullptr;
        std::weak_ptr<ExamStartViewController> gone = m_exam;
        m_exam.reset();
        if (!stillHeld)
            ASSERT_TRUE(pumpUntil([&] { return gone.expired(); }));
        QTcpSocket* socket = held.takeFirst();
        socket->write(HandServer::reply("200 OK", "1", "Connection: close\r\n"));
        socket->disconnectFromHost();
        ASSERT_TRUE(pumpUntil([] { return core::UrlConnection::runningCount() == 0; }));
        EXPECT_TRUE(toastTexts(m_host->view()).isEmpty());
        EXPECT_FALSE(m_host->presentedViewController());
    }
    EXPECT_EQ(favourites, 2);
}

} // namespace
