#include "components/sidepanel/SidePanelNavigation.h"

#include "components/sidepanel/SidePanelController.h"
#include "components/sidepanel/SidePanelView.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Layer.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "support/MessageRecorder.h"
#include "support/SidePanelFixture.h"

#include <QRegularExpression>
#include <stdexcept>

namespace {

constexpr auto Left = SidePanelSide::Left;
constexpr auto Right = SidePanelSide::Right;
constexpr double kOpenLeft = 276;   // 320 wide, ledge 44
using Behavior = SidePanelNavigationControllerBehavior;
using Mode = SidePanelPanningMode;

// The fixture's 320 × 480 screen has a 20-point status bar; a navigation bar below it spans
// y 20 to 64 when its view starts at the top of the window.
class InNavigation : public SidePanelFixture {
protected:
    // A container around `center` with the menu on the left (and `right` if given).
    void rebuild(SidePanelController::ControllerPtr center, SidePanelController::ControllerPtr right = nullptr)
    {
        container.reset();
        container = SidePanelController::create(std::move(center), menu, std::move(right));
        container->setDelegate(menu);
    }
    // Shows `root` (a navigation controller around the container, say) as the window's root.
    void showRoot(const std::shared_ptr<ui::ViewController>& root)
    {
        window = ui::Window::create(ui::Screen::main().bounds());
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        step(0.01);
    }
    bool carriesPanner(const std::shared_ptr<ui::View>& view) const
    {
        for (const auto& panner : container->panners()) {
            if (panner->view() == view)
                return true;
        }
        return false;
    }
};

} // namespace

// Integrated, the navigation controller's view slides in the window and the centre keeps
// clear of the status bar and the bar; the slid position comes back after the container
// reappears; the behaviour cannot change once shown.
TEST_F(InNavigation, IntegratedContainerSlidesItsNavigationControllerBelowTheBars)
{
    container->setNavigationControllerBehavior(Behavior::Integrated);
    auto nav = ui::NavigationController::create(container);
    showRoot(nav);
    EXPECT_EQ(container->slidingControllerView(), nav->view());
    EXPECT_EQ(container->referenceView(), window);
    EXPECT_EQ(container->relativeStatusBarHeight(), 20);
    EXPECT_EQ(container->centerViewBounds(), ui::Rect(0, 0, 320, 416));
    EXPECT_EQ(container->sideViewBounds(), ui::Rect(0, 20, 320, 460));
    EXPECT_EQ(container->view()->frame(), ui::Rect(0, 64, 320, 416));
    EXPECT_EQ(home->view()->frame(), ui::Rect(0, 0, 320, 416));
    EXPECT_EQ(menu->view()->superview(), window);

    EXPECT_TRUE(container->openLeftView());
    step(0.3);
    EXPECT_EQ(nav->view()->frame().x(), kOpenLeft);
    EXPECT_TRUE(container->isSideOpen(Left));
    EXPECT_THROW(container->setNavigationControllerBehavior(Behavior::Contained), std::logic_error);

    // Another root and back: the window puts the navigation view at 0, the container moves it back.
    window->setRootViewController(ui::ViewController::create());
    step(0.01);
    window->setRootViewController(nav);
    EXPECT_EQ(nav->view()->frame().x(), 0);
    step(0.01);
    EXPECT_EQ(nav->view()->frame().x(), kOpenLeft);

    nav->setNavigationBarHidden(true);
    ui::Application::shared().setStatusBarOrientation(ui::InterfaceOrientation::LandscapeLeft);
    ui::Application::shared().statusBar().setHeight(30);
    EXPECT_EQ(container->statusBarHeight(), 30);   // the width of a bar down the side
    EXPECT_EQ(container->centerViewBounds(), ui::Rect(0, 0, 320, 450));

    // Sliding inside a tab-bar controller's view rather than the window: no status bar to
    // keep clear of.
    restart();
    container->setNavigationControllerBehavior(Behavior::Integrated);
    auto tabs = ui::TabBarController::create();
    tabs->setViewControllers({ui::NavigationController::create(container)});
    showRoot(tabs);
    ASSERT_TRUE(container->referenceView() && container->referenceView() != window);
    EXPECT_EQ(container->relativeStatusBarHeight(), 0);
    EXPECT_EQ(container->sideViewBounds(), container->referenceBounds());
}

