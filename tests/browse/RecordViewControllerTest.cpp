#include "browse/RecordViewController.h"

#include "browse/EroorExamViewController.h"
#include "tests/browse/BrowseTestSupport.h"

namespace {

class RecordViewControllerTest : public BrowseFixture {
protected:
    // Presents the hub over a root screen in a window and waits until taps reach it.
    void open() { m_hub = present(RecordViewController::create()); }

    QStringList counts()
    {
        return {m_hub->countLabel(RecordViewController::kErrorButtonTag, RecordViewController::kErrorCountTag)->text(),
                m_hub->countLabel(RecordViewController::kKeepButtonTag, RecordViewController::kKeepCountTag)->text()};
    }

    // The screen a tap on the labelled control presents, once settled; the hub closes it again.
    template<class Screen>
    std::shared_ptr<Screen> opened(const QString& label)
    {
        EXPECT_TRUE(tapLabel(m_hub->view(), label));
        auto screen = std::dynamic_pointer_cast<Screen>(m_hub->presentedViewController());
        EXPECT_TRUE(screen && pumpUntil([&] { return !screen->isTransitioning() && !screen->isLoading(); }));
        m_hub->dismissViewController(false);
        EXPECT_TRUE(pumpUntil([&] { return !m_hub->presentedViewController(); }));
        return screen;
    }

    std::shared_ptr<RecordViewController> m_hub;
};

// What the user filed (two wrong answers, one favourite) is what the hub counts; each button
// opens its book.
TEST_F(RecordViewControllerTest, CountsWhatWasFiledAndEachButtonOpensItsBook)
{
    server::ServerInstance& server = startSignedIn();
    const QString user = CommonUtil::getAccount()->value("code").toString();
    for (const auto& [type, code] : {std::pair{"0", "CBQ088"}, std::pair{"0", "CBQ089"}, std::pair{"1", "CBQ001"}})
        postForm(server, "exam/error_keep_add", {{"subjectCode", *CommonUtil::getSubjectCode()}, {"user_code", user}, {"type", type}, {"code", code}});
    open();
    EXPECT_EQ(m_hub->titleLabel()->text(), "我的练习");
    EXPECT_EQ(counts(), QStringList({"2道题目", "1道题目"}));
    // The two buttons touch, both at the left edge.
    const ui::Rect errors = findByLabel(m_hub->view(), "错题本")->frame();
    const ui::Rect keeps = findByLabel(m_hub->view(), "收藏本")->frame();
    EXPECT_EQ(errors.x() + keeps.x(), 0);
    EXPECT_EQ(keeps.y(), errors.maxY());
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "practice-hub"));

    auto errorBook = opened<EroorExamViewController>("错题本");
    ASSERT_TRUE(errorBook);
    EXPECT_EQ(errorBook->type(), 0);
    auto favourites = opened<EroorExamViewController>("收藏本");
    ASSERT_TRUE(favourites);
    EXPECT_EQ(favourites->type(), 1);
    ASSERT_TRUE(ui::TouchInjector::tap(*m_hub->backButton()));
    EXPECT_TRUE(pumpUntil([&] { return !m_root->presentedViewController(); }));
}

TEST_F(RecordViewControllerTest, CountsReadAsTheServerSendsThem)
{
    const std::tuple<int, QByteArray, QStringList> cases[] = {
        {200, R"({"errorCount":"12","keepCount":3})", {"12道题目", "3道题目"}},
        {200, R"({"errorCount":4294967301,"keepCount":1e3})", {"4294967301道题目", "1000道题目"}},
        {200, R"({"keepCount":null,"errorCount":[1]})", {"0道题目", "0道题目"}},
        {200, R"([5,6])", {"0道题目", "0道题目"}},
        {500, R"({"errorCount":9,"keepCount":9})", {"0道题目", "0道题目"}},
    };
    useStub(QJsonObject{{"code", "u&1"}});
    for (const auto& [status, body, shown] : cases) {
        SCOPED_TRACE(body.toStdString());
        m_stub.setReply("exam/error_keep_count", status, body);
        open();
        EXPECT_EQ(counts(), shown);
        EXPECT_EQ(toastTexts(m_hub->view()).contains(CommonUtil::kNetworkMessage), status != 200);
        EXPECT_EQ(m_stub.requests().last().body, "subjectCode=CB&user_code=u%261");
    }
}

} // namespace
