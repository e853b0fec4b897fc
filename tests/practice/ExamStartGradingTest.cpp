#include "practice/ExamStartViewController.h"

#include "appbase/ServerRequest.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "practice/ReportViewController.h"
#include "tests/practice/ExamStartFixture.h"
#include "tests/support/StubServer.h"

namespace {

// The sample bank's first past paper: questions 0-2 single choice (D, D, C), 3 fill-in,
// 4 true/false ("1"), 5 multiple choice (ABD), 6 indefinite choice (AC), 7 short answer,
// 8 single choice answered in writing. Graded: 0, 1, 2, 4, 5, 6.
const QJsonObject kPaper{{"code", "CBP1"}, {"name", "计算机基础历年真题（一）"}};

QJsonObject choiceQuestion(int i, int category, const QJsonValue& answer, double score = 2, int parts = 1)
{
    QJsonArray options;
    for (int o = 0; o < 4; ++o)
        options.append(QJsonObject{{"orderby", o}, {"detail", QString("选项%1").arg(o)}});
    QJsonArray subs;
    for (int p = 0; p < parts; ++p)
        subs.append(QJsonObject{{"category", p == 0 ? category : 3}, {"answer", answer}, {"examOptions", options}});
    return QJsonObject{{"code", QString("Q%1").arg(i)}, {"category", category}, {"detail", QString("<p>题%1</p>").arg(i)},
                       {"score", score}, {"analyze", "<p>解析</p>"}, {"smallExams", subs},
                       {"TExamPaper", QJsonObject{{"code", "P1"}}},
                       {"TChapter", QJsonObject{{"code", "C1"}, {"TDirectory", QJsonObject{{"code", "D1"}}}}}};
}

class ExamStartGradingTest : public ExamStartFixture {
protected:
    std::shared_ptr<ReportViewController> report() const
    {
        return std::dynamic_pointer_cast<ReportViewController>(m_exam->presentedViewController());
    }
    bool waitForReport()
    {
        return pumpUntil([&] { return report() && report()->isAppeared(); });
    }

    void openStubbed(int type, const QJsonArray& list)
    {
        useServer(m_stub.baseUrl());
        for (const char* path : {"exam/paper_exam_list", "exam/chapter_exam_list", "exam/error_paper_exam_list"})
            m_stub.setReply(path, 200, QJsonDocument(list).toJson());
        CommonUtil::setAccount(QJsonObject{{"code", "U9"}});
        CommonUtil::setSubjectCode(QString("CB"));
        open(type, kPaper, 0, "K1");
        ASSERT_TRUE(waitForPages());
    }

    // The uploads the stub received: question code and the answer sent with it.
    QStringList uploads() const
    {
        QStringList sent;
        for (const auto& request : m_stub.requests()) {
            if (request.path != "exam/error_keep_add")
                continue;
            QString code, answer, type;
            for (const auto& [key, value] : core::FormBody::decode(request.body)) {
                if (key == "code")
                    code = value;
                if (key == "anwer")
                    answer = value;
                if (key == "type")
                    type = value;
            }
            sent << code + ":" + answer + ":" + type;
        }
        return sent;
    }

