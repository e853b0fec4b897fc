#include "components/sidepanel/SidePanelController.h"

#include "components/sidepanel/SidePanelItem.h"
#include "platform/core/Log.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Layer.h"
#include "platform/ui/PlatformHooks.h"
#include "platform/ui/ShapeLayer.h"
#include "support/SidePanelFixture.h"

#include <algorithm>
#include <array>
#include <functional>

namespace {

constexpr auto Left = SidePanelSide::Left;
constexpr auto Right = SidePanelSide::Right;
constexpr auto Horizontal = SidePanelOffsetOrientation::Horizontal;

using SidePanelState = SidePanelFixture;

// A size of 200 on the 320-wide screen: stored as the ledge, or as the visible width. The
// delegate's answers compose in walk order: delegate, centre, left...
TEST_F(SidePanelState, SizesInBothModesAndAsTheDelegatesSay)
{
    struct Case { SidePanelSizeMode mode; double ledge; double viewSize; };
    for (const Case& c : {Case{SidePanelSizeMode::Ledge, 200, 120}, Case{SidePanelSizeMode::ViewSize, 120, 200}}) {
        container->setSizeMode(c.mode);
        container->setLeftSize(200);
        EXPECT_EQ(container->leftLedgeSize(), c.ledge);
        EXPECT_EQ(container->leftViewSize(), c.viewSize);
        EXPECT_EQ(container->ledgeOffsetForSide(Left), c.viewSize);
    }
    container->setSizeMode(SidePanelSizeMode::Ledge);
    menu->ledgeAnswer = [](double ledge) { return ledge / 2; };
    container->setLeftSize(200);
    EXPECT_EQ(container->leftLedgeSize(), 100);
    home->ledgeAnswer = [](double ledge) { return ledge + 10; };
    container->setDelegateMode(SidePanelDelegateMode::DelegateAndControllers);
    container->setLeftSize(200);
    EXPECT_EQ(container->leftLedgeSize(), 110);

    auto twoSides = SidePanelController::create(home, menu, ui::ViewController::create());
    core::LogCapture log;
    twoSides->setMaxSize(100);   // the maximum applies to a lone side only
    EXPECT_TRUE(log.contains(QStringLiteral("SidePanelController: warning:")));
}

TEST_F(SidePanelState, ResizingAnOpenSideAnimatesToTheNewLedge)
{
    show();
    container->openLeftViewAnimated(false);
    step(0.01);
    ASSERT_EQ(slidingX(), 276);
    bool finished = false;
    container->setLeftSize(80, [&](bool done) { finished = done; });
    EXPECT_EQ(slidingX(), 240);
    EXPECT_FALSE(finished);
    step(0.31);
    EXPECT_TRUE(finished);
    EXPECT_TRUE(container->isSideOpen(Left));
}

TEST_F(SidePanelState, OpeningWhileHiddenWaitsForTheContainerToAppear)
{
    container->view();
    container->openLeftViewAnimated(false);
    step(0.01);
    EXPECT_FALSE(take().contains(QStringLiteral("menu willAppear")));
    EXPECT_EQ(container->sideAppearance(Left), SidePanelAppearance::Shown);
    show();
    EXPECT_EQ(take().filter(QStringLiteral("menu ")), (QStringList{QStringLiteral("menu willAppear"), QStringLiteral("menu didAppear")}));
}

// A screen presented from the home screen or the menu lands on the container, and only the
// sides on screen hear that they disappear. Hooks dropped by a restore come back with the next
// container.
TEST_F(SidePanelState, PresentationsLandOnTheContainer)
{
    for (bool fromMenu : {false, true}) {
        SCOPED_TRACE(fromMenu);
        restart();
        if (fromMenu) {
            container.reset();
            ui::PlatformHooks::restoreDefaults();
            container = SidePanelController::create(home, menu);
            container->setDelegate(menu);
        }
        show();
        if (fromMenu) {
            container->openLeftViewAnimated(false);
            step(0.01);
        }
        take();
        auto screen = ui::ViewController::create();
        (fromMenu ? menu : home)->presentViewController(screen, true);
        step(0.5);
        EXPECT_EQ(screen->presentingViewController(), container);
        EXPECT_EQ(SidePanelItem::sidePanelController(*screen), nullptr);
        EXPECT_EQ(menu->navigationItem(), container->navigationItem());
        EXPECT_NE(screen->navigationItem(), container->navigationItem());
        const QStringList seen = take();
        EXPECT_TRUE(seen.contains(QStringLiteral("home didDisappear")));
        EXPECT_EQ(seen.contains(QStringLiteral("menu didDisappear")), fromMenu);
        screen->dismissViewController(true);
        step(0.5);
        EXPECT_EQ(take().contains(QStringLiteral("menu didAppear")), fromMenu);
    }
}

// The title is the current centre's; back references clear themselves.
TEST_F(SidePanelState, TitleAndBackReferencesFollowTheSlots)
{
    home->setTitle(QStringLiteral("首页"));
    EXPECT_EQ(container->ui::ViewController::title(), QStringLiteral("首页"));
    container->setTitle(QStringLiteral("科目"));
    EXPECT_EQ(home->title(), QStringLiteral("科目"));
    auto other = RecordingController::create(QStringLiteral("other"), journal);
    container->setCenterController(other);
    other->setTitle(QStringLiteral("改"));
    home->setTitle(QStringLiteral("gone"));   // no longer observed
    EXPECT_EQ(container->ui::ViewController::title(), QStringLiteral("改"));

    container->setLeftController(home);
    EXPECT_EQ(SidePanelItem::sidePanelControllerCore(*menu), nullptr);
    EXPECT_EQ(SidePanelItem::sidePanelControllerCore(*home), container);
    container.reset();
    EXPECT_EQ(SidePanelItem::sidePanelControllerCore(*home), nullptr);
    EXPECT_EQ(home->parentViewController(), nullptr);
}

// Turned to 480 × 320 mid-way: an open side stays open at its ledge (Ledge mode) or keeps its
// visible width (ViewSize mode); a half-open one keeps its distance from the far edge. A turn
// missed while off screen is replayed at the next appearance.
TEST_F(SidePanelState, RotationRearrangesTheSlidingView)
{
    struct Case { SidePanelSizeMode mode; double offset; double x; double ledge; };
    const Case cases[] = {{SidePanelSizeMode::Ledge, 276, 436, 44}, {SidePanelSizeMode::ViewSize, 276, 276, 204},
                          {SidePanelSizeMode::Ledge, 100, 260, 44}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        restart();
        show();
        container->setSizeMode(c.mode);
        container->setSlidingFrameForOffset(c.offset, Horizontal, false);
        container->shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation::LandscapeLeft);
        window->setFrame(ui::Rect(0, 0, 480, 320));
        container->willRotateToInterfaceOrientation(ui::InterfaceOrientation::LandscapeLeft, 0);
        container->willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation::LandscapeLeft, 0);
        EXPECT_EQ(slidingX(), c.x);
        EXPECT_EQ(container->leftLedgeSize(), c.ledge);
        EXPECT_EQ(container->isSideOpen(Left), c.offset == 276);
    }
    restart();
    show();
    container->openLeftViewAnimated(false);
    step(0.01);
    container->shouldAutorotate();
    container->beginAppearanceTransition(false, false);
    container->endAppearanceTransition();
    window->setFrame(ui::Rect(0, 0, 480, 320));
    step(0.01);
    EXPECT_EQ(slidingX(), 276);
    container->beginAppearanceTransition(true, false);
    EXPECT_EQ(slidingX(), 436);
    EXPECT_TRUE(container->isSideOpen(Left));
}

