#include "practice/ExamStartViewController.h"

#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/Button.h"
#include "platform/ui/Renderer.h"
#include "practice/ExamSetViewController.h"
#include "tests/practice/ExamStartFixture.h"
#include "tests/support/PixelProbe.h"

namespace {

class ExamStartReviewTest : public ExamStartFixture {
protected:
    int shownPage() const { return int(m_exam->viewGroup()->contentOffset().x / m_exam->viewGroup()->frame().width()); }
    QString number() const { return m_exam->examCount()->text(); }

    // A finger swipe of one page, to the next (forward) or the previous page.
    void swipe(bool forward)
    {
        core::ManualClock clock(core::Clock::now());
        const double y = m_exam->viewGroup()->frame().y() + 40;
        const double w = m_exam->viewGroup()->frame().width();
        ui::TouchInjector::drag(clock, *m_window, ui::Point(forward ? w - 40 : 40, y), ui::Point(forward ? 40 : w - 40, y), 0.2);
        clock.advance(2);
    }

    // Finishes the run and comes back from the report through its review button.
    void finishAndReview(const QString& button)
    {
        finish();
        ASSERT_TRUE(waitForReport());
        ASSERT_TRUE(tapLabel(report()->view(), button));
        ASSERT_TRUE(pumpUntil([&] { return !m_exam->presentedViewController() && m_exam->isAppeared(); }));
        ASSERT_TRUE(analysesLoaded());
    }

    // The height, in points, of the ink of the first line of question i's analysis as drawn.
    double firstLineHeight(int i) const
    {
        const QImage image = ui::Renderer::renderLayer(*m_exam->examPage(i)->analysisView()->layer(), 1);
        const std::vector<int> rows = pixels::rowsWith(image, pixels::isInk);
        if (rows.empty())
            return 0;
        std::size_t last = 0;
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1)
            ++last;
        return rows[last] - rows.front() + 1;
    }

    QString analysisText(int i) const { return m_exam->examPage(i)->analysisView() ? m_exam->examPage(i)->analysisView()->text() : ""; }
    bool analysesLoaded()
    {
        return pumpUntil([&] {
            bool loaded = true;
            for (int i = 0; loaded && i < m_exam->pageCount(); ++i)
                loaded = !m_exam->examPage(i)->analysisView() || !m_exam->examPage(i)->analysisView()->isLoading();
            return loaded;
        });
    }
};

TEST_F(ExamStartReviewTest, WrongOnlyReviewWalksTheWrongQuestions)
{
    openStubbed(6, singleChoices(4));
    pick({{0, "B"}, {1, "A"}, {2, "B"}});
    finishAndReview("查看错题解析");
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(number(), "2");
    EXPECT_TRUE(m_exam->finishButton()->isHidden());
    EXPECT_TRUE(analysisText(3).contains(",你没有答题"));

    swipe(true);   // to page 2, on to the next wrong one
    EXPECT_EQ(shownPage(), 3);
    EXPECT_EQ(number(), "4");
    swipe(true);   // nothing further: it stays on the last wrong one
    EXPECT_EQ(shownPage(), 3);
    swipe(false);   // back to page 2, on back to page 1
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(number(), "2");
    swipe(false);   // page 0 holds no wrong question: back to where it was
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(number(), "2");
}

TEST_F(ExamStartReviewTest, ReviewOfAllStartsOnTheFirstPageAndSwipesNumberThePages)
{
    openStubbed(6, singleChoices(2));
    pick(1, "A");
    finishAndReview("查看全部解析");
    EXPECT_EQ(shownPage(), 0);
    EXPECT_EQ(number(), "1");
    EXPECT_TRUE(m_exam->finishButton()->isHidden());
    EXPECT_TRUE(analysisText(0).startsWith("解析：正确答案B,你没有答题"));
    EXPECT_TRUE(analysisText(1).startsWith("解析：正确答案B,你的答案《A》"));
    swipe(true);
    EXPECT_EQ(number(), "2");
    swipe(true);
    EXPECT_EQ(shownPage(), 2);
    EXPECT_EQ(number(), "2") << "the card's page shows the count";
}

