#include "components/sidepanel/SidePanelController.h"

#include "platform/ui/Animation.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/GestureRecognizerDelegate.h"
#include "platform/ui/Layer.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "support/SidePanelFixture.h"

#include <gtest/gtest.h>
#include <typeindex>

namespace {

constexpr auto Left = SidePanelSide::Left;
constexpr double kOpenLeft = 276;   // 320 wide, ledge 44

// A view class the container may be told not to pan over.
class Slider : public ui::View {
public:
    static std::shared_ptr<Slider> create(const ui::Rect& frame) { return std::shared_ptr<Slider>(new Slider(frame)); }

protected:
    using ui::View::View;
};

double positionAnimationDuration(const ui::Layer& layer)
{
    auto animation = layer.animationForKey(QStringLiteral("position"));
    return animation ? animation->duration() : -1;
}

using SidePanelPanning = SidePanelFixture;

TEST_F(SidePanelPanning, SlowReleaseSettlesByHowFarTheFingerWent)
{
    // Slow drags (about 200 points per second) settle open from two thirds of the way on.
    struct Case { double distance; double settled; };
    for (const Case& c : {Case{200, kOpenLeft}, Case{184, kOpenLeft}, Case{183, 0}, Case{100, 0}}) {
        SCOPED_TRACE(c.distance);
        SetUp();
        show();
        drag({20, 240}, {20 + c.distance, 240}, 1.0);
        step(0.5);
        EXPECT_EQ(slidingX(), c.settled);
        EXPECT_EQ(container->isSideOpen(Left), c.settled != 0);
        TearDown();
    }
}

TEST_F(SidePanelPanning, SidesFollowTheFingerWhileItIsDown)
{
    show();
    hold({20, 240}, {120, 240}, 0.5);
    EXPECT_EQ(slidingX(), 100);
    EXPECT_EQ(container->offset(), 100);
    EXPECT_EQ(container->shadowLayer()->frame(), container->slidingControllerView()->layer()->frame());
    release({120, 240});
}

TEST_F(SidePanelPanning, ParallaxLagsTheSideViewsBehindTheFinger)
{
    auto right = RecordingController::create(QStringLiteral("right"), journal);
    container->setRightController(right);
    container->setParallaxAmount(0.5);
    show();
    hold({20, 240}, {120, 240}, 0.5);
    EXPECT_EQ(menu->view()->frame().x(), (100 - 276) * 0.5);   // still 176 points from open
    EXPECT_EQ(right->view()->frame().x(), (100 + 276) * 0.5);
    release({120, 240});
}

TEST_F(SidePanelPanning, FlingIsTimedByTheDistanceToItsOwnSidesOpenOffset)
{
    // 60 points in 0.05 s: 1200 points per second, released 60 points into the slide.
    struct Case { SidePanelSide side; ui::Point from; ui::Point to; double openOffset; double duration; };
    const Case cases[] = {
        {Left, {20, 240}, {80, 240}, 276, (276 - 60) / 1200.0 * 1.25},
        {SidePanelSide::Right, {300, 240}, {240, 240}, -276, (276 - 60) / 1200.0 * 1.25},
        {SidePanelSide::Top, {160, 100}, {160, 160}, 436, (436 - 60) / 1200.0 * 1.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.side));
        SetUp();
        if (c.side != Left)
            container->setController(RecordingController::create(QStringLiteral("other"), journal), c.side);
        show();
        drag(c.from, c.to, 0.05, 5);
        auto slidingLayer = container->slidingControllerView()->layer();
        EXPECT_NEAR(positionAnimationDuration(*slidingLayer), c.duration, 1e-9);
        // The shadow follows under the same key with the same timing.
        EXPECT_NEAR(positionAnimationDuration(*container->shadowLayer()), c.duration, 1e-9);
        step(c.duration + 0.05);
        EXPECT_TRUE(container->isSideOpen(c.side));
        const bool horizontal = c.side == Left || c.side == SidePanelSide::Right;
        EXPECT_EQ(horizontal ? slidingX() : slidingY(), c.openOffset);
        TearDown();
    }
}

