// The whole app as a new user meets it: a fresh start against the real server, the subject
// chosen in the side panel, a past paper practised with two wrong answers, the report and
// its review, then the wrong answers found in the error book.
#include "appbase/CommonUtil.h"
#include "browse/EroorExamViewController.h"
#include "browse/RecordViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TouchInjector.h"
#include "practice/ExamPage.h"
#include "practice/ExamStartViewController.h"
#include "practice/PaperViewController.h"
#include "practice/ReportViewController.h"
#include "shell/LeftViewController.h"
#include "tests/shell/LaunchedAppTest.h"

#include <QImage>

namespace {

class AppJourneyTest : public LaunchedAppTest {
protected:
    bool slideSettled() const { return m_container->view()->isUserInteractionEnabled(); }

    // Shows question i through the answer card, then taps `label` on its page.
    void pick(const std::shared_ptr<ExamStartViewController>& exam, int i, const QString& label)
    {
        ASSERT_TRUE(tapLabel(exam->view(), "答题卡"));
        auto button = findByLabel(exam->answerCard(), QString("第%1题").arg(i + 1));
        ASSERT_TRUE(button);
        exam->answerCard()->scrollRectToVisible(button->frame(), false);
        ASSERT_TRUE(ui::TouchInjector::tap(*button));
        ASSERT_TRUE(tapLabel(exam->examPage(i)->page(), label)) << i << " " << label.toStdString();
    }
};

TEST_F(AppJourneyTest, FromAFreshStartThroughAPaperToTheErrorBook)
{
    startSampleServer();
    launch();
    // A first start makes a guest account on its own.
    ASSERT_TRUE(pumpUntil([] { return CommonUtil::getAccount().has_value(); }));

    // The subject, chosen in the side panel.
    ASSERT_TRUE(tapLabel(m_home->view(), "课程选择"));
    auto menu = std::dynamic_pointer_cast<LeftViewController>(m_container->leftController());
    ASSERT_TRUE(pumpUntil([&] { return m_container->isSideOpen(SidePanelSide::Left) && !menu->isLoadingList() && slideSettled(); }));
    ASSERT_TRUE(pumpUntil([&] { return overlaysGone(menu->view()) && tapLabel(menu->view(), "计算机类"); }));
    ASSERT_TRUE(pumpUntil([&] { return tapLabel(menu->view(), "计算机应用基础"); }));
    EXPECT_EQ(storedSysset()[9].toString(), "CB");
    ASSERT_TRUE(pumpUntil([&] { return m_container->isSideClosed(SidePanelSide::Left) && slideSettled(); }));

    // A past paper, answered with question 1 and 5 wrong and the rest left open.
    auto papers = tapTo<PaperViewController>(m_home, "历年真题");
    ASSERT_TRUE(papers);
    ASSERT_TRUE(pumpUntil([&] { return papers->tableView() && tapLabel(papers->tableView(), "计算机基础历年真题（一）"); }));
    auto exam = onTop<ExamStartViewController>(papers);
    ASSERT_TRUE(exam);
    ASSERT_TRUE(pumpUntil([&] {
        if (!exam->viewGroup() || exam->pageCount() == 0)
            return false;
        for (int i = 0; i < exam->pageCount(); ++i) {
            if (!exam->examPage(i)->textLoaded())
                return false;
        }
        return overlaysGone(exam->view());
    }));
    CommonUtil::setIsNext(0);
    CommonUtil::setIsShowAnalyze(0);
    pick(exam, 0, "A");
    pick(exam, 4, "错");
    pick(exam, 1, "D");
    ASSERT_TRUE(tapLabel(exam->view(), "答题卡"));
    ASSERT_TRUE(tapLabel(exam->answerCard(), "交卷"));

    // The report, then the wrong answers reviewed, then home again.
    auto report = onTop<ReportViewController>(exam);
    ASSERT_TRUE(report);
    EXPECT_TRUE(findByLabel(report->view(), "本次练习答对了1道"));
    ASSERT_TRUE(tapLabel(report->view(), "查看错题解析"));
    ASSERT_TRUE(pumpUntil([&] { return !exam->presentedViewController() && exam->isAppeared(); }));
    EXPECT_EQ(exam->examCount()->text(), "1");
    ASSERT_TRUE(tapLabel(exam->view(), "返回"));
    ASSERT_TRUE(pumpUntil([&] { return !papers->presentedViewController() && papers->isAppeared(); }));
    ASSERT_TRUE(ui::TouchInjector::tap(*papers->backButton()));
    ASSERT_TRUE(pumpUntil([&] { return !m_container->presentedViewController(); }));

    // The two wrong answers wait in the error book, under their paper.
    auto hub = tapTo<RecordViewController>(m_home, "错题收藏");
    ASSERT_TRUE(hub);
    ASSERT_TRUE(pumpUntil([&] { return findByLabel(hub->view(), "2道题目") != nullptr; }));
    auto book = tapTo<EroorExamViewController>(hub, "错题本");
    ASSERT_TRUE(book);
    ASSERT_TRUE(pumpUntil([&] { return book->treeView() != nullptr; }));
    EXPECT_TRUE(findByLabel(book->view(), "计算机基础历年真题（一）"));
    EXPECT_TRUE(findByLabel(book->view(), "2道"));
}

} // namespace

namespace {

// Every screen the home screen opens, opened by its button (showing what tells it apart) and
// closed by its back button, each drawn in the window on the way.
TEST_F(AppJourneyTest, EveryHomeButtonOpensItsScreenAndBackReturnsHome)
{
    startSignedIn();
    launch();
    const std::pair<QString, QString> buttons[] = {
        {"专项练习", "专项练习"}, {"模拟押题", "冲刺试卷"}, {"历年真题", "真题模考"},  {"错题收藏", "我的练习"},
        {"用户登陆", "请输入账号"}, {"备考专区", "操作系统与软件"}, {"系统设置", "系统设置"},
    };
    const QImage home = m_delegate->window()->renderImage();
    for (const auto& [caption, shown] : buttons) {
        SCOPED_TRACE(caption.toStdString());
        auto screen = tapTo<ui::ViewController>(m_home, caption);
        ASSERT_TRUE(screen);
        EXPECT_TRUE(pumpUntil([&] { return shows(screen->view(), shown); }));
        EXPECT_TRUE(shoot("home-" + shown));
        ASSERT_TRUE(tap(screen, "返回"));
        ASSERT_TRUE(pumpUntil([&] { return !m_container->presentedViewController() && slideSettled(); }));
    }
    EXPECT_EQ(m_delegate->window()->renderImage(), home);
}

} // namespace