// With automatic analysis and next page on, a pick shows the analysis and moves on; picking
// again refreshes the analysis in place without growing the page.
TEST_F(ExamStartReviewTest, APickShowsTheAnalysisAndMovesOn)
{
    CommonUtil::setIsShowAnalyze(1);
    CommonUtil::setIsNext(1);
    QJsonObject written = question(2, 3, "x");
    written.remove("analyze");
    openStubbed(6, QJsonArray{question(0, 0, "B"), question(1, 2, "0"), written});
    ASSERT_TRUE(tapLabel(page(0), "A"));
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(number(), "2");
    ASSERT_TRUE(analysesLoaded());
    EXPECT_TRUE(analysisText(0).contains("解析：正确答案B,你的答案《A》"));
    const double height = page(0)->contentSize().height;
    const auto analysis = m_exam->examPage(0)->analysisView();
    for (int again = 0; again < 2; ++again) {
        pick(0, "C");
        ASSERT_TRUE(analysesLoaded());
    }
    EXPECT_EQ(m_exam->examPage(0)->analysisView(), analysis);
    EXPECT_TRUE(analysisText(0).contains(",你的答案《C》"));
    EXPECT_NEAR(page(0)->contentSize().height, height, 0.5);

    // True/false shown as 对/错; the last question's pick leads to the card.
    ASSERT_TRUE(tapLabel(page(1), "对"));
    ASSERT_TRUE(analysesLoaded());
    EXPECT_TRUE(analysisText(1).contains("解析：正确答案错,你的答案《对》"));
    EXPECT_TRUE(analysisText(1).contains("因为如此"));
    EXPECT_EQ(number(), "3");

    // Typed text is shown as text; a missing analysis shows nothing.
    write(2, "<b>x</b>&");
    ASSERT_TRUE(tapLabel(m_exam->view(), "解析"));
    ASSERT_TRUE(analysesLoaded());
    EXPECT_TRUE(analysisText(2).contains("<b>x</b>&"));
    EXPECT_FALSE(analysisText(2).contains("null"));
}

} // namespace

namespace {

// Two wrong questions side by side (flags 0, 1, 1, 0): a swipe on from the first stops on the
// second, a swipe back from the second stops on the first.
TEST_F(ExamStartReviewTest, WrongOnlyReviewStepsBetweenNeighbouringWrongQuestions)
{
    openStubbed(6, singleChoices(4));
    pick({{0, "B"}, {1, "A"}, {2, "C"}, {3, "B"}});
    finishAndReview("查看错题解析");
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(number(), "2");

    // finger's direction, page and number after the swipe
    const std::tuple<bool, int, QString> swipes[] = {
        {true, 2, "3"}, {true, 2, "3"}, {false, 1, "2"}, {false, 1, "2"}, {true, 2, "3"},
    };
    for (const auto& [forward, page, shown] : swipes) {
        swipe(forward);
        EXPECT_EQ(shownPage(), page) << forward;
        EXPECT_EQ(number(), shown) << forward;
    }
}

// A second tap unticks a box and takes its letter out of the answer: grading and the analysis
// see only the boxes still ticked, and a question whose one box was unticked is unanswered.
TEST_F(ExamStartReviewTest, UntickingAMultipleChoiceBoxTakesItsLetterOut)
{
    openStubbed(6, QJsonArray{question(0, 1, "AC"), question(1, 5, "D"), question(2, 1, "B")});
    pick({{0, "A"}, {0, "B"}, {0, "C"}, {0, "B"}, {1, "D"}, {1, "D"}, {2, "B"}, {2, "D"}, {2, "D"}});
    finish();
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(report()->examArr(), (QStringList{"0", "1", "0"}));
    EXPECT_EQ(report()->answerCount(), 2);
    ASSERT_TRUE(tapLabel(report()->view(), "查看全部解析"));
    ASSERT_TRUE(pumpUntil([&] { return !m_exam->presentedViewController() && m_exam->isAppeared(); }));
    ASSERT_TRUE(analysesLoaded());
    EXPECT_TRUE(analysisText(0).startsWith("解析：正确答案AC,你的答案《AC》"));
    EXPECT_TRUE(analysisText(1).startsWith("解析：正确答案D,你没有答题"));
    EXPECT_TRUE(analysisText(2).startsWith("解析：正确答案B,你的答案《B》"));
}

} // namespace