    StubServer m_stub;
};

TEST_F(ExamStartGradingTest, EveryAnswerRightUploadsNothing)
{
    startSignedIn();
    open(0, kPaper);
    ASSERT_TRUE(waitForPages());
    for (auto [i, label] : std::vector<std::pair<int, QString>>{{0, "D"}, {1, "D"}, {2, "C"}, {4, "对"}, {5, "A"}, {5, "B"},
                                                                {5, "D"}, {6, "A"}, {6, "C"}})
        pick(i, label);
    finish();
    // No overlay: the report comes at once.
    EXPECT_FALSE(CommonUtil::waitOverlay());
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(report()->examArr(), QStringList(6, "0"));
    EXPECT_FLOAT_EQ(report()->scoure(), 13);
    EXPECT_EQ(report()->answerCount(), 6);
    EXPECT_EQ(report()->type(), 0);
    EXPECT_EQ(report()->rtitle(), kPaper.value("name").toString());
    EXPECT_EQ(bookCounts().value("errorCount").toInt(), 0);
}

// Two wrong answers and one left open in a paper run: the two wrong ones are filed, the open
// one is flagged but not filed, and the server's error book holds exactly the two.
TEST_F(ExamStartGradingTest, WrongAnswersOfAPaperRunReachTheErrorBook)
{
    startSignedIn();
    open(0, kPaper);
    ASSERT_TRUE(waitForPages());
    for (auto [i, label] : std::vector<std::pair<int, QString>>{{0, "A"}, {1, "D"}, {4, "错"}, {5, "A"}, {5, "B"}, {5, "D"},
                                                                {6, "A"}, {6, "C"}})
        pick(i, label);
    finish();
    EXPECT_TRUE(CommonUtil::waitOverlay());
    ASSERT_TRUE(waitForReport());
    EXPECT_FALSE(CommonUtil::waitOverlay());
    EXPECT_EQ(report()->examArr(), (QStringList{"1", "0", "1", "1", "0", "0"}));
    EXPECT_EQ(m_exam->flagQuestions(), (QList<int>{0, 1, 2, 4, 5, 6}));
    EXPECT_EQ(report()->answerCount(), 5);
    EXPECT_FLOAT_EQ(report()->scoure(), 8);
    EXPECT_EQ(bookCounts().value("errorCount").toInt(), 2);
    const QJsonArray book = bookTree("1");
    ASSERT_EQ(book.size(), 1);
    EXPECT_EQ(book[0].toObject().value("paper").toObject().value("code").toString(), "CBP1");
    EXPECT_EQ(book[0].toObject().value("count").toInt(), 2);
}

// Uploads go one after another, in question order, with the right answer; a 500 or a
// refused connection in the middle neither stops the chain nor shows anything.
TEST_F(ExamStartGradingTest, TheUploadChainSurvivesFailures)
{
    const QJsonArray list{choiceQuestion(0, 0, "B"), choiceQuestion(1, 2, "1", 1), choiceQuestion(2, 1, "AC"),
                          choiceQuestion(3, 2, "0", 1)};
    m_stub.setReplies("exam/error_keep_add", {{500, "oops"}, {200, "1"}});
    openStubbed(1, list);
    pick(0, "A");
    pick(1, "错");
    pick(2, "A");
    pick(3, "对");
    finish();
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(uploads(), (QStringList{"Q0:B:0", "Q1:对:0", "Q2:AC:0", "Q3:错:0"}));
    EXPECT_FALSE(CommonUtil::waitOverlay());
    EXPECT_TRUE(toastTexts(m_exam->view()).isEmpty());
    EXPECT_EQ(report()->type(), 1);
    // A second tap on finish changes nothing.
    const int sent = m_stub.requests().size();
    m_exam->finishJobClick(nullptr);
    pumpUntil([] { return false; }, 0.3);
    EXPECT_EQ(m_stub.requests().size(), sent);
    EXPECT_EQ(m_exam->errorArr().size(), 4);

    // Refused connections and an address no connection can be made to: every upload fails,
    // the chain still ends with the report.
    for (const QString& base : {refusingServerUrl(), QString("nohost:/PendarWeb/")}) {
        SCOPED_TRACE(base.toStdString());
        ASSERT_TRUE(leave());
        openStubbed(2, list);
        pick(0, "A");
        pick(2, "B");
        useServer(base);
        finish();
        ASSERT_TRUE(waitForReport());
        EXPECT_FALSE(CommonUtil::waitOverlay());
        EXPECT_EQ(m_exam->pendingUploads(), 0);
        EXPECT_FALSE(m_exam->isUploading());
    }
}

// A favourite whose reply arrives while the uploads run is not taken for an upload's end.
TEST_F(ExamStartGradingTest, AFavouriteDuringTheChainDoesNotMoveIt)
{
    m_stub.setReply("exam/error_keep_add", 200, "1");
    openStubbed(0, QJsonArray{choiceQuestion(0, 0, "B"), choiceQuestion(1, 0, "B")});
    pick(0, "A");
    pick(1, "A");
    finish();
    m_exam->keepClick(nullptr);
    ASSERT_TRUE(waitForReport());
    pumpUntil([] { return false; }, 0.3);
    EXPECT_EQ(uploads().filter(":0").size(), 2);
    EXPECT_EQ(uploads().filter(":1").size(), 1);
    EXPECT_EQ(report()->examArr(), (QStringList{"1", "1"}));
}

TEST_F(ExamStartGradingTest, BookRunsAndUnusualQuestionsAreGradedWithoutUploads)
{
    // A question without parts (left ungraded), one of three parts graded by its first, a
    // numeric answer compared as text, a wrong pick, and an open question whose answer is
    // empty (counted right).
    QJsonObject bare = choiceQuestion(0, 0, "A");
    bare.remove("smallExams");
    const QJsonArray list{bare, choiceQuestion(1, 0, "C", 3, 3), choiceQuestion(2, 2, 1, 1), choiceQuestion(3, 0, "A"),
                          choiceQuestion(4, 0, "")};
    openStubbed(6, list);
    // The three parts' widgets stand one under another.
    const auto& parts = m_exam->examPage(1)->widgets();
    ASSERT_EQ(parts.size(), 3u);
    for (std::size_t p = 1; p < parts.size(); ++p)
        EXPECT_NEAR(parts[p]->frame().y(), parts[p - 1]->frame().y() + parts[p - 1]->frame().height(), 0.5);
    pick(1, "C");
    pick(2, "对");
    pick(3, "B");
    finish();
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(report()->examArr(), (QStringList{"0", "0", "1", "0"}));
    EXPECT_EQ(m_exam->flagQuestions(), (QList<int>{1, 2, 3, 4}));
    EXPECT_FLOAT_EQ(report()->scoure(), 1 + 1 + 2);
    EXPECT_EQ(report()->answerCount(), 3);
    EXPECT_EQ(report()->type(), 1);
    EXPECT_TRUE(uploads().isEmpty());
    // The wrong-only review finds the wrong question's own page, not the flag's position.
    ASSERT_TRUE(tapLabel(report()->view(), "查看错题解析"));
    ASSERT_TRUE(pumpUntil([&] { return !m_exam->presentedViewController(); }));
    EXPECT_EQ(m_exam->examCount()->text(), "4");
    EXPECT_TRUE(m_exam->examPage(3)->analysisView());
    EXPECT_FALSE(m_exam->examPage(0)->analysisView());
}

} // namespace
