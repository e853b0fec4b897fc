#include "components/sidepanel/SidePanelController.h"

#include "components/sidepanel/SidePanelItem.h"
#include "components/sidepanel/SidePanelView.h"
#include "platform/core/Log.h"
#include "platform/ui/PlatformHooks.h"
#include "platform/ui/Layer.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "support/SidePanelFixture.h"

#include <gtest/gtest.h>

namespace {

constexpr auto Left = SidePanelSide::Left;
constexpr auto Right = SidePanelSide::Right;
constexpr auto Horizontal = SidePanelOffsetOrientation::Horizontal;

SidePanelSide side(std::uint32_t raw) { return static_cast<SidePanelSide>(raw); }

using SidePanelState = SidePanelFixture;

TEST_F(SidePanelState, DefaultsOfTheSystemsContainer)
{
    EXPECT_EQ(container->leftLedgeSize(), 44);
    EXPECT_EQ(container->rightLedgeSize(), 44);
    EXPECT_EQ(container->offset(), 0);
    EXPECT_EQ(container->panningMode(), SidePanelPanningMode::SlidingView);
    EXPECT_TRUE(container->isElastic());
    EXPECT_TRUE(container->isEnabled());
    EXPECT_DOUBLE_EQ(container->bounceDurationFactor(), 0.3);
    EXPECT_EQ(container->centerViewOpacity(), 1.0);
    EXPECT_TRUE(container->shadowEnabled());
    EXPECT_EQ(container->sizeMode(), SidePanelSizeMode::Ledge);
    EXPECT_EQ(container->delegateMode(), SidePanelDelegateMode::DelegateOnly);
    EXPECT_EQ(container->centerhiddenInteractivity(), SidePanelCenterHiddenInteractivity::Interactive);
    EXPECT_EQ(container->openSlideAnimationDuration(), 0.3);
    EXPECT_EQ(container->closeSlideAnimationDuration(), 0.3);
    EXPECT_EQ(container->shadowLayer()->shadowRadius(), 10);
    EXPECT_EQ(container->shadowLayer()->shadowOpacity(), 0.5);
    EXPECT_EQ(container->sideControllerCount(), 1u);
    const std::vector<SidePanelController::ControllerPtr> expected{home, menu};
    EXPECT_EQ(container->controllers(), expected);
    EXPECT_EQ(container->centerController(), home);
    EXPECT_EQ(SidePanelItem::sidePanelController(*home), container);
    EXPECT_EQ(SidePanelItem::sidePanelController(*menu), container);
    EXPECT_EQ(SidePanelItem::sidePanelController(*container), nullptr);
}

TEST_F(SidePanelState, LookupsBySideAreRangeChecked)
{
    EXPECT_EQ(container->controllerForSide(Left), menu);
    for (std::uint32_t raw : {0u, 5u, 6u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(raw);
        EXPECT_EQ(container->controllerForSide(side(raw)), nullptr);
        EXPECT_TRUE(container->isSideClosed(side(raw)));
        EXPECT_FALSE(container->isSideOpen(side(raw)));
        EXPECT_EQ(container->ledgeOffsetForSide(side(raw)), 0);
        EXPECT_EQ(container->sideAppearance(side(raw)), SidePanelAppearance::Hidden);
        container->setSize(10, side(raw), [](bool) { ADD_FAILURE() << "no completion for a bad side"; });
        container->setController(ui::ViewController::create(), side(raw));
        container->notifyWillOpenSide(side(raw), true);
    }
    EXPECT_EQ(container->sideControllerCount(), 1u);
    EXPECT_TRUE(journal->isEmpty());
    EXPECT_EQ(container->sideForController(menu.get()), Left);
    EXPECT_EQ(container->sideForController(home.get()), SidePanelController::NotFound);
    EXPECT_EQ(container->sideForController(nullptr), Right);   // the first empty slot
}

TEST_F(SidePanelState, MaximumLedgeLimitsTheLoneSidesEnd)
{
    container->setMaxSize(100);
    EXPECT_EQ(container->maxSize(), 100);
    EXPECT_EQ(container->limitOffset(300, Horizontal), 220);
    EXPECT_EQ(container->limitOffset(-50, Horizontal), -50);
    EXPECT_EQ(container->leftLedgeSize(), 44);   // already within the limit

    container->setLeftSize(200);
    EXPECT_EQ(container->leftLedgeSize(), 100);

    auto twoSides = SidePanelController::create(home, menu, ui::ViewController::create());
    core::LogCapture log;
    twoSides->setMaxSize(100);
    EXPECT_EQ(twoSides->maxSize(), 0);
    EXPECT_EQ(twoSides->limitOffset(300, Horizontal), 300);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().front().contains(QStringLiteral("] SidePanelController: warning:")));
}

TEST_F(SidePanelState, SizesInBothModes)
{
    struct Case { SidePanelSizeMode mode; double ledge; double size; double viewSize; double openOffset; };
    const Case cases[] = {
        {SidePanelSizeMode::Ledge, 200, 200, 120, 120},
        {SidePanelSizeMode::ViewSize, 120, 200, 200, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        container->setSizeMode(c.mode);
        container->setLeftSize(200);
        EXPECT_EQ(container->leftLedgeSize(), c.ledge);
        EXPECT_EQ(container->leftSize(), c.size);
        EXPECT_EQ(container->leftViewSize(), c.viewSize);
        EXPECT_EQ(container->ledgeOffsetForSide(Left), c.openOffset);
    }
    // Changing the mode converts nothing that is stored.
    container->setSizeMode(SidePanelSizeMode::Ledge);
    EXPECT_EQ(container->leftSize(), 120);
}

TEST_F(SidePanelState, DelegateAnswerDecidesEveryStoredLedge)
{
    menu->ledgeAnswer = [](double) { return 60.0; };
    container->setLeftSize(200);
    container->setRightSize(10);
    EXPECT_EQ(container->leftLedgeSize(), 60);
    EXPECT_EQ(container->rightLedgeSize(), 60);

    // With controllers asked too, answers compose in walk order: delegate, centre, left...
    menu->ledgeAnswer = [](double ledge) { return ledge / 2; };
    home->ledgeAnswer = [](double ledge) { return ledge + 10; };
    container->setDelegateMode(SidePanelDelegateMode::DelegateAndControllers);
    container->setLeftSize(200);
    EXPECT_EQ(container->leftLedgeSize(), 110);
}

TEST_F(SidePanelState, OpenSideDetectionIsExactInBothSizeModes)
{
    show();
    for (SidePanelSizeMode mode : {SidePanelSizeMode::Ledge, SidePanelSizeMode::ViewSize}) {
        SCOPED_TRACE(static_cast<int>(mode));
        container->setSizeMode(mode);
        container->setLeftSize(200);
        const double open = container->ledgeOffsetForSide(Left);
        container->setSlidingFrameForOffset(open, Horizontal, false);
        EXPECT_TRUE(container->isSideOpen(Left));
        EXPECT_FALSE(container->isSideTransitioning(Left));
        container->setSlidingFrameForOffset(open - 0.5, Horizontal, false);
        EXPECT_FALSE(container->isSideOpen(Left));
        EXPECT_TRUE(container->isSideTransitioning(Left));
        container->setSlidingFrameForOffset(0, Horizontal, false);
        EXPECT_TRUE(container->isSideClosed(Left));
    }
}

TEST_F(SidePanelState, OffsetNoticeOnlyWhenTheOffsetChanges)
{
    struct Watcher : SidePanelControllerDelegate {
        int changes = 0;
        void didChangeOffset(SidePanelController&, double, SidePanelOffsetOrientation, bool) override { ++changes; }
    };
    auto watcher = std::make_shared<Watcher>();
    container->setDelegate(watcher);
    show();
    container->setSlidingFrameForOffset(100, Horizontal, false);
    container->setSlidingFrameForOffset(100, Horizontal, false);
    container->setSlidingFrameForOffset(0, Horizontal, false);
    container->setSlidingFrameForOffset(0, Horizontal, false);
    EXPECT_EQ(watcher->changes, 2);
}

TEST_F(SidePanelState, ResizingLeftSideWhileOpenAnimatesToTheNewLedge)
{
    show();
    container->openLeftViewAnimated(false);
    step(0.01);
    ASSERT_EQ(slidingX(), 276);
    bool finished = false;
    container->setLeftSize(80, [&](bool done) { finished = done; });
    EXPECT_EQ(slidingX(), 240);   // the model moves at once; the drawing follows the clock
    EXPECT_FALSE(finished);
    step(0.31);
    EXPECT_TRUE(finished);
    EXPECT_TRUE(container->isSideOpen(Left));
}

TEST_F(SidePanelState, AppearanceAtStartUpReachesTheHomeScreenOnly)
{
    show();
    const QStringList expected{QStringLiteral("home willAppear"), QStringLiteral("home didAppear")};
    EXPECT_EQ(take(), expected);
    EXPECT_EQ(home->view()->superview(), container->centerView());
    EXPECT_EQ(container->referenceView(), container->view());
    EXPECT_EQ(container->viewAppearance(), SidePanelAppearance::Shown);
}

TEST_F(SidePanelState, MenuAppearsAroundOpeningAndClosingWhileShown)
{
    show();
    take();
    container->openLeftView();
    EXPECT_EQ(take(), (QStringList{QStringLiteral("menu willAppear"), QStringLiteral("menu willOpen 1 animated")}));
    step(0.31);
    EXPECT_EQ(take(), (QStringList{QStringLiteral("menu didAppear"), QStringLiteral("menu didOpen 1 animated")}));
    container->closeLeftView();
    step(0.31);
    EXPECT_EQ(take(), (QStringList{QStringLiteral("menu willDisappear"), QStringLiteral("menu willClose 1 animated"),
                                   QStringLiteral("menu didDisappear"), QStringLiteral("menu didClose 1 animated")}));
}

TEST_F(SidePanelState, PresentingOverTheContainerTakesOnlyShownSidesAlong)
{
    for (bool menuOpen : {false, true}) {
        SCOPED_TRACE(menuOpen);
        SetUp();
        show();
        if (menuOpen) {
            container->openLeftViewAnimated(false);
            step(0.01);
        }
        take();
        auto screen = ui::ViewController::create();
        home->presentViewController(screen, true);
        step(0.5);
        const QStringList seen = take();
        EXPECT_TRUE(seen.contains(QStringLiteral("home willDisappear")));
        EXPECT_TRUE(seen.contains(QStringLiteral("home didDisappear")));
        EXPECT_EQ(seen.contains(QStringLiteral("menu willDisappear")), menuOpen);
        EXPECT_EQ(seen.contains(QStringLiteral("menu didDisappear")), menuOpen);

        screen->dismissViewController(true);
        step(0.5);
        EXPECT_EQ(take().contains(QStringLiteral("menu didAppear")), menuOpen);
        TearDown();
    }
}

TEST_F(SidePanelState, OpeningWhileHiddenOnlyRecordsTheSideUntilTheContainerAppears)
{
    container->view();
    container->openLeftViewAnimated(false);
    step(0.01);
    EXPECT_FALSE(take().contains(QStringLiteral("menu willAppear")));
    EXPECT_EQ(container->sideAppearance(Left), SidePanelAppearance::Shown);
    show();
    const QStringList seen = take();
    EXPECT_TRUE(seen.contains(QStringLiteral("menu willAppear")));
    EXPECT_TRUE(seen.contains(QStringLiteral("menu didAppear")));
}

TEST_F(SidePanelState, PresentationFromTheCentreLandsOnTheContainer)
{
    show();
    auto settings = ui::ViewController::create();
    home->presentViewController(settings, false);
    step(0.5);
    EXPECT_EQ(settings->presentingViewController(), container);
    EXPECT_EQ(std::static_pointer_cast<SidePanelController>(settings->presentingViewController())->centerController(), home);
    EXPECT_EQ(SidePanelItem::sidePanelController(*settings), nullptr);

    // A presented screen presents for itself.
    auto style = ui::ViewController::create();
    settings->presentViewController(style, false);
    step(0.5);
    EXPECT_EQ(style->presentingViewController(), settings);
}

TEST_F(SidePanelState, PresentationFromTheMenuLandsOnTheContainerToo)
{
    // The menu is no child of the container (a root container adopts no side controllers),
    // so only the container's presentation hook routes it.
    show();
    ASSERT_EQ(menu->parentViewController(), nullptr);
    auto screen = ui::ViewController::create();
    menu->presentViewController(screen, false);
    step(0.5);
    EXPECT_EQ(screen->presentingViewController(), container);
}

TEST_F(SidePanelState, HooksDroppedByARestoreComeBackWithTheNextContainer)
{
    // A test that installs hooks of its own restores the platform's defaults; the next
    // container made must route presentations through itself again.
    container.reset();
    ui::PlatformHooks::restoreDefaults();
    container = SidePanelController::create(home, menu);
    show();
    auto screen = ui::ViewController::create();
    home->presentViewController(screen, false);
    step(0.5);
    EXPECT_EQ(screen->presentingViewController(), container);
}

TEST_F(SidePanelState, ContainerViewEnteringATransitionViewIsPinnedToItsTopForTheTransition)
{
    show();
    auto presented = ui::ViewController::create();
    container->presentViewController(presented, false);
    step(0.5);
    auto transition = presented->view()->superview();
    ASSERT_TRUE(transition && transition->isTransitionView());

    auto plain = SidePanelView::create(ui::Rect(0, 20, 320, 460));
    transition->addSubview(plain);
    EXPECT_EQ(plain->frame(), ui::Rect(0, 20, 320, 460));

    auto adjusted = SidePanelView::create(ui::Rect(0, 20, 320, 460));
    adjusted->setNeedsOffsetAdjustment();
    container->view()->addSubview(adjusted);   // not a transition view: a plain insertion
    EXPECT_EQ(adjusted->frame(), ui::Rect(0, 20, 320, 460));
    transition->addSubview(adjusted);
    EXPECT_EQ(adjusted->frame(), ui::Rect(0, 0, 320, 480));
    EXPECT_EQ(adjusted->superview(), transition);
    step(0);
    EXPECT_EQ(adjusted->frame(), ui::Rect(0, 20, 320, 460));
}

TEST_F(SidePanelState, TitleIsTheCentres)
{
    home->setTitle(QStringLiteral("首页"));
    EXPECT_EQ(container->title(), QStringLiteral("首页"));
    EXPECT_EQ(container->ui::ViewController::title(), QStringLiteral("首页"));
    container->setTitle(QStringLiteral("科目"));
    EXPECT_EQ(home->title(), QStringLiteral("科目"));

    auto untitled = ui::ViewController::create();
    container->setCenterController(untitled);
    EXPECT_TRUE(container->ui::ViewController::title().isNull());
    home->setTitle(QStringLiteral("gone"));   // no longer observed
    EXPECT_TRUE(container->title().isNull());
}

TEST_F(SidePanelState, NavigationItemOfAContainedControllerIsTheContainers)
{
    EXPECT_EQ(home->navigationItem(), container->navigationItem());
    EXPECT_EQ(menu->navigationItem(), container->navigationItem());
    auto loose = ui::ViewController::create();
    EXPECT_NE(loose->navigationItem(), container->navigationItem());
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

TEST_F(SidePanelState, CleanupDropsTheObservationOfTheContainersOwnKeys)
{
    // A container that is not a root waits for a parent before adopting its side controllers.
    for (bool cleanedUp : {false, true}) {
        SCOPED_TRACE(cleanedUp);
        auto side = ui::ViewController::create();
        auto held = SidePanelController::create(ui::ViewController::create(), side);
        held->setReferenceView(ui::View::create());
        if (cleanedUp) {
            held->cleanup();
            held->setReferenceView(ui::View::create());
        }
        auto parent = ui::ViewController::create();
        parent->addChildViewController(held);
        EXPECT_EQ(side->parentViewController() != nullptr, !cleanedUp);
    }
}

TEST_F(SidePanelState, SideControllerReplacedWhileWaitingIsNotAdoptedLater)
{
    auto first = ui::ViewController::create();
    auto second = ui::ViewController::create();
    auto held = SidePanelController::create(ui::ViewController::create(), first);
    held->setLeftController(second);
    held->setReferenceView(ui::View::create());
    auto parent = ui::ViewController::create();
    parent->addChildViewController(held);
    EXPECT_EQ(second->parentViewController(), held);
    EXPECT_EQ(first->parentViewController(), nullptr);
    EXPECT_EQ(SidePanelItem::sidePanelControllerCore(*first), nullptr);
}

TEST_F(SidePanelState, InteractionFollowsAllowedAndRequested)
{
    auto view = SidePanelView::create();
    view->setAllowUserInteractionEnabled(false);
    view->setUserInteractionEnabled(true);
    EXPECT_FALSE(view->isUserInteractionEnabled());
    view->setAllowUserInteractionEnabled(true);
    EXPECT_TRUE(view->isUserInteractionEnabled());
    view->setUserInteractionEnabled(false);
    EXPECT_FALSE(view->isUserInteractionEnabled());
}

TEST_F(SidePanelState, GuardedSetters)
{
    for (auto [given, stored] : {std::pair{-1.0, 0.0}, {2.0, double(0.99f)}, {0.5, 0.5}}) {
        container->setBounceDurationFactor(given);
        EXPECT_EQ(container->bounceDurationFactor(), stored);
    }
    container->setNavigationControllerBehavior(SidePanelNavigationControllerBehavior::Contained);
    show();
    try {
        container->setNavigationControllerBehavior(SidePanelNavigationControllerBehavior::Integrated);
        FAIL() << "expected an exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "Cannot set navigationcontroller behavior when the side panel is already showing.");
    }
    EXPECT_EQ(container->navigationControllerBehavior(), SidePanelNavigationControllerBehavior::Contained);
}

TEST_F(SidePanelState, PanClassesCanBeDisabledAndEnabled)
{
    const std::type_index slider = typeid(ui::Window);
    EXPECT_FALSE(container->canPanOverViewsOfClass(slider));
    container->disablePanOverViewsOfClass(slider);
    EXPECT_TRUE(container->canPanOverViewsOfClass(slider));   // YES means disabled
    EXPECT_EQ(container->viewClassesWithDisabledPan(), std::vector<std::type_index>{slider});
    container->enablePanOverViewsOfClass(slider);
    EXPECT_FALSE(container->canPanOverViewsOfClass(slider));
    EXPECT_TRUE(container->viewClassesWithDisabledPan().empty());
}

TEST_F(SidePanelState, RotationKeepsTheOpenSideAtItsLedge)
{
    struct Case { SidePanelSizeMode mode; double x; double ledge; };
    for (const Case& c : {Case{SidePanelSizeMode::Ledge, 436, 44}, Case{SidePanelSizeMode::ViewSize, 276, 204}}) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        SetUp();
        show();
        container->setSizeMode(c.mode);
        container->openLeftViewAnimated(false);
        step(0.01);
        container->shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation::LandscapeLeft);
        window->setFrame(ui::Rect(0, 0, 480, 320));
        container->willRotateToInterfaceOrientation(ui::InterfaceOrientation::LandscapeLeft, 0);
        container->willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation::LandscapeLeft, 0);
        EXPECT_EQ(slidingX(), c.x);
        EXPECT_EQ(container->leftLedgeSize(), c.ledge);
        TearDown();
    }
}

