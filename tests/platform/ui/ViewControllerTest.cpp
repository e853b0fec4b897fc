#include "platform/ui/ViewController.h"

#include "platform/core/Log.h"
#include "platform/ui/Attachments.h"
#include "platform/ui/InterfaceRotation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/MemoryWarning.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"
#include "support/CoversWindow.h"
#include "support/LoggingController.h"

using namespace ui;
using uitest::LoggingController;
using uitest::expectCoversWindow;

namespace {

class ViewControllerTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        log = std::make_shared<QStringList>();
        window = Window::create(Screen::main().bounds());
        window->makeKeyAndVisible();
        root = LoggingController::create("root", log);
        window->setRootViewController(root);
        step();
        log->clear();
    }

    std::shared_ptr<QStringList> log;
    std::shared_ptr<Window> window;
    std::shared_ptr<LoggingController> root;
};

} // namespace

TEST_F(ViewControllerTest, AWindowsRootLoadsOnceAndAppearsWhenTheWindowShows)
{
    auto w = Window::create(Rect(0, 0, 320, 480));
    auto first = LoggingController::create("first", log);
    EXPECT_FALSE(first->isViewLoaded());
    w->setRootViewController(first);
    EXPECT_TRUE(log->isEmpty());   // a hidden window shows nothing
    first->view();
    EXPECT_EQ(first->loadCount, 1);
    EXPECT_EQ(first->didLoadCount, 1);
    w->makeKeyAndVisible();
    EXPECT_EQ(*log, QStringList{"first:willAppear"});
    step();
    EXPECT_EQ(*log, (QStringList{"first:willAppear", "first:didAppear"}));
    EXPECT_EQ(first->view()->frame(), Rect(0, 0, 320, 480));
    EXPECT_EQ(first->view()->superview(), w);
}

TEST_F(ViewControllerTest, AppearanceOrderAcrossPresentAndDismiss)
{
    for (bool animated : {true, false}) {
        SCOPED_TRACE(animated ? "animated" : "not animated");
        log->clear();
        auto modal = LoggingController::create("modal", log);
        root->presentViewController(modal, animated, [&] { log->append("completion"); });
        EXPECT_EQ(*log, (QStringList{"root:willDisappear", "modal:willAppear"}));   // no completion inside the call
        EXPECT_EQ(root->presentedViewController(), modal);
        EXPECT_EQ(modal->presentingViewController(), root);
        EXPECT_EQ(modal->view()->window(), window);
        if (animated) {
            step(0.29);   // a transition takes 0.3 s
            EXPECT_EQ(log->size(), 2);
            EXPECT_LT(modal->view()->layer()->presentation()->frame().y(), window->bounds().height());
            EXPECT_GT(modal->view()->layer()->presentation()->frame().y(), 0);
        }
        step(0.01);
        EXPECT_EQ(*log, (QStringList{"root:willDisappear", "modal:willAppear", "modal:didAppear",
                                     "root:didDisappear", "completion"}));
        EXPECT_EQ(root->view()->window(), nullptr);   // covered, out of the window

        log->clear();
        modal->dismissViewController(animated, [&] { log->append("completion"); });
        EXPECT_EQ(*log, (QStringList{"modal:willDisappear", "root:willAppear"}));
        EXPECT_EQ(root->view()->window(), window);    // back underneath while the modal leaves
        step(0.3);
        EXPECT_EQ(*log, (QStringList{"modal:willDisappear", "root:willAppear", "root:didAppear",
                                     "modal:didDisappear", "completion"}));
        EXPECT_EQ(root->presentedViewController(), nullptr);
        EXPECT_EQ(modal->presentingViewController(), nullptr);
        EXPECT_EQ(modal->view()->window(), nullptr);
        step(1);
        EXPECT_EQ(log->count("completion"), 1);
    }
}

