#include "practice/OptionBox.h"

#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/Button.h"
#include "tests/practice/ExamStartFixture.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Screenshot.h"

namespace {

// The option widgets on the practice screen's pages, as a finger meets them.
class OptionWidgetsTest : public ExamStartFixture {
protected:
    int shownPage() const { return int(m_exam->viewGroup()->contentOffset().x / m_exam->viewGroup()->frame().width()); }

    ui::Point centreOf(const std::shared_ptr<ui::View>& view) const
    {
        const ui::Rect r = view->convertRectTo(view->bounds(), nullptr);
        return ui::Point(r.x() + r.width() / 2, r.y() + r.height() / 2);
    }

    // The window's pixel rows of `view`'s area that hold ink, in points from the window's top.
    static std::vector<double> inkRows(const QImage& image, const std::shared_ptr<ui::View>& view)
    {
        const ui::Rect r = view->convertRectTo(view->bounds(), nullptr);
        const double s = ui::Screen::main().scale();
        std::vector<double> rows;
        for (int row : pixels::rowsWith(image, pixels::isInk,
                                         QRect(int(r.x() * s), int(r.y() * s), int(r.width() * s), int(r.height() * s))))
            rows.push_back(row / s);
        return rows;
    }
};

// A finger that drifts as far as a tap allows (where the page would begin to slide) still picks
// the option, single choice and multiple choice alike, and the page stays; a real swipe that
// starts on an option still turns the page and picks nothing.
TEST_F(OptionWidgetsTest, ATapThatDriftsPicksTheOptionAndASwipeTurnsThePage)
{
    openStubbed(6, QJsonArray{question(0, 0, "B"), question(1, 1, "AC")});
    for (int i : {0, 1}) {
        SCOPED_TRACE(i);
        goTo(i);
        const auto option = findByLabel(page(i), "C");
        ASSERT_TRUE(option);
        const ui::Point from = centreOf(option);
        ui::TouchInjector::touchDown(*m_window, from);
        ui::TouchInjector::touchMove(*m_window, ui::Point(from.x - 10, from.y));
        ui::TouchInjector::touchUp(*m_window, ui::Point(from.x - 10, from.y));
        EXPECT_EQ(m_exam->examPage(i)->answerValue(), QString("C"));
        EXPECT_EQ(m_exam->viewGroup()->contentOffset().x, i * m_exam->viewGroup()->frame().width());
    }

    goTo(0);
    core::ManualClock clock(core::Clock::now());
    const ui::Point from = centreOf(findByLabel(page(0), "A"));
    ui::TouchInjector::drag(clock, *m_window, from, ui::Point(from.x - 200, from.y), 0.2);
    clock.advance(2);
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(m_exam->examPage(0)->answerValue(), QString("C"));
}

// Every caption's text stands level with its letter button: a caption that wraps where it is
// measured but fits on one line where it is shown, a short one, and one that wraps where shown.
TEST_F(OptionWidgetsTest, CaptionsStandLevelWithTheirButtons)
{
    QJsonObject wrapped = question(0, 0, "B");
    QJsonObject sub = wrapped["smallExams"].toArray()[0].toObject();
    const QStringList captions{QStringLiteral("这是一个在测量宽度处会折行的选项"), QStringLiteral("短"),
                               QStringLiteral("这一个选项的文字很长很长，在显示的宽度里也要折成两行才能放下全部文字")};
    QJsonArray options;
    for (int o = 0; o < captions.size(); ++o)
        options.append(QJsonObject{{"orderby", o}, {"detail", captions[o]}});
    sub["examOptions"] = options;
    wrapped["smallExams"] = QJsonArray{sub};
    openStubbed(6, QJsonArray{wrapped});
    const QImage image = m_window->renderImage();
    EXPECT_TRUE(screenshot::save(image, "options-wrapped"));
    std::vector<double> heights;
    for (const char* letter : {"A", "B", "C"}) {
        SCOPED_TRACE(letter);
        const auto option = std::dynamic_pointer_cast<OptionBox>(findByLabel(page(0), letter));
        ASSERT_TRUE(option && option->title());
        const std::vector<double> ink = inkRows(image, option->title());
        ASSERT_FALSE(ink.empty());
        EXPECT_NEAR((ink.front() + ink.back()) / 2, centreOf(option->radioBtn()).y, 2);
        heights.push_back(option->title()->frame().height());
    }
    ASSERT_EQ(heights.size(), 3u);
    EXPECT_EQ(heights[0], heights[1]) << "the first caption fits on one line where it is shown";
    EXPECT_GT(heights[2], 1.5 * heights[1]) << "the last one wraps";
}

} // namespace
