#include "components/sidepanel/SidePanelController.h"

#include "components/sidepanel/SidePanelGeometry.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/GestureRecognizerDelegate.h"
#include "platform/ui/Layer.h"
#include "support/SidePanelFixture.h"

#include <cmath>
#include <functional>
#include <optional>
#include <typeindex>

namespace {

constexpr auto Left = SidePanelSide::Left;
constexpr auto Right = SidePanelSide::Right;
constexpr auto Top = SidePanelSide::Top;
constexpr auto Horizontal = SidePanelOffsetOrientation::Horizontal;
constexpr double kOpenLeft = 276;   // 320 wide, ledge 44
using Mode = SidePanelCenterHiddenInteractivity;

std::size_t screenChanges() { return ui::Accessibility::count(ui::Accessibility::Notification::ScreenChanged); }

double positionAnimationDuration(const ui::Layer& layer)
{
    auto animation = layer.animationForKey(QStringLiteral("position"));
    return animation ? animation->duration() : -1;
}

class SidePanelMotion : public SidePanelFixture {
protected:
    // Completions append "completion <flag>" to the journal, so their place among the
    // notices shows.
    SidePanelController::Completion recordCompletion()
    {
        return [this](SidePanelController&, bool ok) { journal->append(ok ? "completion YES" : "completion NO"); };
    }
};

// One accessibility notice per open and per close.
TEST_F(SidePanelMotion, ToggleOpensAClosedSideAndClosesAnOpenOrHalfOpenOne)
{
    show();
    take();
    const std::size_t notices = screenChanges();
    EXPECT_TRUE(container->toggleLeftView());
    container->openLeftView();   // already under way: no second will-open notice
    step(0.29);
    EXPECT_FALSE(journal->contains(QStringLiteral("menu didOpen 1 animated")));   // still sliding
    step(0.02);
    EXPECT_EQ(slidingX(), 276);
    EXPECT_EQ(take().count(QStringLiteral("menu willOpen 1 animated")), 1);

    EXPECT_TRUE(container->toggleLeftView());
    step(0.31);
    EXPECT_TRUE(container->isSideClosed(Left));
    EXPECT_EQ(screenChanges(), notices + 2);

    container->setSlidingFrameForOffset(100, Horizontal, false);
    take();
    EXPECT_TRUE(container->toggleLeftView());
    step(0.31);
    EXPECT_TRUE(container->isSideClosed(Left));
    EXPECT_TRUE(take().contains(QStringLiteral("menu willClose 1 animated")));
}

// Opening a side without a controller, or closing a closed one, succeeds in place at once; an
// unanimated request still completes from the animation, in order among the notices.
TEST_F(SidePanelMotion, CompletionsComeInPlaceOrFromTheAnimation)
{
    show();
    take();
    EXPECT_TRUE(container->openSideView(Right, true, recordCompletion()));
    EXPECT_TRUE(container->closeSideView(Left, true, recordCompletion()));
    EXPECT_EQ(take(), (QStringList{"completion YES", "completion YES"}));
    EXPECT_EQ(slidingX(), 0);
    container->openLeftViewAnimated(false, recordCompletion());
    EXPECT_TRUE(journal->filter("completion").isEmpty());
    step(0.001);
    EXPECT_EQ(take(), (QStringList{"menu willAppear", "menu willOpen 1 instant", "completion YES", "menu didAppear", "menu didOpen 1 instant"}));
}

// Leg one overshoots to the whole width, leg two settles: 0.09 s then 0.21 s opening, the
// other way round closing.
TEST_F(SidePanelMotion, BouncingOpenAndCloseRunTheirLegsInOrder)
{
    show();
    take();
    const auto recordBounce = [this] { return [this](SidePanelController&) { journal->append(QStringLiteral("bounced")); }; };
    const std::size_t notices = screenChanges();
    EXPECT_TRUE(container->openLeftViewBouncing(recordBounce(), recordCompletion()));
    EXPECT_EQ(slidingX(), 320);
    step(0.089);
    EXPECT_FALSE(journal->contains(QStringLiteral("bounced")));
    step(0.002);
    EXPECT_EQ(slidingX(), 276);
    step(0.21);
    EXPECT_EQ(take(), (QStringList{"menu willAppear", "menu willOpen 1 animated", "bounced", "menu didBounceOpening 1 menu",
                                   "completion YES", "menu didAppear", "menu didOpen 1 animated"}));
    EXPECT_EQ(screenChanges(), notices + 1);

    EXPECT_TRUE(container->closeLeftViewBouncing(recordBounce(), recordCompletion()));
    EXPECT_EQ(slidingX(), 320);
    step(0.209);
    EXPECT_FALSE(journal->contains(QStringLiteral("bounced")));
    step(0.002);
    EXPECT_EQ(slidingX(), 0);
    step(0.09);
    EXPECT_EQ(take(), (QStringList{"menu willDisappear", "menu willClose 1 animated", "bounced", "menu didBounceClosing 1 menu",
                                   "completion YES", "menu didDisappear", "menu didClose 1 animated"}));
    EXPECT_EQ(screenChanges(), notices + 2);
}

// The menu is both the delegate and the left side; the home screen is the centre. Every
// receiver that answers is asked, once, in walk order, and one refusal refuses.
TEST_F(SidePanelMotion, OpenPermissionIsEveryAnswerAnded)
{
    using D = SidePanelDelegateMode;
    struct Case { D mode; std::optional<bool> menuSays; std::optional<bool> homeSays; QStringList asked; bool opens; };
    const QString menuAsked = QStringLiteral("menu shouldOpen 1"), homeAsked = QStringLiteral("home shouldOpen 1");
    const D both = D::DelegateAndControllers;
    const Case cases[] = {
        {both, std::nullopt, std::nullopt, {}, true},       {both, true, true, {menuAsked, homeAsked}, true},
        {both, false, true, {menuAsked, homeAsked}, false}, {both, true, false, {menuAsked, homeAsked}, false},
        {both, std::nullopt, false, {homeAsked}, false},    {D::DelegateOnly, true, false, {menuAsked}, true},
        {D::DelegateOnly, false, std::nullopt, {menuAsked}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.mode) << " " << c.menuSays.value_or(-1) << " " << c.homeSays.value_or(-1));
        restart();
        container->setDelegateMode(c.mode);
        menu->openAnswer = c.menuSays;
        home->openAnswer = c.homeSays;
        show();
        take();
        EXPECT_EQ(container->openLeftViewAnimated(false, recordCompletion()), c.opens);
        step(0.01);
        const QStringList seen = take();
        EXPECT_EQ(seen.filter(QStringLiteral("shouldOpen")), c.asked);
        EXPECT_TRUE(seen.contains(c.opens ? QStringLiteral("completion YES") : QStringLiteral("completion NO")));
        EXPECT_EQ(container->isSideOpen(Left), c.opens);
        EXPECT_EQ(seen.count(QStringLiteral("menu willOpen 1 instant")), c.opens ? 1 : 0);
    }
}

