#include "practice/OptionBox.h"

#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/Button.h"
#include "tests/practice/ExamStartFixture.h"

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

} // namespace
