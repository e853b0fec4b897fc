#include "platform/ui/ScrollView.h"

#include "platform/ui/Button.h"
#include "platform/ui/ScrollViewDelegate.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

using namespace ui;

namespace {

// Writes every callback as a word, and the offset at each scroll end.
class Recorder : public ScrollViewDelegate {
public:
    QStringList calls;
    double lowestY = 0;
    std::vector<Point> endOffsets;
    std::optional<Point> redirect;

    void scrollViewDidScroll(ScrollView& s) override { lowestY = std::min(lowestY, s.contentOffset().y); }
    void scrollViewWillBeginDragging(ScrollView&) override { calls << "willBeginDragging"; }
    void scrollViewWillEndDragging(ScrollView&, Point, Point& target) override
    {
        calls << "willEndDragging";
        if (redirect)
            target = *redirect;
    }
    void scrollViewDidEndDragging(ScrollView&, bool decelerate) override
    {
        calls << (decelerate ? "didEndDragging(decelerate)" : "didEndDragging");
    }
    void scrollViewWillBeginDecelerating(ScrollView&) override { calls << "willBeginDecelerating"; }
    void scrollViewDidEndDecelerating(ScrollView& s) override
    {
        calls << "didEndDecelerating";
        endOffsets.push_back(s.contentOffset());
    }
    void scrollViewDidEndScrollingAnimation(ScrollView& s) override
    {
        calls << "didEndScrollingAnimation";
        endOffsets.push_back(s.contentOffset());
    }
};

class ScrollViewTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        window = Window::create(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
        scroll = ScrollView::create(Rect(0, 0, 320, 480));
        window->addSubview(scroll);
        recorder = std::make_shared<Recorder>();
        scroll->setDelegate(recorder);
    }

    void pages(int count)
    {
        scroll->setContentSize(Size(320.0 * count, 480));
        scroll->setPagingEnabled(true);
    }
    void drag(Point from, Point to, double duration) { TouchInjector::drag(*clock, *window, from, to, duration); }

    std::shared_ptr<Window> window;
    std::shared_ptr<ScrollView> scroll;
    std::shared_ptr<Recorder> recorder;
};

} // namespace

TEST_F(ScrollViewTest, PagingSettlesOnWholePagesAtMostOneAway)
{
    // name, start page, finger's move, its duration, page it settles on
    const std::tuple<const char*, double, double, double, double> cases[] = {
        {"flick forward", 0, -120, 0.1, 1},
        {"flick back", 2, 120, 0.1, 1},
        {"slow short drag returns", 1, -100, 1.0, 1},
        {"slow long drag passes half", 1, -200, 1.0, 2},
        {"just over the flick speed of 200 points a second", 1, -60, 60.0 / 210, 2},
        {"just under it", 1, -60, 60.0 / 190, 1},
        {"long fast drag still one page", 0, -300, 0.05, 1},
        {"flick past the last page", 4, -150, 0.1, 4},
        {"flick before the first page", 0, 150, 0.1, 0},
    };
    pages(5);
    for (const auto& [name, startPage, fingerDx, duration, expectedPage] : cases) {
        SCOPED_TRACE(name);
        scroll->setContentOffset(Point(startPage * 320, 0));
        drag(Point(160 - fingerDx / 2, 200), Point(160 + fingerDx / 2, 200), duration);
        step(2);
        EXPECT_EQ(scroll->contentOffset(), Point(expectedPage * 320, 0));
        EXPECT_FALSE(scroll->isDecelerating() || scroll->isDragging());
    }
}

TEST_F(ScrollViewTest, SwipeSendsDragAndDecelerationCallbacksInOrder)
{
    pages(3);
    drag(Point(250, 200), Point(130, 200), 0.1);
    step(1);
    EXPECT_EQ(recorder->calls, (QStringList{"willBeginDragging", "willEndDragging", "didEndDragging(decelerate)",
                                            "willBeginDecelerating", "didEndDecelerating"}));
    ASSERT_EQ(recorder->endOffsets.size(), 1u);
    EXPECT_EQ(recorder->endOffsets[0], Point(320, 0));
}

TEST_F(ScrollViewTest, AnimatedOffsetMovesOnTheClockAndReportsItsEndAndIndicatorsFlash)
{
    scroll->setContentSize(Size(320, 2000));
    scroll->setContentOffset(Point(0, 600), true);
    EXPECT_EQ(scroll->contentOffset(), Point(0, 0));
    step(0.15);
    EXPECT_GT(scroll->contentOffset().y, 0);
    EXPECT_LT(scroll->contentOffset().y, 600);
    EXPECT_TRUE(recorder->calls.isEmpty());
    step(0.2);
    EXPECT_EQ(scroll->contentOffset(), Point(0, 600));
    EXPECT_EQ(recorder->calls, QStringList{"didEndScrollingAnimation"});

    // Flashed indicators show, then hide.
    scroll->flashScrollIndicators();
    EXPECT_TRUE(scroll->indicatorsVisible());
    step(1);
    EXPECT_FALSE(scroll->indicatorsVisible());
}