// A slot's controller replaced while the container is on screen: the old one leaves completely
// before the new one arrives, centre and sides alike; the new sliding view is panned and
// shadowed like the old one.
TEST_F(SidePanelState, ReplacedWhileShownTheOldControllerLeavesBeforeTheNewArrives)
{
    for (bool centre : {true, false}) {
        SCOPED_TRACE(centre);
        restart();
        auto first = RecordingController::create(QStringLiteral("first"), journal, true);
        auto second = RecordingController::create(QStringLiteral("second"), journal, true);
        centre ? container->setCenterController(first) : container->setRightController(first);
        show();
        if (!centre) {
            container->openRightViewAnimated(false);
            step(0.01);
        }
        take();
        centre ? container->setCenterController(second) : container->setRightController(second);
        EXPECT_EQ(take(), (QStringList{"first willMove to none", "first willDisappear", "first didDisappear",
                                       "first didMove to none orphan unlinked", "second willMove to parent", "second viewDidLoad",
                                       "second willAppear", "second didAppear", "second didMove to parent child linked"}));
        EXPECT_EQ(second->parentViewController(), container);
        EXPECT_EQ(first->view()->superview(), nullptr);
        EXPECT_EQ(second->view()->superview(), centre ? container->centerView() : container->referenceView());
        ASSERT_EQ(container->panners().size(), 1u);
        EXPECT_EQ(container->panners().front()->view(), container->slidingControllerView());
        EXPECT_EQ(container->shadowLayer()->superlayer(), container->slidingControllerView()->layer()->superlayer());
    }
}

