#include "platform/ui/NavigationController.h"

#include "platform/core/Log.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Window.h"
#include "support/LoggingController.h"
#include "tests/support/UiFixture.h"

using namespace ui;
using uitest::LoggingController;

namespace {

// A navigation controller as the root of a shown 320 × 480 window, with "a" at its root.
class NavigationControllerTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        Screen::setMain(Size(320, 480), 2);
        log = std::make_shared<QStringList>();
        a = LoggingController::create("a", log);
        b = LoggingController::create("b", log);
        c = LoggingController::create("c", log);
        nav = NavigationController::create(a);
        window = Window::create(Screen::main().bounds());
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        step();
        log->clear();
    }
    QStringList take() { return std::exchange(*log, {}); }
    double drawnX(const std::shared_ptr<ViewController>& controller) { return controller->view()->layer()->presentation()->frame().x(); }

    std::shared_ptr<QStringList> log;
    std::shared_ptr<LoggingController> a, b, c;
    std::shared_ptr<NavigationController> nav;
    std::shared_ptr<Window> window;
};

// Below a 20-point status bar and the 44-point bar.
const Rect kContent(0, 64, 320, 416);

} // namespace

TEST_F(NavigationControllerTest, AnimatedPushSlidesInFromTheRightAndPopSlidesBack)
{
    EXPECT_EQ(a->view()->frame(), kContent);
    nav->pushViewController(b, true);
    EXPECT_EQ(take(), (QStringList{"b:willMove", "a:willDisappear", "b:willAppear"}));
    EXPECT_EQ(nav->topViewController(), b);
    step(0.15);
    EXPECT_GT(drawnX(b), 0);
    EXPECT_LT(drawnX(b), 320);
    EXPECT_LT(drawnX(a), 0);
    EXPECT_TRUE(take().isEmpty());
    step(0.15);
    EXPECT_EQ(take(), (QStringList{"a:didDisappear", "b:didAppear", "b:didMove"}));
    EXPECT_EQ(b->view()->frame(), kContent);
    EXPECT_EQ(b->view()->superview(), nav->view());
    EXPECT_EQ(a->view()->superview(), nullptr);   // a covered controller's view leaves
    EXPECT_EQ(nav->viewControllers(), (std::vector<std::shared_ptr<ViewController>>{a, b}));

    EXPECT_EQ(nav->popViewControllerAnimated(true), b);
    EXPECT_EQ(take(), (QStringList{"b:willMoveNil", "b:willDisappear", "a:willAppear"}));
    step(0.15);
    EXPECT_LT(drawnX(a), 0);   // the uncovered view comes back from the left
    EXPECT_GT(drawnX(b), 0);
    step(0.15);
    EXPECT_EQ(take(), (QStringList{"b:didDisappear", "a:didAppear", "b:didMoveNil"}));
    EXPECT_EQ(a->view()->frame(), kContent);
    EXPECT_EQ(b->view()->superview(), nullptr);
    EXPECT_EQ(b->parentViewController(), nullptr);
    EXPECT_EQ(nav->popViewControllerAnimated(true), nullptr);   // the root stays
}

TEST_F(NavigationControllerTest, UnanimatedChangesFinishWithinTheCallAndOverlapsAreRefused)
{
    nav->pushViewController(b, false);
    nav->pushViewController(c, false);
    EXPECT_EQ(take(), (QStringList{"b:willMove", "a:willDisappear", "b:willAppear", "a:didDisappear", "b:didAppear", "b:didMove",
                                   "c:willMove", "b:willDisappear", "c:willAppear", "b:didDisappear", "c:didAppear", "c:didMove"}));
    EXPECT_EQ(nav->popToRootViewControllerAnimated(false), (std::vector<std::shared_ptr<ViewController>>{b, c}));
    EXPECT_EQ(take(), (QStringList{"b:willMoveNil", "c:willMoveNil", "c:willDisappear", "a:willAppear", "c:didDisappear",
                                   "a:didAppear", "b:didMoveNil", "c:didMoveNil"}));

    core::LogCapture capture;
    nav->pushViewController(b, true);
    nav->pushViewController(c, false);
    EXPECT_EQ(nav->popViewControllerAnimated(false), nullptr);
    EXPECT_EQ(nav->topViewController(), b);
    EXPECT_EQ(capture.lines().size(), 2u);
    step(0.3);
    nav->pushViewController(b, false);   // already on the stack
    EXPECT_EQ(nav->viewControllers().size(), 2u);
}

TEST_F(NavigationControllerTest, ControllersOnTheStackFindItAndOnlyTheTopAppearsWithIt)
{
    auto child = LoggingController::create("child", log);
    b->addChildViewController(child);
    auto hidden = NavigationController::create(b);   // not in a window: containment only
    hidden->pushViewController(c, false);
    EXPECT_EQ(take(), (QStringList{"b:willMove", "b:didMove", "c:willMove", "c:didMove"}));
    EXPECT_EQ(child->navigationController(), hidden);   // through its parent
    EXPECT_EQ(c->navigationController(), hidden);
    EXPECT_EQ(a->navigationController(), nav);
    EXPECT_EQ(nav->navigationController(), nullptr);
    EXPECT_EQ(LoggingController::create("alone", log)->navigationController(), nullptr);

    window->setRootViewController(hidden);
    step();
    EXPECT_EQ(take(), (QStringList{"a:willDisappear", "a:didDisappear", "c:willAppear", "c:didAppear"}));
}

TEST_F(NavigationControllerTest, TheBarShowsTheTopItemBelowTheStatusBar)
{
    auto bar = nav->navigationBar();
    EXPECT_EQ(bar->frame(), Rect(0, 20, 320, 44));
    a->navigationItem()->setTitle("A");
    b->navigationItem()->setTitle("B");
    nav->pushViewController(b, false);
    EXPECT_EQ(bar->topItem(), b->navigationItem());
    EXPECT_EQ(bar->items().size(), 2u);
    EXPECT_EQ(bar->titleLabel()->text(), "B");
    b->navigationItem()->setTitle("B2");
    EXPECT_EQ(bar->titleLabel()->text(), "B2");
    nav->popViewControllerAnimated(false);
    EXPECT_EQ(bar->titleLabel()->text(), "A");
    b->navigationItem()->setTitle("gone");   // a popped item no longer reaches the bar
    EXPECT_EQ(bar->titleLabel()->text(), "A");

    nav->setNavigationBarHidden(true, false);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(a->view()->frame(), Rect(0, 0, 320, 480));
    nav->setNavigationBarHidden(false, true);
    step(NavigationController::kBarAnimationDuration);
    EXPECT_EQ(a->view()->frame(), kContent);

    // A bar on its side, or none, leaves the top edge free; so does a view lower down.
    for (auto orientation : {InterfaceOrientation::LandscapeLeft, InterfaceOrientation::PortraitUpsideDown}) {
        Application::shared().setStatusBarOrientation(orientation);
        nav->view()->setNeedsLayout();
        nav->view()->layoutIfNeeded();
        EXPECT_EQ(bar->frame(), Rect(0, 0, 320, 44));
    }
    Application::shared().setStatusBarOrientation(InterfaceOrientation::Portrait);
    for (double top : {10.0, 20.0}) {
        nav->view()->setFrame(Rect(0, top, 320, 480 - top));
        nav->view()->layoutIfNeeded();
        EXPECT_EQ(bar->frame(), Rect(0, 20 - top, 320, 44));
    }
}
