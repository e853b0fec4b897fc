#include "platform/ui/Slider.h"

#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

using namespace ui;

namespace {

// A slider whose thumb centre travels 200 points, from x = 34 (value at the minimum) to
// x = 234, on a line at y = 117 of the window.
class SliderTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        window = Window::create(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
        slider = Slider::create(Rect(20, 100, 228, 34));
        window->addSubview(slider);
        slider->addTarget(nullptr, [this](const std::shared_ptr<Control>&) { changes.push_back(slider->value()); },
                          ControlEvent::ValueChanged);
    }

    void drag(std::vector<double> xs)
    {
        TouchInjector::touchDown(*window, Point(xs.front(), 117));
        for (std::size_t i = 1; i < xs.size(); ++i)
            TouchInjector::touchMove(*window, Point(xs[i], 117));
        TouchInjector::touchUp(*window, Point(xs.back(), 117));
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<Slider> slider;
    std::vector<float> changes;   // the value at each value-changed, in order
};

} // namespace

TEST_F(SliderTest, DraggingTheThumbMovesTheValueByTheFingersTravel)
{
    // name, range, value before, finger xs (down, moves..., up at the last), value after, changes sent
    struct Case {
        const char* name;
        float minimum, maximum, before;
        std::vector<double> xs;
        float after;
        std::vector<float> sent;
    };
    const std::vector<Case> cases = {
        {"half way in two moves", 0, 1, 0, {34, 84, 134}, 0.5f, {0.25f, 0.5f}},
        {"grabbed right of its centre, the thumb keeps its place under the finger", 0, 1, 0, {40, 140}, 0.5f, {0.5f}},
        {"grabbed inside the edge of its touch margin", 0, 1, 0, {57, 157}, 0.5f, {0.5f}},
        {"another range", 10, 20, 10, {34, 184}, 17.5f, {17.5f}},
        {"past the end stops at the maximum, once", 0, 1, 0.5f, {134, 300, 320}, 1.0f, {1.0f}},
        {"back below the minimum", 0, 1, 0.5f, {134, 0}, 0.0f, {0.0f}},
        {"a move that changes nothing sends nothing", 0, 1, 1, {234, 260}, 1.0f, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        slider->setMinimumValue(c.minimum);
        slider->setMaximumValue(c.maximum);
        slider->setValue(c.before);
        changes.clear();
        drag(c.xs);
        EXPECT_FLOAT_EQ(slider->value(), c.after);
        ASSERT_EQ(changes.size(), c.sent.size());
        for (std::size_t i = 0; i < changes.size(); ++i)
            EXPECT_FLOAT_EQ(changes[i], c.sent[i]);
        EXPECT_FALSE(slider->isTracking());
    }
}

TEST_F(SliderTest, OnlyTheThumbStartsADrag)
{
    std::vector<unsigned> events;
    slider->addTarget(nullptr, [&](const std::shared_ptr<Control>&) { events.push_back(ControlEvent::TouchDown); },
                      ControlEvent::TouchDown);
    drag({59, 160});   // one point beyond the thumb's touch margin
    drag({200, 100});  // on the track, far from the thumb
    EXPECT_FLOAT_EQ(slider->value(), 0);
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(events.empty());

    slider->setEnabled(false);
    drag({34, 134});
    EXPECT_FLOAT_EQ(slider->value(), 0);
}

TEST_F(SliderTest, ANonContinuousSliderTellsOnceAtTheLift)
{
    slider->setContinuous(false);
    drag({34, 84, 134});
    EXPECT_EQ(changes, std::vector<float>{0.5f});

    changes.clear();
    drag({134, 200, 134});   // out and back: the value is what it was
    EXPECT_TRUE(changes.empty());
}

TEST_F(SliderTest, ValuesSetFromCodeStayInRangeAndTellNobody)
{
    slider->setMaximumValue(5);
    slider->setValue(7);
    EXPECT_FLOAT_EQ(slider->value(), 5);
    EXPECT_DOUBLE_EQ(slider->thumbRect().maxX(), 228);
    slider->setMinimumValue(8);   // passes the maximum: both move, and the value with them
    EXPECT_FLOAT_EQ(slider->maximumValue(), 8);
    EXPECT_FLOAT_EQ(slider->value(), 8);
    slider->setMaximumValue(2);
    EXPECT_FLOAT_EQ(slider->minimumValue(), 2);
    EXPECT_FLOAT_EQ(slider->value(), 2);
    EXPECT_TRUE(changes.empty());
}