TEST_F(ViewControllerTest, DismissingFromTheBottomTakesTheWholeStackAndOnlyTheEndsHearIt)
{
    auto a = LoggingController::create("a", log);
    auto b = LoggingController::create("b", log);
    root->presentViewController(a, false);
    step();
    a->presentViewController(b, false);
    step();
    EXPECT_EQ(b->presentingViewController(), a);
    log->clear();

    std::weak_ptr<ViewController> weakB = b;
    b.reset();
    root->dismissViewController(true);
    step(0.3);
    EXPECT_EQ(*log, (QStringList{"b:willDisappear", "root:willAppear", "root:didAppear", "b:didDisappear"}));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(a->presentedViewController(), nullptr);
    step();
    EXPECT_TRUE(weakB.expired());   // nothing keeps a dismissed controller
}

// Each refusal logs one line and changes nothing: a dismissal during the transition, a second
// presentation from a presenting controller, a presentation from one outside any window.
TEST_F(ViewControllerTest, RefusedPresentationsAndDismissalsChangeNothing)
{
    core::LogCapture capture;
    auto a = LoggingController::create("a", log);
    root->presentViewController(a, true);
    int dismissed = 0;
    a->dismissViewController(true, [&] { ++dismissed; });
    step(1);
    EXPECT_EQ(dismissed, 0);
    EXPECT_EQ(a->presentingViewController(), root);

    auto b = LoggingController::create("b", log);
    int completions = 0;
    root->presentViewController(b, false, [&] { ++completions; });
    auto orphan = LoggingController::create("orphan", log);
    orphan->presentViewController(LoggingController::create("x", log), false, [&] { ++completions; });
    step(1);
    EXPECT_EQ(completions, 0);
    EXPECT_EQ(root->presentedViewController(), a);
    EXPECT_EQ(b->presentingViewController(), nullptr);
    EXPECT_EQ(capture.lines().size(), 3);

    a->dismissViewController(true, [&] { ++dismissed; });
    step(1);
    EXPECT_EQ(dismissed, 1);
}

TEST_F(ViewControllerTest, PresentationRunsThroughAnInstalledHook)
{
    // A container holds a controller without adopting it and presents on its behalf, found
    // through a weak attachment, as the side panel does.
    static const char kContainerKey[] = "Container";
    auto container = LoggingController::create("container", log);
    container->manualForwarding = true;
    auto centre = LoggingController::create("centre", log);
    centre->attachments().set(kContainerKey, std::static_pointer_cast<ViewController>(container));
    window->setRootViewController(container);
    container->view()->addSubview(centre->view());
    step();

    QStringList hookLog;
    PlatformHooks::installPresentHook([&](ViewController& receiver, const std::shared_ptr<ViewController>& controller,
                                          bool animated, std::function<void()> completion,
                                          const PlatformHooks::PresentFn& previous) {
        auto target = receiver.attachments().get<ViewController>(kContainerKey);
        hookLog << (target ? "via container" : "self");
        previous(target ? *target : receiver, controller, animated, std::move(completion));
    });

    log->clear();
    auto settings = LoggingController::create("settings", log);
    centre->presentViewController(settings, true);
    step(0.3);
    EXPECT_EQ(settings->presentingViewController(), container);
    EXPECT_EQ(centre->presentedViewController(), nullptr);
    // The container manages its own children: only it and the new screen hear of the change.
    EXPECT_EQ(*log, (QStringList{"container:willDisappear", "settings:willAppear", "settings:didAppear",
                                 "container:didDisappear"}));

    auto style = LoggingController::create("style", log);
    settings->presentViewController(style, false);   // a presented screen presents for itself
    step();
    EXPECT_EQ(style->presentingViewController(), settings);
    EXPECT_EQ(hookLog, (QStringList{"via container", "self"}));
}

