#include "practice/ExamStartViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "practice/PaperViewController.h"
#include "practice/ReportViewController.h"
#include "tests/practice/ExamStartFixture.h"

namespace {

class ExamStartJourneyTest : public ExamStartFixture {};

// A signed-in user with a subject chosen opens a past paper from the paper list, answers every
// question (two wrong on purpose), finishes, reads the score, reviews the wrong ones and goes
// back; the server's error book then holds exactly those two questions.
TEST_F(ExamStartJourneyTest, PastPaperFromListToErrorBook)
{
    startSignedIn();
    CommonUtil::setIsShowAnalyze(0);
    CommonUtil::setIsNext(0);
    auto papers = PaperViewController::create();
    papers->setType(PaperViewController::PastPapers);
    m_host->presentViewController(papers, true, [] {});
    ASSERT_TRUE(pumpUntil([&] { return papers->isAppeared() && papers->tableView(); }));
    ASSERT_TRUE(pumpUntil([&] { return tapLabel(papers->tableView(), "计算机基础历年真题（一）"); }));
    ASSERT_TRUE(pumpUntil([&] {
        m_exam = std::dynamic_pointer_cast<ExamStartViewController>(papers->presentedViewController());
        return m_exam && m_exam->isAppeared();
    }));
    ASSERT_TRUE(waitForPages());
    ASSERT_EQ(m_exam->pageCount(), 9);

    // Right: 1, 2, 5 and 6; wrong: 0 (A for D) and 4 (错 for 对); 3, 7 and 8 are written
    // answers and not graded.
    const std::vector<std::pair<int, QString>> picks{{0, "A"}, {1, "D"}, {2, "C"}, {4, "错"}, {5, "A"},
                                                     {5, "B"}, {5, "D"}, {6, "A"}, {6, "C"}};
    for (const auto& [i, label] : picks)
        pick(i, label);
    for (int i : {3, 7, 8}) {
        goTo(i);
        ASSERT_TRUE(tapLabel(page(i), "答题框"));
        m_window->firstResponder()->insertText("我的答案");
    }
    finish();
    std::shared_ptr<ReportViewController> report;
    ASSERT_TRUE(pumpUntil([&] {
        report = std::dynamic_pointer_cast<ReportViewController>(m_exam->presentedViewController());
        return report && report->isAppeared();
    }));
    EXPECT_TRUE(findByLabel(report->view(), "10.0"));   // 2 + 2 + 3 + 3
    EXPECT_TRUE(findByLabel(report->view(), "本次练习答对了4道"));

    ASSERT_TRUE(tapLabel(report->view(), "查看错题解析"));
    ASSERT_TRUE(pumpUntil([&] { return !m_exam->presentedViewController() && m_exam->isAppeared(); }));
    EXPECT_EQ(m_exam->examCount()->text(), "1");
    ASSERT_TRUE(pumpUntil([&] { return m_exam->examPage(4)->analysisView() && !m_exam->examPage(4)->analysisView()->isLoading(); }));
    EXPECT_TRUE(m_exam->examPage(4)->analysisView()->text().contains("解析：正确答案对,你的答案《错》"));

    ASSERT_TRUE(tapLabel(m_exam->view(), "返回"));
    ASSERT_TRUE(pumpUntil([&] { return !papers->presentedViewController() && papers->isAppeared(); }));
    ASSERT_TRUE(ui::TouchInjector::tap(*papers->backButton()));
    ASSERT_TRUE(pumpUntil([&] { return !m_host->presentedViewController(); }));

    const QJsonArray book = bookTree("1");
    ASSERT_EQ(book.size(), 1);
    const QJsonObject entry = book[0].toObject();
    const QJsonArray filed = QJsonDocument::fromJson(post("exam/error_paper_exam_list",
                                                          core::FormBody{{"paperCode", "CBP1"},
                                                                         {"keep_code", entry.value("code").toString()},
                                                                         {"error_type", "1"},
                                                                         {"subjectCode", *CommonUtil::getSubjectCode()},
                                                                         {"record_remark", "check"},
                                                                         {"user_code", userCode()}}))
                                 .array();
    QStringList codes;
    for (const QJsonValue& q : filed)
        codes << q.toObject().value("code").toString();
    codes.sort();
    EXPECT_EQ(codes, (QStringList{"CBQ088", "CBQ092"}));
}

} // namespace