// Swapping an open side for the opposite one: either consent is enough (the side may go, or
// the other may come); neither, or a side only half open, refuses. The left side closes
// completely before the right one comes.
TEST_F(SidePanelMotion, SwappingSidesNeedsOneConsent)
{
    struct Case { std::optional<bool> leftMayClose; std::optional<bool> rightMayOpen; double from; bool swaps; };
    const Case cases[] = {{false, true, 276, true}, {true, false, 276, true}, {false, false, 276, false}, {std::nullopt, std::nullopt, 100, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.leftMayClose.value_or(-1) << " " << c.rightMayOpen.value_or(-1) << " " << c.from);
        restart();
        auto right = RecordingController::create(QStringLiteral("right"), journal);
        container->setRightController(right);
        container->setDelegateMode(SidePanelDelegateMode::DelegateAndControllers);
        show();
        container->setSlidingFrameForOffset(c.from, Horizontal, false);
        menu->closeAnswer = c.leftMayClose;
        right->openAnswer = c.rightMayOpen;
        const std::size_t before = screenChanges();
        take();
        EXPECT_EQ(container->toggleOpenViewAnimated(true, recordCompletion()), c.swaps);
        step(0.31);
        EXPECT_FALSE(journal->contains(QStringLiteral("completion YES")));   // not before the second leg
        step(0.31);
        const QStringList seen = take();
        EXPECT_EQ(seen.filter(QStringLiteral("completion")), QStringList{c.swaps ? QStringLiteral("completion YES") : QStringLiteral("completion NO")});
        EXPECT_EQ(container->isSideOpen(Right), c.swaps);
        EXPECT_EQ(slidingX(), c.swaps ? -276 : c.from);
        if (c.swaps) {
            EXPECT_LT(seen.indexOf(QStringLiteral("menu didClose 1 animated")), seen.indexOf(QStringLiteral("right didOpen 2 animated")));
            EXPECT_EQ(screenChanges(), before);
        }
    }
}