// A finger on a shown navigation bar opens the side: the container's own bar in modes 1
// and 5, a navigation centre's bar in mode 2; in mode 5 the centre below the bar takes a
// pan only while a side is open.
TEST_F(InNavigation, NavigationBarsCarryPansAndModeFiveBeginsOnlyThereWhileClosed)
{
    auto around = ui::NavigationController::create(container);
    showRoot(around);
    EXPECT_TRUE(carriesPanner(around->navigationBar()));
    drag({20, 40}, {250, 40}, 0.3);
    step(0.5);
    EXPECT_TRUE(container->isSideOpen(Left));
    container->setPanningMode(Mode::NavigationBar);   // names that bar twice: once as the centre's
    EXPECT_EQ(container->panners().size(), 1u);

    for (Mode mode : {Mode::NavigationBar, Mode::NavigationBarOrOpen}) {
        SCOPED_TRACE(int(mode));
        restart();
        auto centerNav = ui::NavigationController::create(home);
        rebuild(centerNav);
        container->setPanningMode(mode);
        showRoot(container);
        EXPECT_EQ(carriesPanner(container->slidingControllerView()), mode == Mode::NavigationBarOrOpen);
        drag({20, 300}, {250, 300}, 0.3);   // below the bar
        step(0.5);
        EXPECT_EQ(slidingX(), 0);
        drag({20, 40}, {250, 40}, 0.3);
        step(0.5);
        EXPECT_EQ(slidingX(), kOpenLeft);
        drag({300, 300}, {20, 300}, 0.3);   // open: the centre takes the pan in mode 5 only
        step(0.5);
        EXPECT_EQ(slidingX(), mode == Mode::NavigationBarOrOpen ? 0 : kOpenLeft);
    }
}

// Up a navigation controller's stack the nearest integrated container is the one that
// holds a controller on it; a contained one is passed over.
TEST_F(InNavigation, ContainerLookupWalksTheStackForAnIntegratedContainer)
{
    auto make = [](Behavior behavior) {
        auto c = SidePanelController::create(ui::ViewController::create());
        c->setNavigationControllerBehavior(behavior);
        return c;
    };
    auto lower = make(Behavior::Integrated);
    auto upper = make(Behavior::Integrated);
    auto contained = make(Behavior::Contained);
    auto screen = ui::ViewController::create();
    auto nav = ui::NavigationController::create(lower);
    nav->pushViewController(contained, false);
    nav->pushViewController(screen, false);
    EXPECT_EQ(SidePanelController::of(*screen), lower);
    nav->popToRootViewControllerAnimated(false);
    nav->pushViewController(upper, false);
    nav->pushViewController(contained, false);
    nav->pushViewController(screen, false);
    EXPECT_EQ(SidePanelController::of(*screen), upper);
    nav->setViewControllers({contained, screen});
    EXPECT_EQ(SidePanelController::of(*screen), nullptr);

    // A controller on the stack that an integrated container holds leads to that container.
    auto held = ui::ViewController::create();
    upper->setLeftController(held);
    nav->setViewControllers({contained, held, screen});
    EXPECT_EQ(SidePanelController::of(*screen), upper);
}