TEST_F(SidePanelPanning, DraggingBackClosesSlowlyOrByFling)
{
    for (double duration : {1.0, 0.05}) {
        SCOPED_TRACE(duration);
        SetUp();
        show();
        container->openLeftViewAnimated(false);
        step(0.01);
        drag({300, 240}, {duration > 0.5 ? 150.0 : 240.0, 240}, duration, duration > 0.5 ? 10 : 5);
        if (duration < 0.5) {
            // A fling back: the distance left to the closed position at 1200 points per second.
            EXPECT_NEAR(positionAnimationDuration(*container->slidingControllerView()->layer()), 216 / 1200.0 * 1.25, 1e-9);
        }
        step(0.5);
        EXPECT_EQ(slidingX(), 0);
        EXPECT_TRUE(container->isSideClosed(Left));
        TearDown();
    }
}

TEST_F(SidePanelPanning, OvershootPastTheOpenOffsetIsElastic)
{
    struct Case { bool elastic; double past; double shown; };
    for (const Case& c : {Case{true, 10, 8.34}, Case{true, 100, 43.34}, Case{false, 100, 0}}) {
        SCOPED_TRACE(c.past);
        SetUp();
        container->setElastic(c.elastic);
        show();
        hold({10, 240}, {10 + kOpenLeft + c.past, 240}, 1.0);
        EXPECT_NEAR(slidingX() - kOpenLeft, c.shown, 0.01);
        release({10 + kOpenLeft + c.past, 240});
        TearDown();
    }
}

TEST_F(SidePanelPanning, WithOnlyALeftSideDraggingLeftMovesNothingAndAsksNothing)
{
    menu->openAnswer = true;   // asks would show in the journal
    show();
    take();
    hold({250, 240}, {50, 240}, 0.5);
    EXPECT_EQ(slidingX(), 0);
    release({50, 240});
    step(0.5);
    EXPECT_EQ(slidingX(), 0);
    EXPECT_FALSE(take().contains(QStringLiteral("menu shouldOpen 1")));
}

TEST_F(SidePanelPanning, PanIsRefusedOverDisabledViewsAndByTheDelegates)
{
    struct Refusal : SidePanelControllerDelegate, ui::GestureRecognizerDelegate {
        std::optional<bool> shouldBeginPanOverView(SidePanelController&, ui::View&) override { return false; }
        std::optional<bool> shouldReceiveTouch(ui::GestureRecognizer&, const ui::Touch&) override { return false; }
    };
    enum class Refuse { DisabledClass, ContainerDelegate, GestureDelegate, OpenPermission };
    for (Refuse refuse : {Refuse::DisabledClass, Refuse::ContainerDelegate, Refuse::GestureDelegate, Refuse::OpenPermission}) {
        SCOPED_TRACE(static_cast<int>(refuse));
        SetUp();
        auto refusal = std::make_shared<Refusal>();
        auto slider = Slider::create(ui::Rect(0, 200, 320, 80));
        home->view()->addSubview(slider);
        switch (refuse) {
        case Refuse::DisabledClass: container->disablePanOverViewsOfClass(typeid(Slider)); break;
        case Refuse::ContainerDelegate: container->setDelegate(refusal); break;
        case Refuse::GestureDelegate: container->setPanningGestureDelegate(refusal); break;
        case Refuse::OpenPermission: menu->openAnswer = false; break;
        }
        show();
        drag({20, 240}, {220, 240}, 1.0);
        step(0.5);
        EXPECT_EQ(slidingX(), 0);
        if (refuse == Refuse::DisabledClass) {
            drag({20, 100}, {220, 100}, 1.0);   // off the slider the same drag opens
            step(0.5);
            EXPECT_EQ(slidingX(), kOpenLeft);
        }
        TearDown();
    }
}