TEST_F(SidePanelMotion, OpeningAcrossAxesClosesTheOtherSideFirst)
{
    auto top = RecordingController::create(QStringLiteral("top"), journal);
    container->setTopController(top);
    show();
    container->openTopViewAnimated(false);
    step(0.01);
    take();
    container->openLeftViewAnimated(true, recordCompletion());
    EXPECT_EQ(slidingX(), 0);   // the left side waits for the top one to finish closing
    EXPECT_EQ(take(), (QStringList{QStringLiteral("top willDisappear"), QStringLiteral("menu willClose 3 animated")}));
    step(0.31);
    EXPECT_EQ(slidingX(), 276);
    EXPECT_FALSE(journal->contains(QStringLiteral("completion YES")));
    step(0.31);
    EXPECT_TRUE(container->isSideOpen(Left));
    EXPECT_TRUE(container->isSideClosed(Top));
    EXPECT_TRUE(take().contains(QStringLiteral("completion YES")));
}

// Nobody is asked to open a side that is open, or to close one that is closed; the close
// question carries the real animated flag.
TEST_F(SidePanelMotion, ChecksAskOnlyWhenTheSideWouldMove)
{
    show();
    menu->openAnswer = true;
    menu->closeAnswer = true;
    EXPECT_FALSE(container->checkCanCloseSide(Left));
    for (bool animated : {false, true}) {
        container->openLeftViewAnimated(false);
        step(0.01);
        take();
        EXPECT_FALSE(container->checkCanOpenSide(Left));
        EXPECT_TRUE(take().isEmpty());
        container->closeLeftViewAnimated(animated);
        step(0.31);
        EXPECT_EQ(take().filter(QStringLiteral("should")),
                  QStringList{animated ? QStringLiteral("menu shouldClose 1 animated") : QStringLiteral("menu shouldClose 1 instant")});
    }
}

TEST_F(SidePanelMotion, TapperModesDecideWhatATapOnTheCentreDoes)
{
    struct Case { Mode mode; bool tapper; bool closes; };
    const Case cases[] = {{Mode::Interactive, false, false}, {Mode::NotInteractive, true, false},
                          {Mode::NotInteractiveTapToClose, true, true}, {Mode::NotInteractiveTapToCloseBouncing, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        restart();
        container->setCenterhiddenInteractivity(c.mode);
        show();
        EXPECT_EQ(container->centerTapper(), nullptr);
        container->openLeftViewAnimated(false);
        step(0.01);
        auto tapper = container->centerTapper();
        EXPECT_EQ(tapper != nullptr, c.tapper);
        if (tapper) {
            EXPECT_EQ(container->centerView()->subviews().back(), tapper);
            EXPECT_EQ(window->hitTest(ui::Point(300, 240), nullptr), tapper);
            EXPECT_EQ(tapper->accessibilityFrame(), ui::Rect(276, 0, 44, 480));   // the strip on screen
        }
        ui::TouchInjector::tap(*window, ui::Point(300, 240));
        step(0.31);
        EXPECT_EQ(container->isSideClosed(Left), c.closes);
        EXPECT_TRUE(!c.closes || container->centerTapper() == nullptr);
    }
}

// Released two thirds of the way in (184 of 276 points) or further, a slow drag (200 points
// per second) settles open. Released a short way in, a pan settles by its speed: from 500
// points per second on it goes where the finger went, below that it falls back.
TEST_F(SidePanelMotion, ReleaseSettlesByDistanceOrFlingSpeed)
{
    struct Case { double distance; double seconds; double settled; };
    const Case cases[] = {{200, 1, kOpenLeft}, {184, 0.92, kOpenLeft}, {183, 0.915, 0},
                          {61, 0.125, 0},      {62.5, 0.125, kOpenLeft}, {64, 0.125, kOpenLeft}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        restart();
        show();
        step(std::ceil(clock->now()) - clock->now());   // from a whole second, so the speed is exact
        drag({20, 240}, {20 + c.distance, 240}, c.seconds, c.seconds < 0.5 ? 2 : 10);
        step(0.5);
        EXPECT_EQ(slidingX(), c.settled);
        EXPECT_EQ(container->isSideOpen(Left), c.settled != 0);
    }
}

TEST_F(SidePanelMotion, SidesFollowTheFingerWithParallax)
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
TEST_F(SidePanelMotion, FlingIsTimedByTheDistanceToItsOwnSidesOpenOffset)
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
        EXPECT_EQ(c.side == Left || c.side == SidePanelSide::Right ? slidingX() : container->slidingControllerView()->frame().y(), c.openOffset);
    }
}

TEST_F(SidePanelMotion, DraggingBackClosesSlowlyOrByFling)
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

