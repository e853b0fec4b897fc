#include "practice/ExamStartViewController.h"

#include "practice/ReportViewController.h"
#include "tests/practice/ExamStartFixture.h"

namespace {

// The sample bank's first past paper: questions 0-2 single choice (D, D, C), 3 fill-in,
// 4 true/false ("1"), 5 multiple choice (ABD), 6 indefinite choice (AC), 7 short answer,
// 8 single choice answered in writing. Graded: 0, 1, 2, 4, 5, 6; scores 2, 2, 2, 1, 3, 3.
class ExamStartGradingTest : public ExamStartFixture {
protected:
    // The uploads the stub received, as "question code:anwer:type".
    QStringList uploads() const
    {
        QStringList sent;
        for (const auto& request : m_stub.requests()) {
            if (request.path != "exam/error_keep_add")
                continue;
            QMap<QString, QString> field;
            for (const auto& [key, value] : core::FormBody::decode(request.body))
                field[key] = value;
            sent << field["code"] + ":" + field["anwer"] + ":" + field["type"];
        }
        return sent;
    }
};

TEST_F(ExamStartGradingTest, EveryAnswerRightUploadsNothing)
{
    startSignedIn();
    open(0, firstPaper());
    ASSERT_TRUE(waitForPages());
    pick({{0, "D"}, {1, "D"}, {2, "C"}, {4, "对"}, {5, "A"}, {5, "B"}, {5, "D"}, {6, "A"}, {6, "C"}});
    finish();
    // No overlay: the report comes at once.
    EXPECT_FALSE(CommonUtil::waitOverlay());
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(report()->examArr(), QStringList(6, "0"));
    EXPECT_FLOAT_EQ(report()->scoure(), 13);
    EXPECT_EQ(report()->answerCount(), 6);
    EXPECT_EQ(report()->type(), ReportViewController::ScoreLayout);
    EXPECT_EQ(report()->rtitle(), firstPaper().value("name").toString());
    EXPECT_EQ(bookCounts().value("errorCount").toInt(), 0);
}

// Two wrong answers and one left open in a paper run: the two wrong ones are filed, the open
// one is flagged but not filed, and the server's error book holds exactly the two.
TEST_F(ExamStartGradingTest, WrongAnswersOfAPaperRunReachTheErrorBook)
{
    startSignedIn();
    open(0, firstPaper());
    ASSERT_TRUE(waitForPages());
    pick({{0, "A"}, {1, "D"}, {4, "错"}, {5, "A"}, {5, "B"}, {5, "D"}, {6, "A"}, {6, "C"}});
    finish();
    EXPECT_TRUE(CommonUtil::waitOverlay());
    ASSERT_TRUE(waitForReport());
    EXPECT_FALSE(CommonUtil::waitOverlay());
    EXPECT_EQ(report()->examArr(), (QStringList{"1", "0", "1", "1", "0", "0"}));
    EXPECT_EQ(report()->answerCount(), 5);
    EXPECT_FLOAT_EQ(report()->scoure(), 8);
    EXPECT_EQ(bookCounts().value("errorCount").toInt(), 2);
    const QJsonArray book = bookTree("1");
    ASSERT_EQ(book.size(), 1);
    const QJsonObject entry = book[0].toObject();
    EXPECT_EQ(entry.value("paper").toObject().value("code").toString(), "CBP1");
    const QJsonArray filed = ask("exam/error_paper_exam_list",
                                 {{"paperCode", "CBP1"}, {"keep_code", entry.value("code").toString()}, {"error_type", "1"}})
                                 .array();
    QStringList codes;
    for (const QJsonValue& q : filed)
        codes << q.toObject().value("code").toString();
    codes.sort();
    EXPECT_EQ(codes, (QStringList{"CBQ088", "CBQ092"}));
}

// Uploads go one after another, in question order, with the right answer; a 500 in the middle
// neither stops the chain nor shows anything, and a second tap on finish does nothing.
TEST_F(ExamStartGradingTest, TheUploadChainSurvivesFailures)
{
    const QJsonArray list{question(0, 0, "B"), question(1, 2, "1", 1), question(2, 1, "AC"), question(3, 2, "0", 1)};
    m_stub.setReplies("exam/error_keep_add", {{500, "oops"}, {200, "1"}});
    openStubbed(1, list);
    pick({{0, "A"}, {1, "错"}, {2, "A"}, {3, "对"}});
    finish();
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(uploads(), (QStringList{"Q0:B:0", "Q1:对:0", "Q2:AC:0", "Q3:错:0"}));
    EXPECT_FALSE(CommonUtil::waitOverlay());
    EXPECT_TRUE(toastTexts(m_exam->view()).isEmpty());
    EXPECT_EQ(report()->type(), 1);
    const int sent = m_stub.requests().size();
    m_exam->finishJobClick(nullptr);
    pumpUntil([] { return false; }, 0.3);
    EXPECT_EQ(m_stub.requests().size(), sent);

    // Refused connections and an address no connection can be made to: every upload fails,
    // the chain still ends with the report.
    for (const QString& base : {refusingServerUrl(), QString("nohost:/PendarWeb/")}) {
        SCOPED_TRACE(base.toStdString());
        ASSERT_TRUE(leave());
        openStubbed(2, list);
        pick({{0, "A"}, {2, "B"}});
        useServer(base);
        finish();
        ASSERT_TRUE(waitForReport());
        EXPECT_FALSE(CommonUtil::waitOverlay());
        EXPECT_FALSE(m_exam->isUploading());
    }
}

// A favourite whose reply arrives while the uploads run is not taken for an upload's end.
TEST_F(ExamStartGradingTest, AFavouriteDuringTheChainDoesNotMoveIt)
{
    m_stub.setReply("exam/error_keep_add", 200, "1");
    openStubbed(0, singleChoices(2));
    pick({{0, "A"}, {1, "A"}});
    finish();
    m_exam->keepClick(nullptr);
    ASSERT_TRUE(waitForReport());
    pumpUntil([] { return false; }, 0.3);
    QStringList sent = uploads();
    sent.sort();
    EXPECT_EQ(sent, (QStringList{"Q0:B:0", "Q1::1", "Q1:B:0"}));
}

// A book run: a question without parts (left ungraded), one of three parts graded by its first
// (a third of its score), a numeric answer compared as text, a wrong pick and an open question
// whose answer is empty (counted right); nothing is uploaded.
TEST_F(ExamStartGradingTest, ABookRunGradesUnusualQuestionsWithoutUploads)
{
    QJsonObject bare = question(0, 0, "A");
    bare.remove("smallExams");
    openStubbed(6, QJsonArray{bare, question(1, 0, "C", 3, 3), question(2, 2, 1, 1), question(3, 0, "A"), question(4, 0, "")});
    const auto& parts = m_exam->examPage(1)->widgets();
    ASSERT_EQ(parts.size(), 3u);
    for (std::size_t p = 1; p < parts.size(); ++p)
        EXPECT_NEAR(parts[p]->frame().y(), parts[p - 1]->frame().maxY(), 0.5) << "parts stack one under another";
    pick({{1, "C"}, {2, "对"}, {3, "B"}});
    finish();
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(report()->examArr(), (QStringList{"0", "0", "1", "0"}));
    EXPECT_FLOAT_EQ(report()->scoure(), 1 + 1 + 2);
    EXPECT_EQ(report()->answerCount(), 3);
    EXPECT_TRUE(uploads().isEmpty());
    // The wrong-only review finds the wrong question's own page, not the flag's position.
    ASSERT_TRUE(tapLabel(report()->view(), "查看错题解析"));
    ASSERT_TRUE(pumpUntil([&] { return !m_exam->presentedViewController(); }));
    EXPECT_EQ(m_exam->examCount()->text(), "4");
    EXPECT_TRUE(m_exam->examPage(3)->analysisView());
    EXPECT_FALSE(m_exam->examPage(0)->analysisView());

    // Leaving lets every option group and the screen itself go.
    std::weak_ptr<ui::View> group = m_exam->examPage(1)->widgets().front();
    std::weak_ptr<ExamStartViewController> screen = m_exam;
    ASSERT_TRUE(leave());
    m_exam.reset();
    pumpUntil([] { return false; }, 0.3);
    EXPECT_TRUE(group.expired());
    EXPECT_TRUE(screen.expired());
}

} // namespace

// A question whose right answer is missing or null matches no pick, not even none: left open
// it is wrong and adds nothing; picked, it is a wrong answer filed with the others.
TEST_F(ExamStartGradingTest, AQuestionWithoutARightAnswerIsNeverRight)
{
    QJsonObject missing = question(0, 0, "A", 6);
    QJsonObject sub = missing["smallExams"].toArray()[0].toObject();
    sub.remove("answer");
    missing["smallExams"] = QJsonArray{sub};
    QJsonObject pickedMissing = missing;
    pickedMissing["code"] = "Q3";
    m_stub.setReply("exam/error_keep_add", 200, "1");
    openStubbed(0, QJsonArray{missing, question(1, 0, QJsonValue(), 6), question(2, 0, "B", 1), pickedMissing});
    pick({{2, "B"}, {3, "A"}});
    finish();
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(report()->examArr(), (QStringList{"1", "1", "0", "1"}));
    EXPECT_TRUE(findByLabel(report()->view(), "1.0")) << "only the question picked right scores";
    EXPECT_EQ(report()->answerCount(), 2);
    EXPECT_EQ(uploads(), (QStringList{"Q3:(null):0"}));
}
