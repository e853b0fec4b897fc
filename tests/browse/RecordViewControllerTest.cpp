#include "browse/RecordViewController.h"

#include "appbase/CommonUtil.h"
#include "browse/EroorExamViewController.h"
#include "browse/ExerciseRecordViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "tests/browse/BrowseTestSupport.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

#include <QJsonObject>

namespace {

class RecordViewControllerTest : public AppTest {
protected:
    // Presents the hub over a root screen in a window and waits for its count request to end.
    void open()
    {
        m_root = ui::ViewController::create();
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->makeKeyAndVisible();
        m_window->setRootViewController(m_root);
        m_hub = RecordViewController::create();
        m_root->presentViewController(m_hub, false);
        m_countsBeforeReply = counts();
        EXPECT_TRUE(pumpUntil([&] { return !m_hub->isLoading() && !m_hub->isTransitioning() && overlaysGone(m_hub->view()); }));
        m_window->layoutIfNeeded();
    }

    QStringList counts()
    {
        QStringList texts;
        for (auto [button, label] : {std::pair{RecordViewController::kErrorButtonTag, RecordViewController::kErrorCountTag},
                                     std::pair{RecordViewController::kKeepButtonTag, RecordViewController::kKeepCountTag}}) {
            auto shown = m_hub->countLabel(button, label);
            texts << (shown ? shown->text() : QStringLiteral("<none>"));
        }
        return texts;
    }

    std::shared_ptr<ui::View> bookButton(int tag) { return m_hub->view()->viewWithTag(tag); }

    // The screen the hub presents now, once it has settled; the hub then closes it again.
    template<class Screen>
    std::shared_ptr<Screen> takePresented()
    {
        auto screen = std::dynamic_pointer_cast<Screen>(m_hub->presentedViewController());
        EXPECT_TRUE(screen && pumpUntil([&] { return !screen->isTransitioning() && !screen->isLoading(); }));
        m_hub->dismissViewController(false);
        EXPECT_TRUE(pumpUntil([&] { return !m_hub->presentedViewController(); }));
        return screen;
    }

    std::shared_ptr<ui::ViewController> m_root;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<RecordViewController> m_hub;
    QStringList m_countsBeforeReply;
};

TEST_F(RecordViewControllerTest, EachButtonOpensItsBookAndBackLeaves)
{
    startSignedIn();
    open();
    EXPECT_EQ(m_hub->titleLabel()->text(), "我的练习");
    EXPECT_EQ(m_countsBeforeReply, QStringList({"0道题目", "0道题目"}));
    EXPECT_EQ(counts(), QStringList({"0道题目", "0道题目"}));
    // The two buttons touch, both at the left edge.
    const ui::Rect errors = bookButton(RecordViewController::kErrorButtonTag)->frame();
    const ui::Rect keeps = bookButton(RecordViewController::kKeepButtonTag)->frame();
    EXPECT_EQ(errors.x(), 0);
    EXPECT_EQ(keeps.x(), 0);
    EXPECT_EQ(keeps.y(), errors.maxY());
    EXPECT_TRUE(m_window->renderImage().save(screenshotPath("practice-hub.png")));

    ASSERT_TRUE(ui::TouchInjector::tap(*bookButton(RecordViewController::kErrorButtonTag)));
    auto errorBook = takePresented<EroorExamViewController>();
    ASSERT_TRUE(errorBook);
    EXPECT_EQ(errorBook->type(), 0);
    ASSERT_TRUE(ui::TouchInjector::tap(*bookButton(RecordViewController::kKeepButtonTag)));
    auto favourites = takePresented<EroorExamViewController>();
    ASSERT_TRUE(favourites);
    EXPECT_EQ(favourites->type(), 1);
    m_hub->drill3Click(nullptr);
    EXPECT_TRUE(takePresented<ExerciseRecordViewController>());

    ASSERT_TRUE(ui::TouchInjector::tap(*m_hub->backButton()));
    EXPECT_TRUE(pumpUntil([&] { return !m_root->presentedViewController(); }));
    EXPECT_TRUE(m_hub->view()->subviews().empty());
}

TEST_F(RecordViewControllerTest, CountsReadAsTheServerSendsThem)
{
    struct Case {
        const char* name;
        int status;
        QByteArray body;
        QStringList shown;
    };
    const Case cases[] = {
        {"numbers", 200, R"({"errorCount":5,"keepCount":0})", {"5道题目", "0道题目"}},
        {"strings", 200, R"({"errorCount":"12","keepCount":"3"})", {"12道题目", "3道题目"}},
        {"whole doubles", 200, R"({"errorCount":7.0,"keepCount":1e3})", {"7道题目", "1000道题目"}},
        {"beyond 32 bits", 200, R"({"errorCount":4294967301,"keepCount":0})", {"4294967301道题目", "0道题目"}},
        {"missing and null", 200, R"({"keepCount":null})", {"0道题目", "0道题目"}},
        {"other types", 200, R"({"errorCount":[1],"keepCount":{"n":1}})", {"0道题目", "0道题目"}},
        {"not an object", 200, R"([5,6])", {"0道题目", "0道题目"}},
        {"not JSON", 200, "oops", {"0道题目", "0道题目"}},
        {"error status", 500, R"({"errorCount":9,"keepCount":9})", {"0道题目", "0道题目"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StubServer stub;
        stub.setReply("exam/error_keep_count", c.status, c.body);
        useServer(stub.baseUrl());
        CommonUtil::setAccount(QJsonObject{{"code", "u&1"}});
        CommonUtil::setSubjectCode(QStringLiteral("CB"));
        open();
        EXPECT_EQ(counts(), c.shown);
        EXPECT_EQ(toastTexts(m_hub->view()).contains(CommonUtil::kNetworkMessage), c.status != 200);
        ASSERT_EQ(stub.requests().size(), 1);
        EXPECT_EQ(stub.requests().first().body, "subjectCode=CB&user_code=u%261");
    }
}

} // namespace