TEST_F(SidePanelPanning, ModesPutRecognisersOnTheirViews)
{
    auto panningView = ui::View::create(ui::Rect(0, 0, 50, 50));
    container->setPanningView(panningView);
    show();
    using Mode = SidePanelPanningMode;
    struct Case { Mode mode; std::shared_ptr<ui::View> view; };
    const Case cases[] = {
        {Mode::None, nullptr},
        {Mode::SlidingView, container->slidingControllerView()},
        {Mode::NavigationBar, nullptr},   // there is no navigation bar
        {Mode::PanningView, panningView},
        {Mode::AskDelegate, container->slidingControllerView()},
        {Mode::ContainerView, container->view()},
        {static_cast<Mode>(42), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        container->setPanningMode(c.mode);
        ASSERT_EQ(container->panners().size(), c.view ? 1u : 0u);
        if (c.view) {
            EXPECT_EQ(container->panners().front()->view(), c.view);
            EXPECT_EQ(c.view->gestureRecognizers().size(), 1u);
        }
    }
}

TEST_F(SidePanelPanning, ModeChangedDuringAPanTakesEffectWhenItEnds)
{
    show();
    hold({20, 240}, {120, 240}, 0.5);
    container->setPanningMode(SidePanelPanningMode::ContainerView);
    ASSERT_EQ(container->panners().size(), 1u);
    EXPECT_EQ(container->panners().front()->view(), container->slidingControllerView());
    release({120, 240});
    ASSERT_EQ(container->panners().size(), 1u);
    EXPECT_EQ(container->panners().front()->view(), container->view());
}

TEST_F(SidePanelPanning, DisabledContainerKeepsItsRecognisersButMovesNothing)
{
    container->setEnabled(false);
    show();
    drag({20, 240}, {220, 240}, 1.0);
    step(0.5);
    EXPECT_EQ(slidingX(), 0);
    EXPECT_EQ(container->panners().size(), 1u);
}

TEST_F(SidePanelPanning, WithoutANavigationBarModeFiveBeginsOnlyWhileASideIsOpen)
{
    container->setPanningMode(SidePanelPanningMode::NavigationBarOrOpen);
    show();
    drag({20, 240}, {220, 240}, 1.0);
    step(0.5);
    EXPECT_EQ(slidingX(), 0);
    container->openLeftViewAnimated(false);
    step(0.01);
    drag({300, 240}, {100, 240}, 1.0);
    step(0.5);
    EXPECT_EQ(slidingX(), 0);
}

TEST_F(SidePanelPanning, AskDelegateModeLetsTheDelegateRefuse)
{
    struct NoPan : SidePanelControllerDelegate {
        std::optional<bool> shouldPan(SidePanelController&, ui::PanGestureRecognizer&) override { return false; }
    };
    auto noPan = std::make_shared<NoPan>();
    container->setDelegate(noPan);
    container->setPanningMode(SidePanelPanningMode::AskDelegate);
    show();
    drag({20, 240}, {220, 240}, 1.0);
    step(0.5);
    EXPECT_EQ(slidingX(), 0);
}

TEST_F(SidePanelPanning, CrossingTheClosedPositionTellsTheSideOnceAndOpeningEndsIt)
{
    show();
    take();
    drag({20, 240}, {220, 240}, 1.0);
    step(0.5);
    const QStringList seen = take();
    EXPECT_EQ(seen.count(QStringLiteral("menu willOpen 1 instant")), 1);
    EXPECT_EQ(seen.count(QStringLiteral("menu willAppear")), 1);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.back(), QStringLiteral("menu didOpen 1 animated"));
}

TEST_F(SidePanelPanning, PanDuringAPreviewTakesOverFromTheDrawnPosition)
{
    show();
    int completions = 0;
    ASSERT_TRUE(container->previewBounceView(Left, [&](SidePanelController&, bool ok) { completions += ok; }));
    step(0.1);
    hold({20, 240}, {120, 240}, 0.2, 4);
    auto slidingLayer = container->slidingControllerView()->layer();
    EXPECT_EQ(slidingLayer->animationForKey(QStringLiteral("previewBounceAnimation")), nullptr);
    release({120, 240});
    step(1.5);
    EXPECT_EQ(completions, 1);
}

} // namespace