TEST_F(SidePanelState, AControllerNeverSitsInTwoSlots)
{
    const std::function<SidePanelController::ControllerPtr()> moves[] = {
        [this] { container->setRightController(home); return home; },
        [this] { container->setRightController(menu); return menu; },
        [this] {
            container = SidePanelController::create(nullptr, menu);
            container->setCenterController(menu);
            return menu;
        },
        [this] { container->setCenterController(menu); return menu; },
        [this] { container->setLeftController(home); return home; },
    };
    for (std::size_t i = 0; i < std::size(moves); ++i) {
        SCOPED_TRACE(i);
        restart();
        const SidePanelController::ControllerPtr moved = moves[i]();
        int slots = container->centerController() == moved ? 1 : 0;
        for (auto side : {Left, Right, SidePanelSide::Top, SidePanelSide::Bottom})
            slots += container->controllerForSide(side) == moved ? 1 : 0;
        EXPECT_EQ(slots, 1);
        EXPECT_EQ(SidePanelItem::sidePanelController(*moved), container);
    }
}

// A side queued before the first appearance is adopted later, when the container has a
// parent; its closed side is told nothing then, and appears once, when it opens.
TEST_F(SidePanelState, QueuedClosedSideAppearsOnlyWhenItOpens)
{
    for (bool parentAtFirstAppearance : {true, false}) {
        SCOPED_TRACE(parentAtFirstAppearance);
        restart();
        auto parent = ui::ViewController::create();
        window = ui::Window::create(ui::Screen::main().bounds());
        if (parentAtFirstAppearance) {
            parent->addChildViewController(container);
            parent->view()->addSubview(container->view());
            container->didMoveToParentViewController(parent);
            window->setRootViewController(parent);
        } else {
            window->setRootViewController(container);
        }
        window->makeKeyAndVisible();
        step(0.5);
        if (!parentAtFirstAppearance) {
            parent->addChildViewController(container);   // gaining a parent on screen runs the queue
            step(0.5);
        }
        ASSERT_EQ(menu->parentViewController(), container);
        EXPECT_FALSE(take().contains(QStringLiteral("menu willAppear")));
        EXPECT_EQ(container->sideAppearance(Left), SidePanelAppearance::Hidden);
        container->openLeftViewAnimated(false);
        step(0.5);
        const QStringList opened = take();
        EXPECT_EQ(opened.count(QStringLiteral("menu willAppear")), 1);
        EXPECT_EQ(opened.count(QStringLiteral("menu didAppear")), 1);
        EXPECT_EQ(container->sideAppearance(Left), SidePanelAppearance::Shown);
    }
}

