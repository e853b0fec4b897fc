#include "practice/ExamStartViewController.h"

#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "practice/MyRadioGroup.h"
#include "practice/ReportViewController.h"
#include "tests/practice/ExamStartFixture.h"
#include "tests/support/StubServer.h"

namespace {

QJsonObject choiceQuestion(int i, int category, const QJsonValue& answer, const QJsonValue& analyze = "<p>因为如此</p>")
{
    QJsonArray options;
    for (int o = 0; o < 4; ++o)
        options.append(QJsonObject{{"orderby", o}, {"detail", QString("选项%1").arg(o)}});
    QJsonObject q{{"code", QString("Q%1").arg(i)}, {"category", category}, {"detail", QString("<p>题%1</p>").arg(i)},
                  {"score", 2},
                  {"smallExams", QJsonArray{QJsonObject{{"category", category}, {"answer", answer}, {"examOptions", options}}}}};
    if (!analyze.isUndefined())
        q["analyze"] = analyze;
    return q;
}

QJsonArray singleChoices(int n)
{
    QJsonArray list;
    for (int i = 0; i < n; ++i)
        list.append(choiceQuestion(i, 0, "B"));
    return list;
}

class ExamStartReviewTest : public ExamStartFixture {
protected:
    void openStubbed(const QJsonArray& list)
    {
        useServer(m_stub.baseUrl());
        m_stub.setReply("exam/error_paper_exam_list", 200, QJsonDocument(list).toJson());
        CommonUtil::setAccount(QJsonObject{{"code", "U9"}});
        CommonUtil::setSubjectCode(QString("CB"));
        open(6, paper("P1", "卷"), 0, "K1");
        ASSERT_TRUE(waitForPages());
    }

    int shownPage() const
    {
        return static_cast<int>(m_exam->viewGroup()->contentOffset().x / m_exam->viewGroup()->frame().width());
    }
    QString number() const { return m_exam->examCount()->text(); }

    // A finger swipe of one page, to the next (forward) or the previous page.
    void swipe(bool forward)
    {
        core::ManualClock clock(core::Clock::now());
        const double y = m_exam->viewGroup()->frame().y() + 40;
        const double w = m_exam->viewGroup()->frame().width();
        const ui::Point from(forward ? w - 40 : 40, y);
        const ui::Point to(forward ? 40 : w - 40, y);
        ui::TouchInjector::drag(clock, *m_window, from, to, 0.2);
        clock.advance(2);
    }

    // Finishes the run and comes back from the report through its review button.
    void finishAndReview(const QString& button)
    {
        finish();
        ASSERT_TRUE(pumpUntil([&] {
            auto report = m_exam->presentedViewController();
            return report && report->isAppeared();
        }));
        ASSERT_TRUE(tapLabel(m_exam->presentedViewController()->view(), button));
        ASSERT_TRUE(pumpUntil([&] { return !m_exam->presentedViewController() && m_exam->isAppeared(); }));
    }

    QString analysisText(int i) const
    {
        auto view = m_exam->examPage(i)->analysisView();
        return view ? view->text() : QString();
    }
    bool analysesLoaded()
    {
        return pumpUntil([&] {
            for (int i = 0; i < m_exam->pageCount(); ++i) {
                auto view = m_exam->examPage(i)->analysisView();
                if (view && view->isLoading())
                    return false;
            }
            return true;
        });
    }