// Presented by a navigation controller, the container is pinned in the transition view and
// still ends in place; presented by anything else it is not marked, and not pinned.
TEST_F(InNavigation, PresentedByANavigationControllerTheViewIsMarkedForTheOffsetAdjustment)
{
    auto screen = ui::ViewController::create();
    showRoot(ui::NavigationController::create(screen));
    screen->presentViewController(container, true);
    EXPECT_EQ(container->presentingViewController(), screen->navigationController());
    EXPECT_TRUE(std::dynamic_pointer_cast<SidePanelView>(container->view())->needsOffsetAdjustment());
    step(0.5);
    EXPECT_EQ(container->view()->frame(), window->bounds());

    // Put in the transition view again while it moves below the status bar, the view is
    // pinned to the top (its bottom edge kept) with its subtree's animations dropped, and
    // goes back where it was once its move would have ended.
    auto view = container->view();
    auto transition = view->superview();
    ASSERT_TRUE(transition && transition->isTransitionView());
    ui::View::animate(0.4, [&] {
        view->setFrame(ui::Rect(0, 20, 320, 460));
        home->view()->setAlpha(0.5);
    });
    transition->addSubview(view);
    EXPECT_EQ(view->frame(), ui::Rect(0, 0, 320, 480));
    EXPECT_TRUE(view->layer()->animationKeys().isEmpty());
    EXPECT_TRUE(home->view()->layer()->animationKeys().isEmpty());
    step(0.3);
    EXPECT_EQ(view->frame(), ui::Rect(0, 0, 320, 480));
    step(0.2);
    EXPECT_EQ(view->frame(), ui::Rect(0, 20, 320, 460));
    ui::View::create()->addSubview(view);   // anywhere else it is a plain addition
    EXPECT_EQ(view->frame(), ui::Rect(0, 20, 320, 460));

    restart();
    auto plain = ui::ViewController::create();
    showRoot(plain);
    plain->presentViewController(container, true);
    step(0.5);
    EXPECT_FALSE(std::dynamic_pointer_cast<SidePanelView>(container->view())->needsOffsetAdjustment());
    container->view()->setFrame(ui::Rect(0, 20, 320, 460));
    container->view()->superview()->addSubview(container->view());   // its transition view
    EXPECT_EQ(container->view()->frame(), ui::Rect(0, 20, 320, 460));
}

// In the walk over the contained controllers, a navigation controller stands aside for its
// top controller in each question and notice it does not answer, and is asked alone in those
// it answers, every time they come.
TEST_F(InNavigation, DelegateWalkAsksANavigationCentresTopController)
{
    auto top = RecordingController::create(QStringLiteral("top"), journal);
    top->openAnswer = false;
    rebuild(ui::NavigationController::create(top));
    container->setDelegateMode(SidePanelDelegateMode::DelegateAndControllers);
    show();
    EXPECT_EQ(take(), (QStringList{"top willAppear", "top didAppear"}));   // through the navigation centre
    EXPECT_FALSE(container->openLeftView());
    EXPECT_EQ(take(), QStringList{"top shouldOpen 1"});
    container->setDelegate(top);   // the top controller as the delegate is asked once, as that
    EXPECT_FALSE(container->openLeftView());
    EXPECT_EQ(take(), QStringList{"top shouldOpen 1"});

    // A navigation centre that answers the three questions yes and implements one notice,
    // each in turn; its top controller answers everything, no to the questions. Over two
    // rounds the centre hears its own messages, and the top controller all the others, as
    // often as a delegate that implements every one.
    using M = DelegateMessage;
    const DelegateMessages walked = DelegateMessages().set().reset(std::size_t(M::ShouldPan)).reset(std::size_t(M::ApplyShadow));
    const DelegateMessages questions = onlyMessage(M::ShouldOpen) | onlyMessage(M::ShouldClose) | onlyMessage(M::ShouldPreviewBounce);
    for (M notice : {M::DidChangeOffset, M::DidBounceOpening, M::DidBounceClosing, M::WillOpen, M::DidOpen, M::WillClose,
                     M::DidClose, M::DidShowCenter, M::WillPreviewBounce, M::DidPreviewBounce}) {
        SCOPED_TRACE(int(notice));
        restart();
        const DelegateMessages centres = onlyMessage(notice) | questions;
        auto everyone = MessageRecorder<ui::ViewController>::create(QStringLiteral("delegate"), journal, walked);
        auto topAll = MessageRecorder<ui::ViewController>::create(QStringLiteral("top"), journal, walked);
        topAll->answer = false;
        auto nav = MessageRecorder<ui::NavigationController>::create(QStringLiteral("nav"), journal, centres);
        nav->pushViewController(topAll, false);
        rebuild(nav);
        container->setDelegate(everyone);
        container->setDelegateMode(SidePanelDelegateMode::DelegateAndControllers);
        show();
        take();
        for (int round = 0; round < 2; ++round) {
            EXPECT_TRUE(container->openLeftViewBouncing(nullptr));
            step(0.5);
            EXPECT_TRUE(container->closeLeftViewBouncing(nullptr));
            step(0.5);
            EXPECT_TRUE(container->previewBounceView(Left));
            step(1.5);
        }
        const QStringList lines = take();
        const auto heardBy = [&lines](const char* who) {   // "<message> <container> <arguments>"
            QStringList what;
            for (const QString& line : lines) {
                if (line.section(' ', 0, 0) == QLatin1String(who))
                    what << line.section(' ', 1);
            }
            return what;
        };
        QStringList centresShare, topsShare;
        for (const QString& what : heardBy("delegate"))
            (centres.test(what.section(' ', 0, 0).toUInt()) ? centresShare : topsShare) << what;
        EXPECT_GE(centresShare.filter(QRegularExpression(QStringLiteral("^%1 ").arg(int(notice)))).size(), 2);
        EXPECT_EQ(heardBy("nav"), centresShare);
        EXPECT_EQ(heardBy("top"), topsShare);
    }
}