TEST_F(ViewControllerTest, ContainmentIsExplicitAndAppearanceReachesTheChildren)
{
    auto parent = LoggingController::create("parent", log);
    auto child = LoggingController::create("child", log);

    parent->addChildViewController(child);
    EXPECT_EQ(child->parentViewController(), parent);
    EXPECT_EQ(parent->childViewControllers().size(), 1u);
    EXPECT_TRUE(log->isEmpty());   // no implicit will- or did-move

    parent->view()->addSubview(child->view());
    parent->beginAppearanceTransition(true, false);
    parent->endAppearanceTransition();
    EXPECT_EQ(*log, (QStringList{"parent:willAppear", "child:willAppear", "parent:didAppear", "child:didAppear"}));

    log->clear();
    child->removeFromParentViewController();
    EXPECT_EQ(child->parentViewController(), nullptr);
    EXPECT_TRUE(parent->childViewControllers().empty());
    EXPECT_TRUE(log->isEmpty());
}


// A presenter whose view a memory warning let go while a full-screen screen covered it has a
// new view as it is uncovered: loaded then (viewDidLoad before viewWillAppear), or earlier by
// something that asked for it meanwhile (a reply updating its labels). The new view goes back
// where the old one was, across the window in the interface's orientation, whatever view the
// controller makes: the window's root into the window, a presented presenter into its own
// transition view, in place of the old view.
TEST_F(ViewControllerTest, APresenterLetGoWhileCoveredLoadsAViewAnewInItsPlace)
{
    using O = InterfaceOrientation;
    struct Case {
        const char* name;
        bool presentedPresenter;
        O coveredIn;
        O uncoveredIn;
        bool ownView;
        bool loadedWhileCovered;
    };
    const Case cases[] = {
        {"the window's root", false, O::Portrait, O::Portrait, false, false},
        {"a presented presenter", true, O::Portrait, O::Portrait, false, false},
        {"the root in landscape, loaded while covered", false, O::LandscapeRight, O::LandscapeRight, false, true},
        {"the root in landscape with its own view", false, O::LandscapeLeft, O::LandscapeLeft, true, false},
        {"a presented presenter in landscape with its own view", true, O::LandscapeRight, O::LandscapeRight, true, false},
        {"a presented presenter in landscape, loaded while covered", true, O::LandscapeLeft, O::LandscapeLeft, true, true},
        {"a presented presenter turned while covered", true, O::Portrait, O::LandscapeLeft, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        InterfaceRotation::rotate(window, c.coveredIn, 0);
        step();
        auto host = root;
        if (c.presentedPresenter) {
            host = LoggingController::create("presented", log);
            root->presentViewController(host, false);
            step();
        }
        if (c.ownView)   // a view of its design size that does not resize by itself
            host->makeView = [] { return View::create(Rect(0, 0, 100, 60)); };
        auto cover = LoggingController::create("cover", log);
        host->presentViewController(cover, false);
        step();
        std::weak_ptr<View> oldView = host->viewIfLoaded();
        InterfaceRotation::rotate(window, c.uncoveredIn, 0);
        step();
        MemoryWarning::post();
        ASSERT_FALSE(host->isViewLoaded());
        EXPECT_TRUE(oldView.expired());

        host->logLoads = true;
        log->clear();
        if (c.loadedWhileCovered)
            host->view();
        cover->dismissViewController(false);
        step();
        const QString name = c.presentedPresenter ? "presented" : "root";
        EXPECT_EQ(*log, (QStringList{name + ":didLoad", "cover:willDisappear", name + ":willAppear",
                                     name + ":didAppear", "cover:didDisappear"}));
        EXPECT_EQ(host->loadCount, 2);
        const auto view = host->viewIfLoaded();
        ASSERT_TRUE(view);
        EXPECT_EQ(view->window(), window);
        const Size screen = window->bounds().size;
        EXPECT_EQ(view->bounds().size, isLandscape(c.uncoveredIn) ? Size(screen.height, screen.width) : screen);
        expectCoversWindow(*view, *window);
        ASSERT_EQ(window->subviews().size(), 1u);
        const auto place = window->subviews().front();
        EXPECT_EQ(place->isTransitionView(), c.presentedPresenter);
        EXPECT_EQ(place->subviews().size(), c.presentedPresenter ? 1u : 0u);   // the new view, no old one
        EXPECT_EQ(c.presentedPresenter ? place->subviews().front() : place, view);
    }
}