TEST_F(SidePanelState, RotationKeepsAPartlyOpenSideAsFarFromTheFarEdge)
{
    show();
    container->setSlidingFrameForOffset(100, Horizontal, false);
    container->shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation::LandscapeLeft);
    window->setFrame(ui::Rect(0, 0, 480, 320));
    container->willRotateToInterfaceOrientation(ui::InterfaceOrientation::LandscapeLeft, 0);
    container->willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation::LandscapeLeft, 0);
    EXPECT_EQ(slidingX(), 260);
    EXPECT_FALSE(container->isSideOpen(Left));
}

TEST_F(SidePanelState, RotationQueryWithoutRotationIsReplayedAtTheNextAppearance)
{
    show();
    container->openLeftViewAnimated(false);
    step(0.01);
    container->shouldAutorotate();   // asked, but the rotation never comes
    container->beginAppearanceTransition(false, false);
    container->endAppearanceTransition();
    window->setFrame(ui::Rect(0, 0, 480, 320));
    step(0.01);
    EXPECT_EQ(slidingX(), 276);
    container->beginAppearanceTransition(true, false);
    EXPECT_EQ(slidingX(), 436);
    EXPECT_TRUE(container->isSideOpen(Left));
}

TEST_F(SidePanelState, PushOverACentreThatCannotPushDoesNothing)
{
    auto right = RecordingController::create(QStringLiteral("right"), journal);
    container->setRightController(right);
    show();
    container->openRightViewAnimated(false);
    step(0.01);
    ASSERT_TRUE(container->isSideOpen(Right));
    const auto windowSubviews = window->subviews().size();
    EXPECT_FALSE(container->canRightViewPushViewControllerOverCenterController());
    container->rightViewPushViewControllerOverCenterController(ui::ViewController::create());
    step(0.5);
    EXPECT_TRUE(container->isSideOpen(Right));
    EXPECT_EQ(window->subviews().size(), windowSubviews);
    EXPECT_EQ(container->view()->frame(), window->bounds());
}

} // namespace