// With only a left side, dragging left moves and asks nothing; dragging right tells the side
// once that it opens, and the settling slide ends it.
TEST_F(SidePanelMotion, DraggingTellsTheSideOnlyWhenItMoves)
{
    menu->openAnswer = true;   // asks would show in the journal
    show();
    take();
    hold({250, 240}, {50, 240}, 0.5);
    EXPECT_EQ(slidingX(), 0);
    release({50, 240});
    step(0.5);
    EXPECT_EQ(slidingX(), 0);
    EXPECT_TRUE(take().isEmpty());
    drag({20, 240}, {220, 240}, 1.0);
    step(0.5);
    const QStringList seen = take();
    EXPECT_EQ(seen.count("menu willOpen 1 instant"), 1);
    EXPECT_EQ(seen.count("menu willAppear"), 1);
    EXPECT_EQ(seen.value(seen.size() - 1), "menu didOpen 1 animated");
}

TEST_F(SidePanelMotion, PanIsRefusedOverDisabledViewsAndByTheDelegates)
{
    struct Slider : ui::View {
        explicit Slider(const ui::Rect& frame) : ui::View(frame) {}
    };
    struct Refusal : SidePanelControllerDelegate, ui::GestureRecognizerDelegate {
        std::optional<bool> shouldBeginPanOverView(SidePanelController&, ui::View&) override { return false; }
        std::optional<bool> shouldReceiveTouch(ui::GestureRecognizer&, const ui::Touch&) override { return false; }
        std::optional<bool> shouldPan(SidePanelController&, ui::PanGestureRecognizer&) override { return false; }
    };
    const std::function<void(const std::shared_ptr<Refusal>&)> refusals[] = {
        [this](auto&) { container->disablePanOverViewsOfClass<Slider>(); },
        [this](auto& refusal) { container->setDelegate(refusal); },
        [this](auto& refusal) { container->setPanningGestureDelegate(refusal); },
        [this](auto&) { menu->openAnswer = false; },
        [this](auto& refusal) {
            container->setPanningMode(SidePanelPanningMode::AskDelegate);
            container->setDelegate(refusal);
        },
        [this](auto&) { container->setEnabled(false); },
    };
    for (std::size_t i = 0; i < std::size(refusals); ++i) {
        SCOPED_TRACE(i);
        restart();
        home->view()->addSubview(std::make_shared<Slider>(ui::Rect(0, 200, 320, 80)));
        const auto refusal = std::make_shared<Refusal>();   // held weakly by the container
        refusals[i](refusal);
        show();
        drag({20, 240}, {220, 240}, 1.0);
        step(0.5);
        EXPECT_EQ(slidingX(), 0);
        if (i == 0) {
            drag({20, 100}, {220, 100}, 1.0);   // off the slider the same drag opens
            step(0.5);
            EXPECT_EQ(slidingX(), kOpenLeft);
        }
    }
}

TEST_F(SidePanelMotion, PanDuringAPreviewTakesOverFromTheDrawnPosition)
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

const ui::Size portrait(320, 480);
constexpr auto H = Horizontal;
constexpr auto V = SidePanelOffsetOrientation::Vertical;

TEST(SidePanelGeometry, OffsetLimitAppliesOnlyToTheLoneSidesEnd)
{
    struct Case { SidePanelOffsetOrientation o; double offset; bool first; bool second; double maxLedge; double expected; };
    const Case cases[] = {
        {H, 300, true, false, 100, 220},   // left only: capped at W - max
        {H, -50, true, false, 100, -50},   // the closed end is not limited
        {H, 300, true, true, 100, 300},    // two sides on the axis: no limit
        {H, -300, false, true, 100, -220}, // right only
        {H, 300, true, false, 0, 300},     // no maximum
        {V, -450, false, true, 100, -380}, // bottom only, against the height
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        EXPECT_EQ(SidePanelGeometry::limitOffset(c.offset, c.o, portrait, c.maxLedge, c.first, c.second), c.expected);
    }
}

TEST(SidePanelGeometry, PanLocationIsClampedWithAnElasticGive)
{
    // Open offsets 276 (first side) and -276 (second side).
    struct Case { double location; bool first; bool second; bool elastic; double expected; double tolerance; };
    const Case cases[] = {
        {100, true, true, true, 100, 0},           {286, true, true, true, 276 + 8.34, 0.005},
        {376, true, true, true, 276 + 43.34, 0.005}, {-286, true, true, true, -276 - 8.34, 0.005},
        {376, true, true, false, 276, 0},
        {-50, true, false, true, 0, 0},      // no second side: nothing left of closed
        {50, false, true, true, 0, 0},       // no first side
        {276 + 1e-9, true, true, true, 276 + 1e-9, 1e-6},   // too small a give to stretch
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        const double p = SidePanelGeometry::panLocation(c.location, c.first, c.second, 276, -276, c.elastic);
        ASSERT_TRUE(std::isfinite(p));
        EXPECT_NEAR(p, c.expected, c.tolerance);
    }
}

} // namespace