TEST_F(SidePanelState, TheCentreMayBeTranslucentAndItsShadowLiesRightBelowIt)
{
    // A translucent centre only with at most one side.
    container->setCenterViewOpacity(0.5);
    EXPECT_EQ(home->view()->alpha(), 0.5);
    EXPECT_FALSE(home->view()->isOpaque());
    container->setRightController(RecordingController::create(QStringLiteral("right"), journal));
    core::LogCapture log;
    container->setCenterViewOpacity(0.3);
    EXPECT_EQ(container->centerViewOpacity(), 0.3);   // stored all the same
    EXPECT_EQ(home->view()->alpha(), 0.5);
    EXPECT_TRUE(log.contains(QStringLiteral("SidePanelController: warning: setting centerViewOpacity")));
    container->setCenterViewOpacity(1.0);
    EXPECT_EQ(home->view()->alpha(), 1.0);
    EXPECT_TRUE(home->view()->isOpaque());

    show();
    auto slidingLayer = container->slidingControllerView()->layer();
    auto shadow = container->shadowLayer();
    ASSERT_EQ(shadow->superlayer(), slidingLayer->superlayer());
    const auto& siblings = slidingLayer->superlayer()->sublayers();
    const auto at = std::find(siblings.begin(), siblings.end(), slidingLayer);
    ASSERT_NE(at, siblings.begin());
    EXPECT_EQ(*(at - 1), shadow);
    container->openLeftViewAnimated(false);
    step(0.01);
    EXPECT_EQ(shadow->frame(), slidingLayer->frame());   // it follows the sliding view
    container->setShadowEnabled(false);
    EXPECT_EQ(shadow->superlayer(), nullptr);
    container->setShadowEnabled(true, true);   // an animated application does not put it back
    EXPECT_EQ(shadow->superlayer(), nullptr);
    container->setShadowEnabled(true);
    EXPECT_EQ(shadow->superlayer(), slidingLayer->superlayer());
}

// Corners (top left, top right, bottom left, bottom right) rounded towards each side.
TEST_F(SidePanelState, MaskRoundsTheCornersFacingEachSide)
{
    const std::pair<SidePanelSide, std::array<bool, 4>> cases[] = {
        {Left, {true, false, true, false}},
        {Right, {false, true, false, true}},
        {SidePanelSide::Top, {true, true, false, false}},
        {SidePanelSide::Bottom, {false, false, true, true}},
    };
    const ui::Point corners[] = {{0.5, 0.5}, {319.5, 0.5}, {0.5, 479.5}, {319.5, 479.5}};
    for (const auto& [side, rounded] : cases) {
        SCOPED_TRACE(static_cast<int>(side));
        restart();
        container->setLeftController(nullptr);
        container->setController(RecordingController::create(QStringLiteral("side"), journal), side);
        show();
        container->setCenterViewCornerRadius(8);
        auto mask = std::dynamic_pointer_cast<ui::ShapeLayer>(container->slidingControllerView()->layer()->mask());
        ASSERT_TRUE(mask && mask->path());
        const ui::Path& path = *mask->path();
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(!path.contains(corners[i]), rounded[i]) << i;
        EXPECT_TRUE(path.contains(ui::Point(160, 240)));
        EXPECT_EQ(container->shadowLayer()->shadowPath(), path);
        container->setCenterViewCornerRadius(0);
        EXPECT_TRUE(container->generateCenterViewCornerRadiusPath().contains(ui::Point(0.5, 0.5)));
    }
}

// Records the preview notices.
struct PreviewWatcher : SidePanelControllerDelegate {
    std::optional<bool> answer;
    QStringList seen;
    std::optional<bool> shouldPreviewBounceViewSide(SidePanelController&, SidePanelSide) override { return answer; }
    void willPreviewBounceViewSide(SidePanelController&, SidePanelSide s, bool) override { seen << QStringLiteral("will %1").arg(int(s)); }
    void didPreviewBounceViewSide(SidePanelController&, SidePanelSide s, bool) override { seen << QStringLiteral("did %1").arg(int(s)); }
};

