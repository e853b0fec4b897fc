#include "components/sidepanel/SidePanelController.h"

#include "components/sidepanel/SidePanelItem.h"
#include "components/sidepanel/SidePanelView.h"
#include "platform/core/Log.h"
#include "platform/ui/PlatformHooks.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "support/SidePanelFixture.h"

namespace {

constexpr auto Left = SidePanelSide::Left;
constexpr auto Horizontal = SidePanelOffsetOrientation::Horizontal;

SidePanelSide side(std::uint32_t raw) { return static_cast<SidePanelSide>(raw); }

using SidePanelState = SidePanelFixture;

TEST_F(SidePanelState, LookupsAndSettersBySideAreRangeChecked)
{
    EXPECT_EQ(container->controllerForSide(Left), menu);
    for (std::uint32_t raw : {0u, 5u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(raw);
        EXPECT_EQ(container->controllerForSide(side(raw)), nullptr);
        EXPECT_TRUE(container->isSideClosed(side(raw)));
        EXPECT_EQ(container->ledgeOffsetForSide(side(raw)), 0);
        container->setSize(10, side(raw), [](bool) { ADD_FAILURE() << "no completion for a bad side"; });
        container->setController(ui::ViewController::create(), side(raw));
        container->notifyWillOpenSide(side(raw), true);
    }
    EXPECT_EQ(container->sideControllerCount(), 1u);
    EXPECT_TRUE(journal->isEmpty());
    EXPECT_EQ(container->sideForController(menu.get()), Left);
    EXPECT_EQ(container->sideForController(home.get()), SidePanelController::NotFound);
}

// A size of 200 on the 320-wide screen: stored as the ledge, or as the visible width.
TEST_F(SidePanelState, SizesInBothModes)
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
    container->setMaxSize(100);   // a lone side is capped by the maximum, two are not
    EXPECT_EQ(container->limitOffset(300, Horizontal), 220);
    auto twoSides = SidePanelController::create(home, menu, ui::ViewController::create());
    core::LogCapture log;
    twoSides->setMaxSize(100);
    EXPECT_EQ(twoSides->limitOffset(300, Horizontal), 300);
    EXPECT_TRUE(log.contains(QStringLiteral("SidePanelController: warning:")));
}

TEST_F(SidePanelState, DelegateAnswersComposeIntoTheStoredLedge)
{
    menu->ledgeAnswer = [](double) { return 60.0; };
    container->setLeftSize(200);
    EXPECT_EQ(container->leftLedgeSize(), 60);
    // With the controllers asked too, answers compose in walk order: delegate, centre, left...
    menu->ledgeAnswer = [](double ledge) { return ledge / 2; };
    home->ledgeAnswer = [](double ledge) { return ledge + 10; };
    container->setDelegateMode(SidePanelDelegateMode::DelegateAndControllers);
    container->setLeftSize(200);
    EXPECT_EQ(container->leftLedgeSize(), 110);
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

TEST_F(SidePanelState, MenuAppearsOnlyAroundOpeningAndClosing)
{
    show();
    EXPECT_EQ(take(), (QStringList{QStringLiteral("home willAppear"), QStringLiteral("home didAppear")}));
    EXPECT_EQ(home->view()->superview(), container->centerView());
    container->openLeftView();
    EXPECT_EQ(take(), (QStringList{QStringLiteral("menu willAppear"), QStringLiteral("menu willOpen 1 animated")}));
    step(0.31);
    EXPECT_EQ(take(), (QStringList{QStringLiteral("menu didAppear"), QStringLiteral("menu didOpen 1 animated")}));
    container->closeLeftView();
    step(0.31);
    EXPECT_EQ(take(), (QStringList{QStringLiteral("menu willDisappear"), QStringLiteral("menu willClose 1 animated"),
                                   QStringLiteral("menu didDisappear"), QStringLiteral("menu didClose 1 animated")}));
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
// sides on screen hear that they disappear.
TEST_F(SidePanelState, PresentationsLandOnTheContainer)
{
    for (bool fromMenu : {false, true}) {
        SCOPED_TRACE(fromMenu);
        restart();
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
        const QStringList seen = take();
        EXPECT_TRUE(seen.contains(QStringLiteral("home didDisappear")));
        EXPECT_EQ(seen.contains(QStringLiteral("menu didDisappear")), fromMenu);
        screen->dismissViewController(true);
        step(0.5);
        EXPECT_EQ(take().contains(QStringLiteral("menu didAppear")), fromMenu);
    }
}

TEST_F(SidePanelState, HooksDroppedByARestoreComeBackWithTheNextContainer)
{
    container.reset();
    ui::PlatformHooks::restoreDefaults();
    container = SidePanelController::create(home, menu);
    show();
    auto screen = ui::ViewController::create();
    home->presentViewController(screen, false);
    step(0.5);
    EXPECT_EQ(screen->presentingViewController(), container);
    EXPECT_EQ(menu->navigationItem(), container->navigationItem());
    EXPECT_NE(screen->navigationItem(), container->navigationItem());
}

TEST_F(SidePanelState, TitleIsTheCurrentCentres)
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
}

TEST_F(SidePanelState, BackReferencesClearThemselves)
{
    auto replacement = RecordingController::create(QStringLiteral("other"), journal);
    container->setLeftController(replacement);
    EXPECT_EQ(SidePanelItem::sidePanelControllerCore(*menu), nullptr);
    EXPECT_EQ(SidePanelItem::sidePanelControllerCore(*replacement), container);
    container.reset();
    EXPECT_EQ(SidePanelItem::sidePanelControllerCore(*home), nullptr);
    EXPECT_EQ(SidePanelItem::sidePanelControllerCore(*replacement), nullptr);
    EXPECT_EQ(home->parentViewController(), nullptr);
}

// Turned to 480 × 320 mid-way: an open side stays open at its ledge (Ledge mode) or keeps its
// visible width (ViewSize mode); a half-open one keeps its distance from the far edge.
TEST_F(SidePanelState, RotationRearrangesTheSlidingView)
{
    struct Case { SidePanelSizeMode mode; double offset; double x; double ledge; };
    const Case cases[] = {
        {SidePanelSizeMode::Ledge, 276, 436, 44},
        {SidePanelSizeMode::ViewSize, 276, 276, 204},
        {SidePanelSizeMode::Ledge, 100, 260, 44},
    };
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
}

TEST_F(SidePanelState, RotationAskedForButMissedIsReplayedAtTheNextAppearance)
{
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

} // namespace
