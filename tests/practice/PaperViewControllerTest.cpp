#include "practice/PaperViewController.h"

#include "components/hud/ProgressHUD.h"
#include "platform/core/FormBody.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/Window.h"
#include "appbase/CommonUtil.h"
#include "practice/ExamStartViewController.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

#include <QDir>
#include <QImage>
#include <algorithm>

namespace {

class PaperViewControllerTest : public AppTest {
protected:
    // Presents the list of `type` over a root screen in a window and waits for its request to end.
    std::shared_ptr<PaperViewController> open(int type)
    {
        m_root = ui::ViewController::create();
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->makeKeyAndVisible();
        m_window->setRootViewController(m_root);
        auto papers = PaperViewController::create();
        papers->setType(type);
        m_root->presentViewController(papers, false);
        EXPECT_TRUE(pumpUntil([&] { return !papers->isLoading() && !papers->isTransitioning() && !hasOverlay(*papers); }));
        m_window->layoutIfNeeded();
        return papers;
    }

    // The busy overlay fades out after the reply; taps reach the screen once it has gone.
    static bool hasOverlay(PaperViewController& papers)
    {
        const auto& subviews = papers.view()->subviews();
        return std::any_of(subviews.begin(), subviews.end(), [](const auto& v) {
            auto hud = std::dynamic_pointer_cast<ProgressHUD>(v);
            return hud && hud->alpha() >= 0.01 && hud->mode() != ProgressHUDMode::Text;
        });
    }

    // What each visible row shows: its name, then its difficulty.
    static QStringList rowTexts(PaperViewController& papers)
    {
        QStringList texts;
        auto table = papers.tableView();
        for (int row = 0; row < table->numberOfRowsInSection(0); ++row) {
            auto cell = table->cellForRowAtIndexPath(ui::IndexPath(0, row));
            if (!cell)
                continue;
            for (int tag : {PaperViewController::NameLabelTag, PaperViewController::DifficultyLabelTag})
                texts << std::dynamic_pointer_cast<ui::Label>(cell->viewWithTag(tag))->text();
        }
        return texts;
    }

    std::shared_ptr<ui::ViewController> m_root;
    std::shared_ptr<ui::Window> m_window;
};

TEST_F(PaperViewControllerTest, ListsThePastAndSprintPapersOfTheSubject)
{
    startSignedIn();
    auto past = open(PaperViewController::PastPapers);
    EXPECT_EQ(past->titleLabel()->text(), "真题模考");
    ASSERT_TRUE(past->tableView());
    EXPECT_EQ(rowTexts(*past), QStringList({"计算机基础历年真题（一）", "2.5", "计算机基础历年真题（二）", "3.0",
                                            "计算机基础历年真题（三）", "3.5"}));
    const QString folder = qEnvironmentVariable("QBANK_SCREENSHOTS", QDir::tempPath());
    EXPECT_TRUE(m_window->renderImage().save(QDir(folder).filePath("paper-list-past.png")));

    auto sprint = open(PaperViewController::SprintPapers);
    EXPECT_EQ(sprint->titleLabel()->text(), "冲刺试卷");
    EXPECT_EQ(rowTexts(*sprint), QStringList({"计算机基础冲刺试卷（一）", "3.0", "计算机基础冲刺试卷（二）", "4.0",
                                              "计算机基础冲刺试卷（三）", "4.5"}));
}

TEST_F(PaperViewControllerTest, TappingAPaperOpensItsPaperPracticeRun)
{
    startSignedIn();
    // A sprint paper too is practised as a paper (practice kind 0).
    auto papers = open(PaperViewController::SprintPapers);
    ASSERT_TRUE(tapLabel(papers->view(), "计算机基础冲刺试卷（二）"));
    auto exam = std::dynamic_pointer_cast<ExamStartViewController>(papers->presentedViewController());
    ASSERT_TRUE(exam);
    EXPECT_EQ(exam->type(), 0);
    EXPECT_EQ(exam->data().value("code").toString(), "CBP5");
    EXPECT_EQ(exam->data().value("name").toString(), "计算机基础冲刺试卷（二）");
    // The list stays as it was under the practice screen.
    EXPECT_EQ(papers->dataArr().size(), 3);
}

TEST_F(PaperViewControllerTest, SendsTheKindAndSubjectAndToleratesOddRecords)
{
    StubServer server;
    useServer(server.baseUrl());
    CommonUtil::setSubjectCode(QString("S 1&x"));
    server.setReply("exam/paper_list", 200,
                    R"([{"code":"P1","name":"甲","difficulty":2},{"code":"P2","name":"乙"},)"
                    R"({"code":"P3","name":null,"difficulty":null},{"code":"P4","name":"丁","difficulty":"3"}])");
    auto papers = open(7);
    EXPECT_EQ(papers->titleLabel()->text(), "冲刺试卷");
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(core::FormBody::decode(server.requests()[0].body),
              (core::FormBody{{"examType", "7"}, {"subjectCode", "S 1&x"}}).pairs());
    ASSERT_TRUE(papers->tableView());
    EXPECT_EQ(rowTexts(*papers), QStringList({"甲", "2.0", "乙", "0.0", "", "0.0", "丁", "3.0"}));
}

TEST_F(PaperViewControllerTest, RepliesThatAreNoListShowAnEmptyTableAndFailuresNone)
{
    struct Case {
        const char* what;
        int status;
        QByteArray body;
        bool table;
    };
    const Case cases[] = {
        {"empty list", 200, "[]", true},
        {"an object", 200, R"({"code":"P1"})", true},
        {"not JSON", 200, "<html>", true},
        {"server error", 500, "[{\"name\":\"x\"}]", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StubServer server;
        useServer(server.baseUrl());
        CommonUtil::setSubjectCode(QString("S1"));
        server.setReply("exam/paper_list", c.status, c.body);
        auto papers = open(0);
        EXPECT_EQ(bool(papers->tableView()), c.table);
        if (papers->tableView()) {
            EXPECT_EQ(papers->tableView()->numberOfRowsInSection(0), 0);
        } else {
            EXPECT_EQ(toastTexts(papers->view()), QStringList{CommonUtil::kNetworkMessage});
        }
    }
    useServer(refusingServerUrl());
    auto papers = open(0);
    EXPECT_FALSE(papers->tableView());
    EXPECT_EQ(toastTexts(papers->view()), QStringList{CommonUtil::kNetworkMessage});
}

} // namespace
