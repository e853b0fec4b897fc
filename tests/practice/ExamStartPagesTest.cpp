#include "practice/ExamStartViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/TextView.h"
#include "practice/MyCheckBoxGroup.h"
#include "practice/MyRadioBtn.h"
#include "practice/MyRadioGroup.h"
#include "tests/practice/ExamStartFixture.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Screenshot.h"

namespace {

class ExamStartPagesTest : public ExamStartFixture {
protected:
    // The window drawn and saved for people to look at; `view`'s area of it in pixels.
    QImage shoot(const QString& name)
    {
        const QImage image = m_window->renderImage();
        EXPECT_TRUE(screenshot::save(image, "exam-" + name));
        return image;
    }
    static QRect pixelsOf(const std::shared_ptr<ui::View>& view)
    {
        const ui::Rect r = view->convertRectTo(view->bounds(), nullptr);
        const double s = ui::Screen::main().scale();
        return QRect(int(r.x() * s), int(r.y() * s), int(r.width() * s), int(r.height() * s));
    }
};

// A paper of the sample bank holding every category: each page shows its badge and text, then
// the widget of its category below the text; picks and typing reach the widgets and are drawn.
TEST_F(ExamStartPagesTest, APaperOfEveryCategoryShowsItsWidgets)
{
    startSignedIn();
    CommonUtil::setFont(1);
    CommonUtil::setIsNext(0);
    auto exam = open(0, firstPaper());
    ASSERT_TRUE(waitForPages());
    ASSERT_EQ(exam->pageCount(), 9);
    EXPECT_EQ(exam->countLabel()->text(), " | 9");
    EXPECT_EQ(exam->etitle()->text(), firstPaper().value("name").toString());
    // Each page: its badge, its widget (by the first sub-question's category) under its text.
    QStringList shown;
    for (int i = 0; i < exam->pageCount(); ++i) {
        auto record = exam->examPage(i);
        const QString html = ExamPage::questionHtml(record->question(), exam->fontsize());
        EXPECT_TRUE(html.contains("font-size:24.000000")) << "text size 20 of the middle setting, plus 4";
        ASSERT_EQ(record->widgets().size(), 1u);
        auto widget = record->widgets().front();
        EXPECT_GE(widget->frame().y(), record->questionView()->frame().maxY() - 0.5) << i;
        EXPECT_GE(page(i)->contentSize().height, widget->frame().maxY() - 0.5) << i;
        EXPECT_EQ(page(i)->frame().x(), i * exam->viewGroup()->frame().width());
        auto radios = std::dynamic_pointer_cast<MyRadioGroup>(widget);
        auto checks = std::dynamic_pointer_cast<MyCheckBoxGroup>(widget);
        const QString kind = radios ? QString("radio%1").arg(radios->radioBtns().size())
                             : checks ? QString("check%1").arg(checks->checkBoxBtns().size())
                             : std::dynamic_pointer_cast<ui::TextView>(widget) ? "text" : "?";
        shown << html.section("<img src='", 1).section(".png'", 0, 0) + " " + kind;
        // Options stand one under another inside their group, so a finger reaches each.
        double bottom = 0;
        for (const auto& option : radios || checks ? widget->subviews() : std::vector<std::shared_ptr<ui::View>>()) {
            EXPECT_GE(option->frame().y(), bottom) << i;
            EXPECT_TRUE(widget->bounds().contains(option->frame())) << i;
            bottom = option->frame().maxY();
        }
    }
    EXPECT_EQ(shown, (QStringList{"radio_title radio4", "radio_title radio4", "radio_title radio4", "tiankong_title text",
                                  "panduan_title radio2", "checkbox_title check4", "budingxiag_title check3", "jieda_title text",
                                  "radio_title text"}));

    ASSERT_TRUE(tapLabel(page(0), "B"));
    ASSERT_TRUE(tapLabel(page(0), "D"));
    EXPECT_EQ(exam->examPage(0)->answerValue(), QString("D"));
    const auto options = std::dynamic_pointer_cast<MyRadioGroup>(exam->examPage(0)->widgets().front())->radioBtns();
    EXPECT_EQ(options[1]->radioBtn()->backgroundImageForState(ui::ControlState::Normal).name(), "radiob_01.png");
    EXPECT_EQ(options[3]->radioBtn()->backgroundImageForState(ui::ControlState::Normal).name(), "radiod_02.png");
    const QImage single = shoot("single-choice");
    EXPECT_GT(pixels::count(single, pixels::isInk, pixelsOf(exam->examPage(0)->questionView())), 50) << "badge and stem";
    EXPECT_GT(pixels::distinctColours(single, pixelsOf(exam->examPage(0)->widgets().front())), 8);
    pick({{5, "D"}, {5, "A"}});
    EXPECT_EQ(exam->examPage(5)->answerValue(), QString("AD"));
    EXPECT_GT(pixels::distinctColours(shoot("multiple-choice"), pixelsOf(exam->examPage(5)->widgets().front())), 8);
    write(3, "101100");
    EXPECT_EQ(exam->examPage(3)->answerValue(), QString("101100"));
    EXPECT_GT(pixels::count(shoot("fill-in"), pixels::isInk, pixelsOf(exam->examPage(3)->widgets().front())), 20);
    ASSERT_TRUE(tapLabel(exam->view(), "答题卡"));
    const QImage card = shoot("answer-card");
    for (int i = 1; i <= 9; ++i)
        EXPECT_GT(pixels::countNear(card, QColor(0x6F, 0xD7, 0xFD), pixelsOf(findByLabel(exam->answerCard(), QString("第%1题").arg(i)))), 5)
            << "number " << i << " drawn in its tile";
}

// The answer box of a fill-in or short-answer question stands apart from the question text:
// rows without ink between the text's last line and the box's top edge.
TEST_F(ExamStartPagesTest, AnswerBoxesLeaveAGapBelowTheQuestion)
{
    startSignedIn();
    auto exam = open(0, firstPaper());
    ASSERT_TRUE(waitForPages());
    const double scale = ui::Screen::main().scale();
    int boxes = 0;
    for (int i = 0; i < exam->pageCount(); ++i) {
        auto box = std::dynamic_pointer_cast<ui::TextView>(exam->examPage(i)->widgets().front());
        if (!box)
            continue;
        ++boxes;
        goTo(i);
        const QImage image = shoot(QString("answer-box-%1").arg(i));
        const std::vector<int> text = pixels::rowsWith(image, pixels::isInk, pixelsOf(exam->examPage(i)->questionView()));
        ASSERT_FALSE(text.empty()) << i;
        const QRect edge = pixelsOf(box);
        const QRect between(edge.left(), text.back() + 1, edge.width(), edge.top() - text.back() - 1);
        EXPECT_GE(between.height(), 6 * scale) << i;
        EXPECT_TRUE(pixels::rowsWith(image, pixels::isInk, between).empty()) << i;
    }
    EXPECT_GE(boxes, 2) << "a fill-in and a short-answer question";
}

TEST_F(ExamStartPagesTest, TheAnswerCardLaysOutItsRows)
{
    // An empty list: the card alone, the finish button 20 below its top.
    auto exam = openStubbed(0, QJsonArray());
    EXPECT_EQ(exam->countLabel()->text(), " | 0");
    ASSERT_EQ(exam->viewGroup()->subviews().size(), 1u);
    EXPECT_EQ(exam->answerCard()->frame().x(), 0);
    EXPECT_EQ(exam->finishButton()->frame().y(), 20);
    ASSERT_TRUE(leave());

    exam = openStubbed(0, singleChoices(23));
    std::map<double, int> rows;
    double lastBottom = 0;
    for (int i = 0; i < 23; ++i) {
        auto button = findByLabel(exam->answerCard(), QString("第%1题").arg(i + 1));
        ASSERT_TRUE(button);
        rows[button->frame().y()]++;
        lastBottom = std::max(lastBottom, button->frame().maxY());
        EXPECT_LE(button->frame().maxX(), exam->answerCard()->frame().width());
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
    auto exam = openStubbed(0, singleChoices(600));
    ASSERT_EQ(exam->pageCount(), 600);
    pick(550, "A");
    EXPECT_EQ(exam->examPage(550)->answerValue(), QString("A"));
    ASSERT_TRUE(tapLabel(exam->view(), "解析"));
    ASSERT_TRUE(pumpUntil([&] { return exam->examPage(550)->analysisView() && !exam->examPage(550)->analysisView()->isLoading(); }));
    EXPECT_FALSE(exam->examPage(50)->analysisView());
    EXPECT_GT(exam->examPage(550)->analysisView()->frame().height(), 5);
}

// Elements that are not questions are skipped, with letters past F as "G", a stem taken from
// the sub-question, category 6 as a text view with the single-choice badge and an unknown
// category without a badge; a reply that is no list, an error page or a kind without a list
// (which sends nothing) is an empty run.
TEST_F(ExamStartPagesTest, UnusualRepliesAndRecords)
{
    QJsonArray options;
    for (int order : {6, 7, -1, 2})
        options.append(QJsonObject{{"orderby", order}, {"detail", "x"}});
    const QJsonObject letters{{"smallExams", QJsonArray{QJsonObject{{"category", 0}, {"detail", "<p>小题题干</p>"}, {"examOptions", options}}}}};
    const QJsonObject written{{"category", 6}, {"smallExams", QJsonArray{QJsonObject{{"category", 6}, {"answer", "1024"}}}}};
    const QJsonObject unknown{{"category", 9}, {"smallExams", QJsonArray{QJsonObject{{"category", 9}}}}};
    auto exam = openStubbed(0, QJsonArray{letters, 7, "x", QJsonValue(), written, unknown});
    ASSERT_EQ(exam->pageCount(), 3);
    QStringList values;
    for (const auto& option : std::dynamic_pointer_cast<MyRadioGroup>(exam->examPage(0)->widgets().front())->radioBtns())
        values << option->getClickValue();
    EXPECT_EQ(values, (QStringList{"G", "G", "G", "C"}));
    EXPECT_TRUE(exam->examPage(0)->questionView()->text().contains("小题题干"));
    EXPECT_TRUE(std::dynamic_pointer_cast<ui::TextView>(exam->examPage(1)->widgets().front()));
    EXPECT_TRUE(ExamPage::questionHtml(written, 16).contains("radio_title.png"));
    EXPECT_TRUE(ExamPage::questionHtml(unknown, 16).endsWith("<img src=''  width='0' height='0'>"));
    ASSERT_TRUE(leave());

    for (const auto& reply : {StubServer::Reply{200, "{\"a\":1}"}, StubServer::Reply{500, "<html>oops</html>"}}) {
        m_stub.setReplies("exam/paper_exam_list", {reply});
        exam = open(0, paper("P1", "卷"));
        ASSERT_TRUE(pumpUntil([&] { return exam->viewGroup() != nullptr; }));
        EXPECT_EQ(exam->countLabel()->text(), " | 0");
        ASSERT_TRUE(leave());
    }
    const int sent = m_stub.requests().size();
    exam = open(11);
    ASSERT_TRUE(pumpUntil([&] { return exam->viewGroup() != nullptr; }));
    EXPECT_EQ(m_stub.requests().size(), sent);
}

TEST_F(ExamStartPagesTest, AFavouriteAndADeletionReachTheServer)
{
    startSignedIn();
    auto exam = open(0, firstPaper());
    ASSERT_TRUE(waitForPages());
    ASSERT_EQ(bookCounts().value("keepCount").toInt(), 0);
    ASSERT_TRUE(tapLabel(exam->view(), "收藏"));
    ASSERT_TRUE(pumpUntil([&] { return toastTexts(exam->view()).contains("收藏成功"); }));
    EXPECT_EQ(bookCounts().value("keepCount").toInt(), 1);
    ASSERT_TRUE(leave());

    // Two wrong answers filed, then one removed from an error-book run of that paper.
    for (const char* code : {"CBQ088", "CBQ089"})
        ask("exam/error_keep_add", {{"type", "0"}, {"code", code}});
    const QJsonObject entry = bookTree("1").first().toObject();
    exam = open(6, entry.value("paper").toObject(), 0, entry.value("code").toString());
    ASSERT_TRUE(waitForPages());
    ASSERT_EQ(exam->pageCount(), 2);
    ASSERT_TRUE(tapLabel(exam->view(), "删除"));
    ASSERT_TRUE(pumpUntil([&] { return toastTexts(exam->view()).contains("删除成功"); }));
    EXPECT_EQ(bookCounts().value("errorCount").toInt(), 1);
    EXPECT_EQ(exam->pageCount(), 2) << "the question stays in the run";
}

// A refused favourite says so, and only so; a replayed record and an empty run send nothing.
TEST_F(ExamStartPagesTest, FavouriteFailuresAndNoOpTaps)
{
    m_stub.setReply("exam/error_keep_add", 404, "no");
    auto exam = openStubbed(0, singleChoices(2));
    ASSERT_TRUE(tapLabel(exam->view(), "收藏"));
    ASSERT_TRUE(pumpUntil([&] { return !toastTexts(exam->view()).isEmpty(); }));
    pumpUntil([&] { return false; }, 0.3);
    EXPECT_EQ(toastTexts(exam->view()), QStringList{CommonUtil::kNetworkMessage});
    ASSERT_TRUE(leave());

    exam = openStubbed(10, singleChoices(2));
    ASSERT_TRUE(tapLabel(exam->view(), "删除"));
    ASSERT_TRUE(leave());
    exam = openStubbed(0, QJsonArray());
    ASSERT_TRUE(tapLabel(exam->view(), "收藏"));
    pumpUntil([&] { return false; }, 0.3);
    EXPECT_EQ(m_stub.count("exam/delexam"), 0);
    EXPECT_EQ(m_stub.count("exam/error_keep_add"), 1);
    EXPECT_TRUE(toastTexts(exam->view()).isEmpty());
}

} // namespace