// The right side pushes a screen onto a navigation centre: the old picture slides out left
// while the container comes back from the right, with input off until the slide ends.
TEST_F(InNavigation, PushOverTheCentreSlidesASnapshotAwayAndLeavesThePushedOnTop)
{
    auto right = RecordingController::create(QStringLiteral("right"), journal);
    EXPECT_FALSE(container->canRightViewPushViewControllerOverCenterController());
    rebuild(ui::ViewController::create(), right);
    show();
    container->openRightView();
    step(0.5);
    container->rightViewPushViewControllerOverCenterController(ui::ViewController::create());
    EXPECT_EQ(window->subviews().size(), 1u);   // nothing to push onto: nothing happens
    EXPECT_TRUE(container->isSideOpen(Right));

    restart();
    auto centerNav = ui::NavigationController::create(home);
    rebuild(centerNav, right);
    EXPECT_TRUE(container->canRightViewPushViewControllerOverCenterController());
    show();
    container->openRightView();
    step(0.5);
    auto pushed = ui::ViewController::create();
    container->rightViewPushViewControllerOverCenterController(pushed);
    ASSERT_EQ(window->subviews().size(), 2u);
    auto snapshot = std::dynamic_pointer_cast<ui::ImageView>(window->subviews().back());
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->image().size(), ui::Size(320, 480));
    EXPECT_TRUE(container->isSideClosed(Right));
    EXPECT_FALSE(container->view()->isUserInteractionEnabled());
    step(0.15);
    EXPECT_LT(snapshot->layer()->presentation()->frame().x(), 0);
    EXPECT_GT(container->view()->layer()->presentation()->frame().x(), 0);
    EXPECT_FALSE(container->view()->isUserInteractionEnabled());
    step(0.15);
    EXPECT_EQ(centerNav->topViewController(), pushed);
    EXPECT_EQ(SidePanelController::of(*pushed), container);   // through the navigation centre
    EXPECT_EQ(snapshot->superview(), nullptr);
    EXPECT_TRUE(container->view()->isUserInteractionEnabled());
    EXPECT_EQ(container->view()->frame(), window->bounds());
}
