#include "practice/PaperViewController.h"

#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "tests/practice/ExamStartFixture.h"
#include "tests/support/Phones.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ViewPixels.h"

namespace {

class PaperViewControllerTest : public ExamStartFixture {
protected:
    // Presents the list of `type` and waits until its request has ended and taps reach it.
    std::shared_ptr<PaperViewController> open(int type)
    {
        auto papers = PaperViewController::create();
        papers->setType(type);
        present(papers);
        EXPECT_TRUE(pumpUntil([&] { return !papers->isLoading() && overlaysGone(papers->view()); }));
        return papers;
    }

    // What each row shows: its name, then its difficulty.
    static QStringList rowTexts(PaperViewController& papers)
    {
        QStringList texts;
        auto table = papers.tableView();
        for (int row = 0; table && row < table->numberOfRowsInSection(0); ++row) {
            auto cell = table->cellForRowAtIndexPath(ui::IndexPath(0, row));
            for (int tag : {PaperViewController::NameLabelTag, PaperViewController::DifficultyLabelTag})
                texts << std::dynamic_pointer_cast<ui::Label>(cell->viewWithTag(tag))->text();
        }
        return texts;
    }
};

TEST_F(PaperViewControllerTest, ListsThePapersOfTheSubjectAndOpensOneAsAPaperRun)
{
    startSignedIn();
    auto past = open(PaperViewController::PastPapers);
    EXPECT_EQ(past->titleLabel()->text(), "真题模考");
    EXPECT_EQ(rowTexts(*past), QStringList({"计算机基础历年真题（一）", "2.5", "计算机基础历年真题（二）", "3.0",
                                            "计算机基础历年真题（三）", "3.5"}));
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "paper-list-past"));

    auto sprint = open(PaperViewController::SprintPapers);
    EXPECT_EQ(sprint->titleLabel()->text(), "冲刺试卷");
    ASSERT_TRUE(tapLabel(sprint->view(), "计算机基础冲刺试卷（二）"));
    auto exam = std::dynamic_pointer_cast<ExamStartViewController>(sprint->presentedViewController());
    ASSERT_TRUE(exam);
    EXPECT_EQ(exam->type(), 0) << "a sprint paper too is practised as a paper";
    EXPECT_EQ(exam->data().value("code").toString(), "CBP5");
}

TEST_F(PaperViewControllerTest, SendsTheKindAndSubjectAndToleratesOddRecords)
{
    StubServer& server = m_stub;
    useServer(m_stub.baseUrl());
    CommonUtil::setSubjectCode(QString("S 1&x"));
    server.setReply("exam/paper_list", 200,
                    R"([{"code":"P1","name":"甲","difficulty":2},{"code":"P2","name":"乙"},)"
                    R"({"code":"P3","name":null,"difficulty":null},{"code":"P4","name":"丁","difficulty":"3"}])");
    auto papers = open(7);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(core::FormBody::decode(server.requests()[0].body),
              (core::FormBody{{"examType", "7"}, {"subjectCode", "S 1&x"}}).pairs());
    EXPECT_EQ(rowTexts(*papers), QStringList({"甲", "2.0", "乙", "0.0", "", "0.0", "丁", "3.0"}));

    // A reply that is no list shows an empty table; a failure shows the network toast and no table.
    server.setReply("exam/paper_list", 200, R"({"code":"P1"})");
    papers = open(0);
    ASSERT_TRUE(papers->tableView());
    EXPECT_EQ(papers->tableView()->numberOfRowsInSection(0), 0);
    server.setReply("exam/paper_list", 500, "[{\"name\":\"x\"}]");
    papers = open(0);
    EXPECT_FALSE(papers->tableView());
    EXPECT_EQ(toastTexts(papers->view()), QStringList{CommonUtil::kNetworkMessage});
}

} // namespace

// On every phone each paper's name is drawn on the plain face of its row picture, clear of
// the picture's stripe, pictogram and arrow.
TEST_F(PaperViewControllerTest, NamesStandOnThePlainFaceOfTheirRows)
{
    startSignedIn();
    for (const auto& [w, h, scale] : kPhones) {
        SCOPED_TRACE(w);
        ui::Screen::setMain({w, h}, scale);
        m_window.reset();
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->setRootViewController(m_host);
        m_window->makeKeyAndVisible();
        auto papers = open(PaperViewController::PastPapers);
        ASSERT_TRUE(papers->tableView());
        ASSERT_EQ(papers->tableView()->numberOfRowsInSection(0), 3);
        for (int row = 0; row < 3; ++row) {
            auto cell = papers->tableView()->cellForRowAtIndexPath(ui::IndexPath(0, row));
            auto name = cell->viewWithTag(PaperViewController::NameLabelTag);
            const pixels::Drawn drawn = pixels::drawnBy(*m_window, *name, pixels::pixelsOf(*cell));
            EXPECT_TRUE(pixels::liesOnPlainGround(drawn, 1)) << row;
        }
        if (w == 375) {
            EXPECT_TRUE(screenshot::save(m_window->renderImage(), "paper-list"));
        }
    }
}
