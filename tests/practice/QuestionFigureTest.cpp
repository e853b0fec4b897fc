#include "practice/ExamStartViewController.h"

#include "tests/practice/ExamStartFixture.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ViewPixels.h"

namespace {

class QuestionFigureTest : public ExamStartFixture {
protected:
    // Question i shown, its text view drawn: its height and the pixels it drew, in points.
    struct Shown {
        double height;
        double drawnHeight;
        double widestGap;   // the tallest band of empty rows inside what it drew
    };
    Shown show(int i, const QString& shot)
    {
        goTo(i);
        auto view = m_exam->examPage(i)->questionView();
        const pixels::Drawn drawn = pixels::drawnBy(*m_window, *view, pixels::pixelsOf(*view));
        EXPECT_TRUE(screenshot::save(drawn.with, shot));
        const double scale = ui::Screen::main().scale();
        int gap = 0;
        int widest = 0;
        for (int y = drawn.area.top(); y <= drawn.area.bottom(); ++y) {
            const QRect row(drawn.area.left(), y, drawn.area.width(), 1);
            gap = pixels::differingArea(drawn.with, drawn.without, row).isEmpty() ? gap + 1 : 0;
            widest = std::max(widest, gap);
        }
        return {view->frame().height(), (drawn.area.bottom() + 1) / scale - view->convertPointTo({0, 0}, nullptr).y,
                widest / scale};
    }
};

QJsonObject figureQuestion(int i, const QString& detail)
{
    QJsonObject q = question(i, 0);
    q["detail"] = detail;
    return q;
}

// Questions with figures, as a bank sends them: a figure narrower than the page, one wider
// (shown as wide as the page), and one in a table beside its words. A picture of the resource
// folder (the registration form) stands for the figure. Each question's text is
// as tall as what it draws, with no blank band above a figure, so its options follow the text.
TEST_F(QuestionFigureTest, AQuestionIsAsTallAsItsTextAndFigure)
{
    const QJsonArray list{
        figureQuestion(0, "如图所示<img src='register.png' width='330' height='240'>，求阴影部分的面积。"),
        figureQuestion(1, "如图所示<img src='register.png'>，求阴影部分的面积。"),
        figureQuestion(2, "<table border='1' cellspacing='0'><tr><td><img src='register.png'></td>"
                          "<td>长方形的长是宽的两倍，周长是三十六厘米，求它的面积。</td></tr></table>"),
    };
    openStubbed(0, list);
    ASSERT_EQ(m_exam->pageCount(), 3);
    const char* shots[] = {"question-figure", "question-wide-figure", "question-table-figure"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Shown shown = show(i, shots[i]);
        EXPECT_NEAR(shown.height, shown.drawnHeight, 12) << "the text view ends where its drawing ends";
        EXPECT_LT(shown.widestGap, 12) << "no blank band inside the question";
        auto widget = m_exam->examPage(i)->widgets().front();
        EXPECT_LT(widget->frame().y() - (shown.drawnHeight + m_exam->examPage(i)->questionView()->frame().y()), 12)
            << "the options follow the text";
    }
    // Beside a figure in a table the words keep lines of many characters: the question is
    // no taller than the page is wide.
    EXPECT_LT(show(2, shots[2]).height, m_exam->viewGroup()->frame().width());
}

} // namespace