TEST_F(ScrollViewTest, PullingPastTheEdgeBandsWhenBouncingAndClampsOtherwise)
{
    scroll->setContentSize(Size(320, 2000));
    for (bool bounces : {true, false}) {
        SCOPED_TRACE(bounces);
        scroll->setBounces(bounces);
        scroll->setContentOffset(Point());
        recorder->lowestY = 0;
        drag(Point(160, 100), Point(160, 300), 0.5);
        if (bounces) {
            EXPECT_LT(recorder->lowestY, 0);
            EXPECT_GT(recorder->lowestY, -200);   // the band gives less than the finger moved
        } else {
            EXPECT_EQ(recorder->lowestY, 0);
        }
        step(2);
        EXPECT_EQ(scroll->contentOffset(), Point(0, 0));
    }
}

TEST_F(ScrollViewTest, FreeFlickCoastsOnAndStopsInsideTheContent)
{
    scroll->setContentSize(Size(320, 5000));
    drag(Point(160, 400), Point(160, 300), 0.1);
    const double released = scroll->contentOffset().y;
    step(0.5);
    EXPECT_GT(scroll->contentOffset().y, released);
    step(5);
    EXPECT_FALSE(scroll->isDecelerating());
    const double rest = scroll->contentOffset().y;
    EXPECT_GT(rest, released + 50);
    EXPECT_LE(rest, 5000 - 480);

    // A hard flick towards the end stops exactly at the end.
    drag(Point(160, 450), Point(160, 50), 0.05);
    step(5);
    EXPECT_EQ(scroll->contentOffset().y, 5000 - 480);

    // The delegate may retarget where it stops.
    recorder->redirect = Point(0, 777);
    drag(Point(160, 400), Point(160, 300), 0.1);
    step(5);
    EXPECT_EQ(scroll->contentOffset(), Point(0, 777));
}

TEST_F(ScrollViewTest, NestedScrollViewsShareSwipesByDirection)
{
    pages(3);
    auto page = ScrollView::create(Rect(0, 0, 320, 480));
    page->setContentSize(Size(320, 1500));
    scroll->addSubview(page);

    drag(Point(250, 200), Point(100, 205), 0.1);   // sideways: the pager's
    step(2);
    EXPECT_EQ(scroll->contentOffset(), Point(320, 0));
    EXPECT_EQ(page->contentOffset(), Point(0, 0));

    scroll->setContentOffset(Point());
    drag(Point(160, 400), Point(165, 200), 0.3);   // up: the page's
    step(5);
    EXPECT_EQ(scroll->contentOffset(), Point(0, 0));
    EXPECT_GT(page->contentOffset().y, 100);
}

TEST_F(ScrollViewTest, DraggingCancelsTheTouchedButtonUnlessTouchesMayNotBeCancelled)
{
    scroll->setContentSize(Size(320, 2000));
    auto button = Button::create(Rect(0, 100, 320, 100));
    scroll->addSubview(button);
    QStringList events;
    button->addTarget(nullptr, [&](const std::shared_ptr<Control>&) { events << "up"; }, ControlEvent::TouchUpInside);
    button->addTarget(nullptr, [&](const std::shared_ptr<Control>&) { events << "cancel"; }, ControlEvent::TouchCancel);
    drag(Point(160, 190), Point(160, 120), 0.3);
    EXPECT_EQ(events, QStringList{"cancel"});
    EXPECT_GT(scroll->contentOffset().y, 0);

    step(3);
    scroll->setContentOffset(Point());
    TouchInjector::tap(*button);
    EXPECT_EQ(events.count("up"), 1);

    scroll->setScrollEnabled(false);
    const Point before = scroll->contentOffset();
    drag(Point(160, 300), Point(160, 100), 0.3);
    EXPECT_EQ(scroll->contentOffset(), before);
}

// Content insets widen the scroll range: a hard flick stops at the content's end plus the
// bottom inset, a flick back at minus the top inset; a bottom inset alone can make short
// content scroll.
TEST_F(ScrollViewTest, FlicksStopAtTheInsetContentsEnds)
{
    // content height, top inset, bottom inset, resting offset at the end, at the start
    const std::tuple<double, double, double, double, double> cases[] = {
        {2000, 0, 60, 1580, 0},
        {2000, 20, 60, 1580, -20},
        {450, 0, 100, 70, 0},
    };
    for (const auto& [height, top, bottom, end, start] : cases) {
        SCOPED_TRACE(testing::Message() << height << " " << top << " " << bottom);
        scroll->setContentSize(Size(320, height));
        scroll->setContentInset(EdgeInsets{top, 0, bottom, 0});
        scroll->setContentOffset(Point());
        drag(Point(160, 450), Point(160, 50), 0.05);
        step(5);
        EXPECT_EQ(scroll->contentOffset(), Point(0, end));
        drag(Point(160, 50), Point(160, 450), 0.05);
        step(5);
        EXPECT_EQ(scroll->contentOffset(), Point(0, start));
        scroll->scrollRectToVisible(Rect(0, height + 200, 10, 10), false);
        EXPECT_EQ(scroll->contentOffset(), Point(0, end));
    }
}