    StubServer m_stub;
};

TEST_F(ExamStartReviewTest, WrongOnlyReviewWalksTheWrongQuestions)
{
    openStubbed(singleChoices(4));
    pick(0, "B");
    pick(1, "A");
    pick(2, "B");
    finishAndReview("查看错题解析");
    EXPECT_TRUE(m_exam->isShowError());
    EXPECT_EQ(m_exam->errorArr(), (QStringList{"0", "1", "0", "1"}));
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(number(), "2");
    EXPECT_TRUE(m_exam->finishButton()->isHidden());
    ASSERT_TRUE(analysesLoaded());
    EXPECT_TRUE(analysisText(3).contains(",你没有答题"));

    swipe(true);   // to page 2, on to the next wrong one
    EXPECT_EQ(shownPage(), 3);
    EXPECT_EQ(number(), "4");
    swipe(false);   // back to page 2, on back to page 1
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(number(), "2");
    swipe(false);   // page 0 holds no wrong question: back to where it was
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(number(), "2");
    // Past the last wrong question there is nothing further: it stays on it.
    m_exam->examNumClick(m_exam->answerCard()->viewWithTag(3) ? std::dynamic_pointer_cast<ui::Control>(m_exam->answerCard()->viewWithTag(3)) : nullptr);
    swipe(true);
    EXPECT_EQ(shownPage(), 3);
    EXPECT_EQ(number(), "4");
}

TEST_F(ExamStartReviewTest, ReviewOfAllStartsOnTheFirstPage)
{
    openStubbed(singleChoices(3));
    pick(2, "A");
    finishAndReview("查看全部解析");
    EXPECT_EQ(shownPage(), 0);
    EXPECT_EQ(number(), "1");
    EXPECT_TRUE(m_exam->finishButton()->isHidden());
    ASSERT_TRUE(analysesLoaded());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(analysisText(i).startsWith("解析：正确答案B")) << analysisText(i).toStdString();
    EXPECT_TRUE(analysisText(2).contains(",你的答案《A》"));
    // Ordinary swipes number the pages; the card shows the count.
    swipe(true);
    EXPECT_EQ(number(), "2");
    m_exam->cardClick(nullptr);
    EXPECT_EQ(number(), "3");
}

TEST_F(ExamStartReviewTest, TheCardLeadsToEveryQuestion)
{
    openStubbed(singleChoices(25));
    ASSERT_TRUE(tapLabel(m_exam->view(), "答题卡"));
    EXPECT_EQ(number(), "25");
    EXPECT_EQ(shownPage(), 25);
    ASSERT_TRUE(tapLabel(m_exam->answerCard(), "第10题"));
    EXPECT_EQ(m_exam->answerCard()->viewWithTag(9)->accessibilityLabel(), "第10题");
    EXPECT_EQ(number(), "10");
    EXPECT_EQ(shownPage(), 9);
    // The analysis button on the card shows the last question's analysis.
    m_exam->cardClick(nullptr);
    ASSERT_TRUE(tapLabel(m_exam->view(), "解析"));
    EXPECT_TRUE(m_exam->examPage(24)->analysisView());
    EXPECT_FALSE(m_exam->examPage(23)->analysisView());
}

// With automatic analysis and next page on, a pick shows the analysis and moves on; picking
// again refreshes the analysis in place without growing the page.
TEST_F(ExamStartReviewTest, APickShowsTheAnalysisAndMovesOn)
{
    CommonUtil::setIsShowAnalyze(1);
    CommonUtil::setIsNext(1);
    openStubbed(QJsonArray{choiceQuestion(0, 0, "B"), choiceQuestion(1, 2, "0"), choiceQuestion(2, 3, "x", QJsonValue())});
    ASSERT_TRUE(tapLabel(page(0), "A"));
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(number(), "2");
    ASSERT_TRUE(analysesLoaded());
    EXPECT_TRUE(analysisText(0).contains("解析：正确答案B,你的答案《A》"));
    const double height = page(0)->contentSize().height;
    const auto analysis = m_exam->examPage(0)->analysisView();
    for (int again = 0; again < 3; ++again) {
        goTo(0);
        ASSERT_TRUE(tapLabel(page(0), "C"));
        ASSERT_TRUE(analysesLoaded());
    }
    EXPECT_EQ(m_exam->examPage(0)->analysisView(), analysis);
    EXPECT_TRUE(analysisText(0).contains(",你的答案《C》"));
    EXPECT_NEAR(page(0)->contentSize().height, height, 0.5);
    EXPECT_FALSE(m_exam->examPage(0)->analysisHtml(std::nullopt).contains("font-size"));

    // True/false shown as 对/错; the last question's pick leads to the card.
    ASSERT_TRUE(tapLabel(page(1), "对"));
    ASSERT_TRUE(analysesLoaded());
    EXPECT_TRUE(analysisText(1).contains("解析：正确答案错,你的答案《对》"));
    EXPECT_TRUE(analysisText(1).contains("因为如此"));
    EXPECT_EQ(number(), "3");

    // Typed text is shown as text; a missing analysis shows nothing.
    goTo(2);
    ASSERT_TRUE(tapLabel(page(2), "答题框"));
    m_window->firstResponder()->insertText("<b>x</b>&");
    ASSERT_TRUE(tapLabel(m_exam->view(), "解析"));
    ASSERT_TRUE(analysesLoaded());
    EXPECT_TRUE(analysisText(2).contains("<b>x</b>&"));
    EXPECT_FALSE(analysisText(2).contains("null"));
}

// Leaving lets every option group and the screen itself go.
TEST_F(ExamStartReviewTest, LeavingReleasesTheScreen)
{
    openStubbed(singleChoices(3));
    std::weak_ptr<ui::View> group = m_exam->examPage(0)->widgets().front();
    std::weak_ptr<ExamStartViewController> screen = m_exam;
    pick(0, "A");
    finishAndReview("查看错题解析");
    ASSERT_TRUE(leave());
    EXPECT_EQ(m_exam->pageCount(), 0);
    EXPECT_FALSE(m_exam->viewGroup());
    m_exam.reset();
    pumpUntil([] { return false; }, 0.3);
    EXPECT_TRUE(group.expired());
    EXPECT_TRUE(screen.expired());
}

} // namespace
