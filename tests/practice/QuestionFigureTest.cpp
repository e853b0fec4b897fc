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

// A figure the bank writes into the question itself, as a data: URL, shows at its own size.
TEST_F(QuestionFigureTest, AFigureWrittenIntoTheQuestionShows)
{
    const QByteArray png = pixels::solidPng(120, 60, QColor(0, 160, 0));
    openStubbed(0, QJsonArray{figureQuestion(0, "如图所示<img src='data:image/png;base64," + QString::fromLatin1(png.toBase64())
                                                    + "'>，求阴影部分的面积。")});
    goTo(0);
    auto view = m_exam->examPage(0)->questionView();
    const double scale = ui::Screen::main().scale();
    const int green = pixels::countNear(m_window->renderImage(), QColor(0, 160, 0), pixels::pixelsOf(*view), 10);
    EXPECT_NEAR(green, 120 * 60 * scale * scale, 120 * 60 * scale * scale / 20);
}

// A figure as wide as the page keeps the "，" after it on its own line, right of the figure
// (a line may not start with it), rather than sending it alone to the next line.
TEST_F(QuestionFigureTest, TheCommaAfterAFullWidthFigureStaysOnItsLine)
{
    openStubbed(0, QJsonArray{figureQuestion(0, "<img src='register.png'>，求阴影部分的面积。")});
    goTo(0);
    auto view = m_exam->examPage(0)->questionView();
    const pixels::Drawn drawn = pixels::drawnBy(*m_window, *view, pixels::pixelsOf(*view));
    EXPECT_TRUE(screenshot::save(drawn.with, "question-full-width-figure"));
    const QRect area = drawn.area;
    // The figure's rows: the tallest run of rows where something is drawn.
    int top = 0, bottom = -1;
    for (int y = area.top(), run = 0; y <= area.bottom(); ++y) {
        run = pixels::differingArea(drawn.with, drawn.without, QRect(area.left(), y, area.width(), 1)).isEmpty() ? 0 : run + 1;
        if (run > bottom - top + 1) {
            top = y - run + 1;
            bottom = y;
        }
    }
    ASSERT_GT(bottom - top, area.width() / 3) << "a figure drawn";
    const int middle = (top + bottom) / 2;
    const int figureRight = pixels::differingArea(drawn.with, drawn.without, QRect(area.left(), middle, area.width(), 1)).right();
    ASSERT_GT(figureRight - area.left(), area.width() * 3 / 4) << "the figure nearly as wide as the page";
    // (An empty area would mean the whole picture to the pixel probes.)
    const QRect besideFigure(figureRight + 1, top, area.right() - figureRight, bottom - top + 1);
    EXPECT_TRUE(!besideFigure.isEmpty() && pixels::count(drawn.with, pixels::isInk, besideFigure) > 0)
        << "the comma beside the figure";
}

// A page longer than the screen, its last option a figure: scrolled to its end, the option's
// drawing ends above the screen's bottom edge, with plain rows below it.
TEST_F(QuestionFigureTest, ALongPageEndsAboveTheScreensBottom)
{
    QJsonObject tall = figureQuestion(0, "如图所示<img src='register.png'>，求阴影部分的面积。");
    QJsonObject sub = tall["smallExams"].toArray().at(0).toObject();
    QJsonArray options = sub["examOptions"].toArray();
    QJsonObject last = options.last().toObject();
    last["detail"] = "<img src='register.png'>";
    options.replace(options.size() - 1, last);
    sub["examOptions"] = options;
    tall["smallExams"] = QJsonArray{sub};
    openStubbed(0, QJsonArray{tall});
    goTo(0);
    auto page = m_exam->examPage(0)->page();
    ASSERT_GT(page->contentSize().height, page->frame().height()) << "the page scrolls";
    page->setContentOffset(ui::Point(0, page->contentSize().height - page->frame().height()));
    auto group = m_exam->examPage(0)->widgets().front();
    const pixels::Drawn drawn = pixels::drawnBy(*m_window, *group->subviews().back());
    EXPECT_TRUE(screenshot::save(drawn.with, "question-long-page-end"));
    const double scale = ui::Screen::main().scale();
    ASSERT_FALSE(drawn.area.isEmpty());
    EXPECT_LE(drawn.area.bottom(), drawn.with.height() - 1 - 4 * scale) << "plain rows below the last option";
}

} // namespace
