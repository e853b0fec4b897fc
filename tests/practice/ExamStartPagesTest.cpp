#include "practice/ExamStartViewController.h"

#include "platform/core/ManualClock.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextView.h"
#include "platform/ui/TouchInjector.h"
#include "practice/MyCheckBoxGroup.h"
#include "practice/MyRadioBtn.h"
#include "practice/MyRadioGroup.h"
#include "tests/practice/ExamStartFixture.h"
#include "tests/support/StubServer.h"

namespace {

// A question as the server sends it, with `options` choices ordered 0, 1, 2...
QJsonObject question(int i, int category, int options = 4, const QString& answer = "A")
{
    QJsonArray choices;
    for (int o = 0; o < options; ++o)
        choices.append(QJsonObject{{"orderby", o}, {"detail", QString("选项%1").arg(o)}});
    const QJsonObject sub{{"category", category}, {"detail", ""}, {"answer", answer}, {"examOptions", choices}};
    return QJsonObject{{"code", QString("Q%1").arg(i)}, {"category", category}, {"detail", QString("<p>第%1题</p>").arg(i)},
                       {"score", 2}, {"analyze", "<p>解析</p>"}, {"smallExams", QJsonArray{sub}},
                       {"TExamPaper", QJsonObject{{"code", "P1"}}}};
}

QByteArray listOf(int n, int category = 0)
{
    QJsonArray list;
    for (int i = 0; i < n; ++i)
        list.append(question(i, category));
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

class ExamStartPagesTest : public ExamStartFixture {
protected:
    std::shared_ptr<ExamStartViewController> openStubbedPaper(const QByteArray& reply)
    {
        useServer(m_stub.baseUrl());
        m_stub.setReply("exam/paper_exam_list", 200, reply);
        CommonUtil::setAccount(QJsonObject{{"code", "U9"}});
        CommonUtil::setSubjectCode(QString("CB"));
        auto exam = open(0, paper("P1", "卷"));
        EXPECT_TRUE(waitForPages());
        return exam;
    }

    StubServer m_stub;
};

// A paper of the sample bank holding every category: each page has the widget of its
// category below its text, and picks and typing reach the widgets.
TEST_F(ExamStartPagesTest, APaperOfEveryCategoryShowsItsWidgets)
{
    startSignedIn();
    CommonUtil::setFont(0);
    auto exam = open(0, paper("CBP1", "计算机基础历年真题（一）"));
    ASSERT_TRUE(waitForPages());
    ASSERT_EQ(exam->pageCount(), 9);
    EXPECT_EQ(exam->countLabel()->text(), " | 9");
    const char* badges[] = {"radio_title", "checkbox_title", "panduan_title", "tiankong_title", "jieda_title",
                            "budingxiag_title", "radio_title"};
    for (int i = 0; i < exam->pageCount(); ++i) {
        auto record = exam->examPage(i);
        SCOPED_TRACE(record->question().value("code").toString().toStdString());
        const int category = record->question().value("category").toInt();
        const QString html = ExamPage::questionHtml(record->question(), exam->fontsize());
        EXPECT_TRUE(html.contains(QString("<img src='%1.png'").arg(badges[category])));
        EXPECT_TRUE(html.contains("font-size:20.000000"));
        EXPECT_TRUE(record->questionView()->text().contains(record->question().value("detail").toString().mid(3, 4)));
        ASSERT_EQ(record->widgets().size(), 1u);
        auto widget = record->widgets().front();
        const auto text = record->questionView()->frame();
        EXPECT_GE(widget->frame().y(), text.y() + text.height() - 0.5);
        EXPECT_GE(page(i)->contentSize().height, widget->frame().y() + widget->frame().height() - 0.5);
        EXPECT_EQ(page(i)->frame().x(), i * exam->viewGroup()->frame().width());
        switch (category) {
        case 0:
            EXPECT_EQ(std::dynamic_pointer_cast<MyRadioGroup>(widget)->radioBtns().size(),
                      record->firstSubQuestion().value("examOptions").toArray().size());
            break;
        case 1:
        case 5:
            EXPECT_EQ(std::dynamic_pointer_cast<MyCheckBoxGroup>(widget)->checkBoxBtns().size(),
                      record->firstSubQuestion().value("examOptions").toArray().size());
            break;
        case 2: {
            auto group = std::dynamic_pointer_cast<MyRadioGroup>(widget);
            ASSERT_TRUE(group);
            ASSERT_EQ(group->radioBtns().size(), 2u);
            EXPECT_EQ(group->radioBtns()[0]->getClickValue(), "1");
            // The pair is as tall as its two options.
            const auto last = group->radioBtns()[1]->frame();
            EXPECT_GE(group->frame().height(), last.y() + last.height() - 0.5);
            break;
        }
        default:
            EXPECT_TRUE(std::dynamic_pointer_cast<ui::TextView>(widget));
        }
    }

    // Picks through the touch injector; the value follows the last pick.
    ASSERT_TRUE(tapLabel(page(0), "B"));
    ASSERT_TRUE(tapLabel(page(0), "D"));
    EXPECT_EQ(exam->examPage(0)->answerValue(), QString("D"));
    goTo(5);   // multiple choice
    ASSERT_TRUE(tapLabel(page(5), "D"));
    ASSERT_TRUE(tapLabel(page(5), "A"));
    EXPECT_EQ(exam->examPage(5)->answerValue(), QString("AD"));
    goTo(3);   // fill-in
    ASSERT_TRUE(tapLabel(page(3), "答题框"));
    ASSERT_TRUE(m_window->firstResponder());
    m_window->firstResponder()->insertText("101100");
    EXPECT_EQ(exam->examPage(3)->answerValue(), QString("101100"));
}

TEST_F(ExamStartPagesTest, TheAnswerCardLaysOutItsRows)
{
    // An empty list: the card alone, the finish button 20 below its top.
    auto exam = openStubbedPaper("[]");
    EXPECT_EQ(exam->countLabel()->text(), " | 0");
    EXPECT_EQ(exam->examCount()->text(), "1");
    ASSERT_EQ(exam->viewGroup()->subviews().size(), 1u);
    EXPECT_EQ(exam->answerCard()->frame().x(), 0);
    EXPECT_EQ(exam->finishButton()->frame().y(), 20);
    ASSERT_TRUE(leave());

    exam = openStubbedPaper(listOf(23));
    std::map<double, int> rows;
    double lastBottom = 0;
    for (int i = 0; i < 23; ++i) {
        auto button = exam->answerCard()->viewWithTag(i);
        ASSERT_TRUE(button);
        rows[button->frame().y()]++;
        lastBottom = std::max(lastBottom, button->frame().y() + button->frame().height());
    }
    std::vector<int> counts;
    for (const auto& [y, count] : rows)
        counts.push_back(count);
    EXPECT_EQ(counts, (std::vector<int>{10, 10, 3}));
    EXPECT_EQ(exam->finishButton()->frame().y(), std::trunc(lastBottom) + 20);
    EXPECT_EQ(exam->viewGroup()->contentSize().width, 24 * exam->viewGroup()->frame().width());
}

// The view tags of a page stop being unique past 500 questions; the screen does not rely on them.
TEST_F(ExamStartPagesTest, ARunOfSixHundredQuestionsWorks)
{
    auto exam = openStubbedPaper(listOf(600));
    ASSERT_EQ(exam->pageCount(), 600);
    for (int i : {499, 500, 599}) {
        ASSERT_EQ(exam->examPage(i)->widgets().size(), 1u) << i;
        EXPECT_EQ(page(i)->frame().x(), i * exam->viewGroup()->frame().width());
    }
    goTo(550);
    ASSERT_TRUE(tapLabel(page(550), "A"));
    EXPECT_EQ(exam->examPage(550)->answerValue(), QString("A"));
    exam->showAnalyze(550);
    ASSERT_TRUE(pumpUntil([&] { return exam->examPage(550)->analysisView() && !exam->examPage(550)->analysisView()->isLoading(); }));
    EXPECT_FALSE(exam->examPage(50)->analysisView());
    EXPECT_GT(exam->examPage(550)->analysisView()->frame().height(), 5);
}

// Replies of the wrong shape: elements that are not questions are skipped; a reply that is
// not a list, or an error page, is an empty run.
TEST_F(ExamStartPagesTest, RepliesOfTheWrongShape)
{
    QJsonArray mixed{question(0, 0), 7, "x", QJsonValue(), question(1, 2)};
    auto exam = openStubbedPaper(QJsonDocument(mixed).toJson());
    EXPECT_EQ(exam->pageCount(), 2);
    EXPECT_EQ(exam->examPage(1)->question().value("code").toString(), "Q1");
    ASSERT_TRUE(leave());
    for (const auto& reply : {StubServer::Reply{200, "{\"a\":1}"}, StubServer::Reply{500, "<html>oops</html>"}}) {
        m_stub.setReplies("exam/paper_exam_list", {reply});
        exam = open(0, paper("P1", "卷"));
        ASSERT_TRUE(pumpUntil([&] { return exam->viewGroup() != nullptr; }));
        EXPECT_EQ(exam->countLabel()->text(), " | 0");
        ASSERT_TRUE(leave());
    }
}

// Unusual records: letters past F, a missing stem, category 6 and categories without a badge.
TEST_F(ExamStartPagesTest, UnusualQuestionRecords)
{
    QJsonObject letters = question(0, 0, 0);
    QJsonArray options;
    for (int order : {6, 7, -1, 2})
        options.append(QJsonObject{{"orderby", order}, {"detail", "x"}});
    QJsonObject sub = letters["smallExams"].toArray()[0].toObject();
    sub["examOptions"] = options;
    sub["detail"] = "<p>小题题干</p>";
    letters["smallExams"] = QJsonArray{sub};
    letters["detail"] = "";
    QJsonObject written = question(1, 6);
    written["smallExams"] = QJsonArray{QJsonObject{{"category", 6}, {"answer", "1024"}}};
    QJsonObject unknown = question(2, 9);
    unknown["smallExams"] = QJsonArray{QJsonObject{{"category", 9}}};
    unknown.remove("detail");
    auto exam = openStubbedPaper(QJsonDocument(QJsonArray{letters, written, unknown}).toJson());
    ASSERT_EQ(exam->pageCount(), 3);

    auto group = std::dynamic_pointer_cast<MyRadioGroup>(exam->examPage(0)->widgets().front());
    ASSERT_TRUE(group);
    QStringList values;
    for (const auto& option : group->radioBtns())
        values << option->getClickValue();
    EXPECT_EQ(values, (QStringList{"G", "G", "G", "C"}));
    EXPECT_TRUE(exam->examPage(0)->questionView()->text().contains("小题题干"));
    EXPECT_TRUE(ExamPage::questionHtml(written, 16).contains("radio_title.png"));
    EXPECT_TRUE(std::dynamic_pointer_cast<ui::TextView>(exam->examPage(1)->widgets().front()));
    EXPECT_TRUE(ExamPage::questionHtml(unknown, 16).contains("<img src=''  width='0' height='0'>"));
    EXPECT_FALSE(ExamPage::questionHtml(unknown, 16).contains("null"));
}

TEST_F(ExamStartPagesTest, AFavouriteAndADeletionReachTheServer)
{
    startSignedIn();
    auto exam = open(0, paper("CBP1", "计算机基础历年真题（一）"));
    ASSERT_TRUE(waitForPages());
    ASSERT_EQ(bookCounts().value("keepCount").toInt(), 0);
    ASSERT_TRUE(tapLabel(exam->view(), "收藏"));
    ASSERT_TRUE(pumpUntil([&] { return toastTexts(exam->view()).contains("收藏成功"); }));
    EXPECT_EQ(bookCounts().value("keepCount").toInt(), 1);
    ASSERT_TRUE(leave());

    // Two wrong answers filed, then one removed from an error-book run of that paper.
    for (const char* code : {"CBQ088", "CBQ089"})
        post("exam/error_keep_add", core::FormBody{{"subjectCode", *CommonUtil::getSubjectCode()}, {"user_code", userCode()}, {"type", "0"}, {"code", code}});
    ASSERT_EQ(bookCounts().value("errorCount").toInt(), 2);
    const QJsonObject entry = bookTree("1").first().toObject();
    exam = open(6, entry.value("paper").toObject(), 0, entry.value("code").toString());
    ASSERT_TRUE(waitForPages());
    ASSERT_EQ(exam->pageCount(), 2);
    ASSERT_TRUE(tapLabel(exam->view(), "删除"));
    ASSERT_TRUE(pumpUntil([&] { return toastTexts(exam->view()).contains("删除成功"); }));
    EXPECT_EQ(bookCounts().value("errorCount").toInt(), 1);
    // The question stays in the run.
    EXPECT_EQ(exam->pageCount(), 2);
}

// A refused favourite says so, and only so; a replayed record and an empty run offer nothing.
TEST_F(ExamStartPagesTest, FavouriteFailuresAndNoOpTaps)
{
    m_stub.setReply("exam/error_keep_add", 500, "no");
    m_stub.setReply("exam/delexam", 200, "1");
    auto exam = openStubbedPaper(listOf(2));
    ASSERT_TRUE(tapLabel(exam->view(), "收藏"));
    ASSERT_TRUE(pumpUntil([&] { return !toastTexts(exam->view()).isEmpty(); }));
    pumpUntil([&] { return false; }, 0.3);
    EXPECT_EQ(toastTexts(exam->view()), QStringList{"网络不给力，请重试"});
    ASSERT_TRUE(leave());

    m_stub.setReply("exam/record_exam_list", 200, listOf(2));
    exam = open(10, QJsonObject{{"code", "R1"}, {"recordName", "记录"}});
    ASSERT_TRUE(waitForPages());
    ASSERT_TRUE(tapLabel(exam->view(), "删除"));
    pumpUntil([&] { return false; }, 0.3);
    EXPECT_EQ(m_stub.count("exam/delexam"), 0);
    EXPECT_TRUE(toastTexts(exam->view()).isEmpty());
    ASSERT_TRUE(leave());

    m_stub.setReply("exam/paper_exam_list", 200, "[]");
    exam = open(0, paper("P1", "卷"));
    ASSERT_TRUE(waitForPages());
    ASSERT_TRUE(tapLabel(exam->view(), "收藏"));
    pumpUntil([&] { return false; }, 0.3);
    EXPECT_EQ(m_stub.count("exam/error_keep_add"), 1);
}

} // namespace