// The preview runs on the presentation only, completes once and frees the side again; refusals
// neither complete nor notify.
TEST_F(SidePanelState, PreviewBounceRunsOnThePresentationOnly)
{
    auto watcher = std::make_shared<PreviewWatcher>();
    container->setDelegate(watcher);
    show();
    auto slidingLayer = container->slidingControllerView()->layer();
    const ui::Rect frame = container->slidingControllerView()->frame();
    int completions = 0;
    ASSERT_TRUE(container->previewBounceView(Left, [&](SidePanelController&, bool ok) { completions += ok ? 1 : 100; }));
    EXPECT_FALSE(menu->view()->isHidden());
    EXPECT_EQ(watcher->seen, QStringList{QStringLiteral("will 1")});
    EXPECT_FALSE(container->previewBounceView(Left));   // one at a time
    step(0.108);   // the first swing's top
    EXPECT_NEAR(slidingLayer->presentation()->position().x - slidingLayer->position().x, 40, 1);
    EXPECT_EQ(container->slidingControllerView()->frame(), frame);
    EXPECT_EQ(container->offset(), 0);
    step(1.2);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(watcher->seen, (QStringList{QStringLiteral("will 1"), QStringLiteral("did 1")}));
    EXPECT_TRUE(menu->view()->isHidden());
    EXPECT_TRUE(container->previewBounceView(Left));   // free again
    step(1.3);

    watcher->seen.clear();
    auto never = [](SidePanelController&, bool) { ADD_FAILURE() << "no completion for a refusal"; };
    EXPECT_FALSE(container->previewBounceView(Right, never));   // no controller
    EXPECT_FALSE(container->previewBounceView(Left, 40, 1.2, 0, 0.4, true, never));
    EXPECT_FALSE(container->previewBounceView(Left, 40, -1, 4, 0.4, true, never));
    watcher->answer = false;
    EXPECT_FALSE(container->previewBounceView(Left, never));
    watcher->answer = std::nullopt;
    container->openLeftViewAnimated(false);
    step(0.01);
    EXPECT_FALSE(container->previewBounceView(Left, never));   // already open
    step(2);
    EXPECT_TRUE(watcher->seen.isEmpty());
}

} // namespace

// At rest the centre ends exactly at the right edge: the right side is closed, not on its
// way, so closing it is done in place and the left side opens straight away. Only a centre
// moved off the edge leaves it half open.
TEST_F(SidePanelState, TheRightSideIsClosedWhileTheCentreEndsAtTheEdge)
{
    auto right = RecordingController::create(QStringLiteral("right"), journal);
    container->setRightController(right);
    show();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(container->slidingControllerView()->frame().maxX(), 320);
        EXPECT_TRUE(container->isSideClosed(Right));
        EXPECT_FALSE(container->isSideTransitioning(Right));
        take();
        bool completed = false;
        EXPECT_TRUE(container->closeRightViewAnimated(true, [&](SidePanelController&, bool ok) { completed = ok; }));
        EXPECT_TRUE(completed);
        EXPECT_TRUE(take().isEmpty());
        // Open and closed again, the centre comes back to the edge.
        container->openRightViewAnimated(false);
        step(0.01);
        EXPECT_TRUE(container->isSideOpen(Right));
        container->closeRightViewAnimated(false);
        step(0.01);
    }
    EXPECT_TRUE(container->openLeftViewAnimated(false));
    step(0.01);
    EXPECT_TRUE(container->isSideOpen(Left));
    EXPECT_TRUE(take().contains(QStringLiteral("menu didOpen 1 instant")));
    container->closeLeftViewAnimated(false);
    step(0.01);

    container->setSlidingFrameForOffset(-1, Horizontal, false);
    EXPECT_TRUE(container->isSideTransitioning(Right));
}
