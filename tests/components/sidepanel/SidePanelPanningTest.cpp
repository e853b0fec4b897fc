#include "components/sidepanel/SidePanelController.h"

#include "platform/ui/Animation.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/GestureRecognizerDelegate.h"
#include "platform/ui/Layer.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "support/SidePanelFixture.h"

#include <cmath>
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

class SidePanelPanning : public SidePanelFixture {
protected:
    // A pan of `distance` points in two moves over 1/8 s, from a whole second of the clock so
    // that the release speed is exactly distance × 8 points per second.
    void flick(double distance)
    {
        step(std::ceil(clock->now()) - clock->now());
        drag({20, 240}, {20 + distance, 240}, 0.125, 2);
    }
};

// Slow drags (200 points per second) settle open from two thirds of the way on.
TEST_F(SidePanelPanning, SlowReleaseSettlesByHowFarTheFingerWent)
{
    struct Case { double distance; double settled; };
    for (const Case& c : {Case{200, kOpenLeft}, Case{184, kOpenLeft}, Case{183, 0}}) {
        SCOPED_TRACE(c.distance);
        restart();
        show();
        drag({20, 240}, {20 + c.distance, 240}, c.distance / 200);
        step(0.5);
        EXPECT_EQ(slidingX(), c.settled);
        EXPECT_EQ(container->isSideOpen(Left), c.settled != 0);
    }
}

// Released a short way in (62 points, well short of two thirds), a pan settles by its speed:
// from 500 points per second on it goes where the finger went, below that it falls back.
TEST_F(SidePanelPanning, FlingFromFiveHundredPointsPerSecond)
{
    struct Case { double distance; double settled; };
    for (const Case& c : {Case{61, 0}, Case{62.5, kOpenLeft}, Case{64, kOpenLeft}}) {
        SCOPED_TRACE(c.distance * 8);
        restart();
        show();
        flick(c.distance);
        step(0.5);
        EXPECT_EQ(slidingX(), c.settled);
    }
}

TEST_F(SidePanelPanning, SidesFollowTheFingerWithParallax)
{
    auto right = RecordingController::create(QStringLiteral("right"), journal);
    container->setRightController(right);
    container->setParallaxAmount(0.5);
    show();
    hold({20, 240}, {120, 240}, 0.5);
    EXPECT_EQ(slidingX(), 100);
    EXPECT_EQ(container->offset(), 100);
    EXPECT_EQ(container->shadowLayer()->frame(), container->slidingControllerView()->layer()->frame());
    EXPECT_EQ(menu->view()->frame().x(), -88);   // half of the 176 points still to go
    EXPECT_EQ(right->view()->frame().x(), 188);
    release({120, 240});
}

// 60 points in 0.05 s, 1200 points per second: the slide takes the distance left to the
// side's open offset at that speed, and a quarter longer.
TEST_F(SidePanelPanning, FlingIsTimedByTheDistanceToItsOwnSidesOpenOffset)
{
    struct Case { SidePanelSide side; ui::Point from; ui::Point to; double openOffset; double duration; };
    const Case cases[] = {
        {Left, {20, 240}, {80, 240}, 276, 0.225},
        {SidePanelSide::Right, {300, 240}, {240, 240}, -276, 0.225},
        {SidePanelSide::Top, {160, 100}, {160, 160}, 436, 0.3916667},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.side));
        restart();
        if (c.side != Left)
            container->setController(RecordingController::create(QStringLiteral("other"), journal), c.side);
        show();
        drag(c.from, c.to, 0.05, 5);
        EXPECT_NEAR(positionAnimationDuration(*container->slidingControllerView()->layer()), c.duration, 1e-6);
        EXPECT_NEAR(positionAnimationDuration(*container->shadowLayer()), c.duration, 1e-6);
        step(c.duration + 0.05);
        EXPECT_TRUE(container->isSideOpen(c.side));
        EXPECT_EQ(c.side == Left || c.side == SidePanelSide::Right ? slidingX() : slidingY(), c.openOffset);
    }
}

TEST_F(SidePanelPanning, DraggingBackClosesSlowlyOrByFling)
{
    for (bool fling : {false, true}) {
        SCOPED_TRACE(fling);
        restart();
        show();
        container->openLeftViewAnimated(false);
        step(0.01);
        if (fling) {
            drag({300, 240}, {240, 240}, 0.05, 5);
            EXPECT_NEAR(positionAnimationDuration(*container->slidingControllerView()->layer()), 0.225, 1e-6);
        } else {
            drag({300, 240}, {150, 240}, 1.0);
        }
        step(0.5);
        EXPECT_TRUE(container->isSideClosed(Left));
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
        std::optional<bool> shouldPan(SidePanelController&, ui::PanGestureRecognizer&) override { return false; }
    };
    enum class Refuse { DisabledClass, ContainerDelegate, GestureDelegate, OpenPermission, AskDelegate, Disabled };
    for (Refuse refuse : {Refuse::DisabledClass, Refuse::ContainerDelegate, Refuse::GestureDelegate, Refuse::OpenPermission,
                          Refuse::AskDelegate, Refuse::Disabled}) {
        SCOPED_TRACE(static_cast<int>(refuse));
        restart();
        auto refusal = std::make_shared<Refusal>();
        home->view()->addSubview(Slider::create(ui::Rect(0, 200, 320, 80)));
        switch (refuse) {
        case Refuse::DisabledClass: container->disablePanOverViewsOfClass(typeid(Slider)); break;
        case Refuse::ContainerDelegate: container->setDelegate(refusal); break;
        case Refuse::GestureDelegate: container->setPanningGestureDelegate(refusal); break;
        case Refuse::OpenPermission: menu->openAnswer = false; break;
        case Refuse::AskDelegate:
            container->setPanningMode(SidePanelPanningMode::AskDelegate);
            container->setDelegate(refusal);
            break;
        case Refuse::Disabled: container->setEnabled(false); break;
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
        {Mode::ContainerView, container->view()},
        {static_cast<Mode>(42), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        container->setPanningMode(c.mode);
        ASSERT_EQ(container->panners().size(), c.view ? 1u : 0u);
        if (c.view)
            EXPECT_EQ(container->panners().front()->view(), c.view);
    }
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
    EXPECT_EQ(container->slidingControllerView()->layer()->animationForKey(QStringLiteral("previewBounceAnimation")), nullptr);
    release({120, 240});
    step(1.5);
    EXPECT_EQ(completions, 1);
}

} // namespace