// The large text size picked in the practice settings holds for every showing of an analysis:
// the first after a pick, the refresh after a second pick, and the review's.
TEST_F(ExamStartReviewTest, TheChosenTextSizeHoldsWhenAnAnalysisIsShownAgain)
{
    startSignedIn();
    auto settings = present(ExamSetViewController::create());
    ASSERT_TRUE(tapLabel(settings->view(), "大"));
    ASSERT_TRUE(tapLabel(settings->view()->viewWithTag(2005), "是"));   // analysis after a pick
    ASSERT_TRUE(tapLabel(settings->view(), "提交"));
    ASSERT_TRUE(pumpUntil([&] { return !m_host->presentedViewController(); }));

    open(0, firstPaper());
    ASSERT_TRUE(waitForPages());
    pick(0, "A");
    ASSERT_TRUE(analysesLoaded());
    const double first = firstLineHeight(0);
    EXPECT_GT(first, 20) << "larger than the middle size's letters";
    pick(0, "B");
    ASSERT_TRUE(analysesLoaded());
    EXPECT_TRUE(analysisText(0).contains(",你的答案《B》"));
    EXPECT_NEAR(firstLineHeight(0), first, 1);

    finishAndReview("查看全部解析");
    EXPECT_NEAR(firstLineHeight(0), first, 1);
    EXPECT_NEAR(firstLineHeight(1), first, 1) << "an analysis first shown in the review";
}

// In a paper with ungraded questions each tile carries its own question's number, and a tap on
// a tile opens that question with its analysis.
TEST_F(ExamStartReviewTest, AReportTileOpensItsOwnQuestion)
{
    startSignedIn();
    open(0, firstPaper());
    ASSERT_TRUE(waitForPages());
    pick(4, "错");
    finish();
    ASSERT_TRUE(waitForReport());
    // Questions 4, 8 and 9 are written answers: no tile.
    for (int n = 1; n <= 9; ++n) {
        const auto tile = findByLabel(report()->view(), QString("第%1题").arg(n));
        EXPECT_EQ(bool(tile), n != 4 && n != 8 && n != 9) << n;
        if (tile) {
            EXPECT_TRUE(shows(tile, QString::number(n))) << n;
        }
    }
    ASSERT_TRUE(tapLabel(report()->view(), "第5题"));
    ASSERT_TRUE(pumpUntil([&] { return !m_exam->presentedViewController() && m_exam->isAppeared(); }));
    ASSERT_TRUE(analysesLoaded());
    EXPECT_EQ(shownPage(), 4);
    EXPECT_EQ(number(), "5");
    EXPECT_TRUE(analysisText(4).contains(",你的答案《错》"));
    EXPECT_TRUE(m_exam->finishButton()->isHidden());
}

// Wrong-only review of a run without a wrong answer stays where the run was finished, and the
// pages can be swiped through one by one.
TEST_F(ExamStartReviewTest, WrongOnlyReviewWithoutAWrongAnswerSwipesPageByPage)
{
    openStubbed(6, singleChoices(3));
    pick({{0, "B"}, {1, "B"}, {2, "B"}});
    finishAndReview("查看错题解析");
    EXPECT_EQ(shownPage(), 3);
    EXPECT_EQ(number(), "3");
    swipe(false);
    EXPECT_EQ(shownPage(), 2);
    EXPECT_EQ(number(), "3");
    swipe(false);
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(number(), "2");
}
