#include "components/sidepanel/PanelWrapController.h"

#include "components/sidepanel/PanelSideController.h"
#include "components/sidepanel/SidePanelController.h"
#include "components/sidepanel/WrapControllerItem.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/ScrollViewDelegate.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/Window.h"
#include "support/MessageRecorder.h"
#include "support/RecordingController.h"
#include "tests/support/UiFixture.h"

#include <QImage>
#include <functional>

namespace {

using O = ui::InterfaceOrientation;

class PanelWrap : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        ui::Screen::setMain(ui::Size(320, 480), 2);
    }
    std::shared_ptr<QStringList> journal = std::make_shared<QStringList>();
};

// The application's status bar is 20 points thick along the interface's top: across the
// screen in portrait, down its side in landscape; hidden, it takes nothing.
TEST_F(PanelWrap, WrapperViewSitsBelowTheStatusBarAroundTheWrappedView)
{
    auto& application = ui::Application::shared();
    struct Case { O orientation; bool hidden; double height; ui::Rect frame; };
    const Case cases[] = {{O::Portrait, false, 20, {0, 20, 320, 460}},
                          {O::LandscapeLeft, false, 20, {0, 20, 320, 460}},
                          {O::LandscapeRight, true, 0, {0, 0, 320, 480}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.orientation));
        application.setStatusBarOrientation(c.orientation);
        application.setStatusBarHidden(c.hidden);
        auto wrapped = ui::ViewController::create();
        wrapped->view()->setFrame(ui::Rect(0, 0, 320, 480));
        wrapped->view()->setAutoresizingMask(ui::Autoresizing::FlexibleWidth);
        auto wrapper = PanelWrapController::create(wrapped);
        EXPECT_EQ(wrapper->statusBarHeight(), c.height);
        EXPECT_EQ(wrapper->view()->frame(), c.frame);
        EXPECT_EQ(wrapper->view()->autoresizingMask(), unsigned(ui::Autoresizing::FlexibleWidth));   // the wrapped view's, as it was
        EXPECT_EQ(wrapped->view()->frame(), ui::Rect(0, 0, 320, c.frame.height()));
        EXPECT_EQ(wrapped->view()->autoresizingMask(), unsigned(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight));
        EXPECT_EQ(wrapped->view()->superview(), wrapper->view());
        EXPECT_EQ(wrapped->parentViewController(), wrapper);
    }
}

// Every call a wrapper gets by hand reaches the wrapped controller with its arguments, after
// the client's hook where there is one; what only the wrapped controller implements is
// answered by it.
TEST_F(PanelWrap, ForwardsAppearanceRotationAndMemoryWarnings)
{
    struct Unturning : RecordingController, ui::ScrollViewDelegate {
        using RecordingController::RecordingController;
        bool shouldAutorotate() override { return false; }
        unsigned supportedInterfaceOrientations() override { return 2; }
    };
    using Call = std::function<void(PanelWrapController&)>;
    const std::pair<Call, QStringList> cases[] = {
        {[](PanelWrapController& w) { w.view(); }, {"wrapped viewDidLoad", "wrapped didMove to parent child unlinked", "hook didLoad"}},
        {[](PanelWrapController& w) { w.viewWillAppear(true); }, {"hook willAppear 1", "wrapped willAppear"}},
        {[](PanelWrapController& w) { w.viewDidAppear(false); }, {"hook didAppear 0", "wrapped didAppear"}},
        {[](PanelWrapController& w) { w.viewWillDisappear(true); }, {"hook willDisappear 1", "wrapped willDisappear"}},
        {[](PanelWrapController& w) { w.viewDidDisappear(false); }, {"hook didDisappear 0", "wrapped didDisappear"}},
        {[](PanelWrapController& w) { w.willRotateToInterfaceOrientation(O::LandscapeLeft, 0.5); }, {"wrapped willRotate 4 0.5"}},
        {[](PanelWrapController& w) { w.willAnimateRotationToInterfaceOrientation(O::LandscapeRight, 0.25); }, {"wrapped willAnimate 3 0.25"}},
        {[](PanelWrapController& w) { w.didRotateFromInterfaceOrientation(O::Portrait); }, {"wrapped didRotate 1"}},
        {[](PanelWrapController& w) { w.didReceiveMemoryWarning(); }, {"wrapped memoryWarning"}},
    };
    auto wrapped = std::make_shared<Unturning>(QStringLiteral("wrapped"), journal, true);
    auto wrapper = PanelWrapController::create(wrapped);
    const auto hook = [this](const char* event) {
        return [this, event](PanelWrapController&, bool animated) { journal->append(QStringLiteral("hook %1 %2").arg(event).arg(int(animated))); };
    };
    wrapper->onViewDidLoad = [this](PanelWrapController&) { journal->append(QStringLiteral("hook didLoad")); };
    wrapper->onViewWillAppear = hook("willAppear");
    wrapper->onViewDidAppear = hook("didAppear");
    wrapper->onViewWillDisappear = hook("willDisappear");
    wrapper->onViewDidDisappear = hook("didDisappear");
    for (const auto& [call, heard] : cases) {
        journal->clear();
        call(*wrapper);
        EXPECT_EQ(*journal, heard);
    }
    EXPECT_FALSE(wrapper->shouldAutomaticallyForwardAppearanceMethods());
    EXPECT_FALSE(wrapper->shouldAutorotate());
    EXPECT_EQ(wrapper->supportedInterfaceOrientations(), 2u);

    EXPECT_EQ(WrapControllerItem::wrapController(*wrapped), wrapper);
    EXPECT_EQ(wrapper->forwardingTarget<ui::ScrollViewDelegate>(), wrapped);
    EXPECT_EQ(wrapper->forwardingTarget<SidePanelControllerDelegate>(), wrapper);   // it passes them on itself
    EXPECT_EQ(wrapper->forwardingTarget<SidePanelController>(), nullptr);
    EXPECT_EQ(wrapped->navigationItem(), wrapper->navigationItemDirect());
    auto empty = PanelWrapController::create(nullptr);
    EXPECT_FALSE(empty->shouldAutorotate());
    EXPECT_EQ(empty->supportedInterfaceOrientations(), 0u);

    // Releasing the wrapper lets the wrapped controller go.
    journal->clear();
    wrapper.reset();
    EXPECT_EQ(WrapControllerItem::wrapController(*wrapped), nullptr);
    EXPECT_EQ(*journal, (QStringList{"wrapped willMove to none", "wrapped didMove to none orphan unlinked"}));
}

// Whoever holds the wrapper as a plain controller (a tab-bar controller, the container's
// mirroring of its centre) reads and writes the wrapped controller's item and flag, and
// hears of their changes.
TEST_F(PanelWrap, TabBarItemAndBarFlagAreTheWrappedControllersWhereverAsked)
{
    auto wrapped = ui::ViewController::create();
    wrapped->tabBarItem()->setTitle(QStringLiteral("Notes"));
    std::shared_ptr<ui::ViewController> wrapper = PanelWrapController::create(wrapped);
    auto tabs = ui::TabBarController::create();
    tabs->setViewControllers({wrapper});
    EXPECT_EQ(tabs->tabBarItems()[0], wrapped->tabBarItem());
    auto item = std::make_shared<ui::TabBarItem>();
    wrapper->setTabBarItem(item);
    EXPECT_EQ(wrapped->tabBarItem(), item);
    item->setTitle(QStringLiteral("Notes"));

    auto container = SidePanelController::create(wrapper);
    container->setAutomaticallyUpdateTabBarItems(true);
    EXPECT_EQ(container->tabBarItem()->title(), QStringLiteral("Notes"));
    wrapped->tabBarItem()->setTitle(QStringLiteral("Cards"));
    EXPECT_EQ(container->tabBarItem()->title(), QStringLiteral("Cards"));
    const auto filled = [](QRgb colour) {
        QImage pixels(4, 4, QImage::Format_ARGB32);
        pixels.fill(colour);
        return ui::Image::fromQImage(pixels, 2);
    };
    wrapped->tabBarItem()->setImage(filled(0xff2e7d32));
    EXPECT_EQ(container->tabBarItem()->image(), filled(0xff2e7d32));
    wrapped->setHidesBottomBarWhenPushed(true);
    EXPECT_TRUE(wrapper->hidesBottomBarWhenPushed());
    EXPECT_TRUE(container->hidesBottomBarWhenPushed());
    wrapper->setHidesBottomBarWhenPushed(false);
    EXPECT_FALSE(wrapped->hidesBottomBarWhenPushed());
    EXPECT_FALSE(container->hidesBottomBarWhenPushed());

    // A wrapped centre set while the container mirrors brings its image and flag along.
    auto next = ui::ViewController::create();
    next->tabBarItem()->setImage(filled(0xff1565c0));
    next->setHidesBottomBarWhenPushed(true);
    container->setCenterController(PanelWrapController::create(next));
    EXPECT_EQ(container->tabBarItem()->image(), filled(0xff1565c0));
    EXPECT_TRUE(container->hidesBottomBarWhenPushed());
}

// A wrapped controller that is the container's delegate, or on a side in a mode that asks
// the controllers, hears what it would hear unwrapped: the wrapper answers a question or
// takes a notice exactly when the wrapped controller does.
TEST_F(PanelWrap, TheContainersQuestionsAndNoticesReachTheWrappedController)
{
    using Notice = SidePanelControllerDelegate::Notice;
    struct Case { const char* name; int wraps; bool asDelegate; };
    const Case cases[] = {{"wrapped on the left", 1, false}, {"wrapped twice on the left", 2, false},
                          {"wrapped as the delegate", 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        journal->clear();
        auto wrapped = RecordingController::create(QStringLiteral("wrapped"), journal);
        std::shared_ptr<PanelWrapController> wrapper = PanelWrapController::create(wrapped);
        for (int i = 1; i < c.wraps; ++i)
            wrapper = PanelWrapController::create(wrapper);
        auto container = SidePanelController::create(ui::ViewController::create(), c.asDelegate ? ui::ViewController::create() : wrapper);
        if (c.asDelegate)
            container->setDelegate(wrapper);
        else
            container->setDelegateMode(SidePanelDelegateMode::DelegateAndControllers);
        auto window = ui::Window::create(ui::Screen::main().bounds());
        window->setRootViewController(container);
        window->makeKeyAndVisible();
        step(0.01);

        wrapped->ledgeAnswer = [](double ledge) { return ledge / 2; };
        container->setLeftSize(200);
        EXPECT_EQ(container->leftLedgeSize(), 100);
        wrapped->openAnswer = false;
        EXPECT_FALSE(container->openLeftView());
        wrapped->openAnswer.reset();
        journal->clear();
        EXPECT_TRUE(container->openLeftView());
        step(0.5);
        EXPECT_EQ(journal->filter(QStringLiteral("Open")), (QStringList{"wrapped willOpen 1 animated", "wrapped didOpen 1 animated"}));
        EXPECT_FALSE(wrapper->leavesUnanswered(Notice::DidOpenViewSide));
        EXPECT_TRUE(wrapper->leavesUnanswered(Notice::DidChangeOffset));   // which the wrapped controller leaves
        window.reset();
    }
}

// Each of the 17 messages, to a wrapped controller that implements that one alone, and the
// same to a bare one: the wrapper answers, passes on and leaves unanswered exactly as the bare
// one does, on every call, whichever answer the wrapped controller gives.
TEST_F(PanelWrap, EachMessageIsPassedOnAndAnsweredAsTheWrappedControllerWould)
{
    using Recorder = MessageRecorder<ui::ViewController>;
    using D = SidePanelControllerDelegate&;
    auto container = SidePanelController::create(ui::ViewController::create());
    auto pan = ui::PanGestureRecognizer::create();
    auto layer = ui::Layer::create();
    auto view = ui::View::create();
    auto bounced = ui::ViewController::create();
    auto& c = *container;
    const auto text = [](auto answer) { return answer ? QString::number(*answer) : QStringLiteral("none"); };
    const auto told = [](auto&& send) { return [send](D d) { send(d); return QString(); }; };
    const std::function<QString(D)> messages[] = {
        [&](D d) { return text(d.shouldPan(c, *pan)); },
        [&](D d) { return QString::number(d.applyShadow(c, *layer, ui::Rect(1, 2, 3, 4))); },
        told([&](D d) { d.didChangeOffset(c, 12.5, SidePanelOffsetOrientation::Vertical, true); }),
        told([&](D d) { d.didBounceViewSideOpeningController(c, SidePanelSide::Bottom, bounced); }),
        told([&](D d) { d.didBounceViewSideClosingController(c, SidePanelSide::Bottom, bounced); }),
        [&](D d) { return text(d.shouldOpenViewSide(c, SidePanelSide::Bottom)); },
        told([&](D d) { d.willOpenViewSide(c, SidePanelSide::Bottom, false); }),
        told([&](D d) { d.didOpenViewSide(c, SidePanelSide::Bottom, false); }),
        [&](D d) { return text(d.shouldCloseViewSide(c, SidePanelSide::Bottom, false)); },
        told([&](D d) { d.willCloseViewSide(c, SidePanelSide::Bottom, false); }),
        told([&](D d) { d.didCloseViewSide(c, SidePanelSide::Bottom, false); }),
        told([&](D d) { d.didShowCenterViewFromSide(c, SidePanelSide::Bottom, false); }),
        [&](D d) { return text(d.shouldPreviewBounceViewSide(c, SidePanelSide::Bottom)); },
        told([&](D d) { d.willPreviewBounceViewSide(c, SidePanelSide::Bottom, false); }),
        told([&](D d) { d.didPreviewBounceViewSide(c, SidePanelSide::Bottom, false); }),
        [&](D d) { return text(d.changesLedge(c, 30, SidePanelSide::Bottom)); },
        [&](D d) { return text(d.shouldBeginPanOverView(c, *view)); },
    };
    // Two rounds of every message: the answers, then which notices were left unanswered.
    const auto sendAll = [&](SidePanelControllerDelegate& receiver) {
        QStringList seen;
        for (int round = 0; round < 2; ++round) {
            for (const auto& send : messages)
                seen << send(receiver);
        }
        QString unanswered;
        for (unsigned n = 0; n < unsigned(SidePanelControllerDelegate::Notice::Count); ++n)
            unanswered += QString::number(receiver.leavesUnanswered(SidePanelControllerDelegate::Notice(n)));
        return seen << unanswered;
    };
    for (unsigned m = 0; m < unsigned(DelegateMessage::Count); ++m) {
        for (bool answer : {true, false}) {
            SCOPED_TRACE(testing::Message() << "message " << m << " answer " << answer);
            auto throughWrapper = std::make_shared<QStringList>();
            auto direct = std::make_shared<QStringList>();
            auto wrapped = Recorder::create(QStringLiteral("r"), throughWrapper, onlyMessage(DelegateMessage(m)));
            auto bare = Recorder::create(QStringLiteral("r"), direct, onlyMessage(DelegateMessage(m)));
            wrapped->answer = bare->answer = answer;
            auto wrapper = PanelWrapController::create(wrapped);
            EXPECT_EQ(sendAll(*wrapper), sendAll(*bare));
            EXPECT_EQ(*throughWrapper, *direct);
            EXPECT_EQ(direct->size(), 2);   // the message was sent, once a round
        }
    }
}

TEST_F(PanelWrap, SideWrappedViewKeepsItsSizeAgainstTheOuterEdge)
{
    // The side views are as large as the 320 × 480 container; every ledge is 44.
    struct Case { SidePanelSide side; double constrained; ui::Rect frame; };
    const double automatic = PanelSideController::kAutomaticSize;
    const Case cases[] = {{SidePanelSide::Left, automatic, {0, 0, 276, 480}}, {SidePanelSide::Right, automatic, {44, 0, 276, 480}},
                          {SidePanelSide::Top, 200, {0, 0, 320, 200}},       {SidePanelSide::Bottom, 200, {0, 280, 320, 200}},
                          {SidePanelSide::Left, 0, {0, 0, 276, 480}},        {SidePanelSide::Right, 400, {-80, 0, 400, 480}}};
    ui::Application::shared().setStatusBarHidden(true);   // the side controller's view is then the whole side
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.side) << " " << c.constrained);
        auto wrapped = ui::ViewController::create();
        auto sideController = PanelSideController::sideControllerWithViewController(wrapped, c.constrained);
        auto container = SidePanelController::create(ui::ViewController::create());
        container->setController(sideController, c.side);
        sideController->view();   // loading constrains it
        EXPECT_EQ(wrapped->view()->frame(), c.frame);
    }
}

TEST_F(PanelWrap, SideSizeChangesAnimateUnlessToldNotInAContainerOnly)
{
    ui::Application::shared().setStatusBarHidden(true);
    auto wrapped = ui::ViewController::create();
    auto sideController = PanelSideController::autoConstrainedSideControllerWithViewController(wrapped);
    auto container = SidePanelController::create(ui::ViewController::create(), sideController);
    sideController->view();
    step(0.5);
    auto layer = wrapped->view()->layer();
    ASSERT_TRUE(layer->animationKeys().isEmpty());
    sideController->setConstrainedSize(100);
    EXPECT_EQ(wrapped->view()->frame(), ui::Rect(0, 0, 100, 480));
    auto bounds = layer->animationForKey(QStringLiteral("bounds"));
    ASSERT_TRUE(bounds);
    EXPECT_EQ(bounds->duration(), 0.3);
    step(0.5);
    sideController->setConstrainedSize(120, false);
    EXPECT_EQ(wrapped->view()->frame(), ui::Rect(0, 0, 120, 480));
    EXPECT_TRUE(layer->animationKeys().isEmpty());

    // Outside a container nothing is constrained.
    wrapped = ui::ViewController::create();
    sideController = PanelSideController::create(wrapped, 100);
    sideController->view();
    const ui::Rect before = wrapped->view()->frame();
    sideController->shrinkSideAnimated(false);
    sideController->setConstrainedSize(50);
    EXPECT_EQ(wrapped->view()->frame(), before);
    EXPECT_TRUE(wrapped->view()->layer()->animationKeys().isEmpty());
    // Found from the wrapped controller; a plain wrapper is no side controller.
    EXPECT_EQ(PanelSideController::sideController(*wrapped), sideController);
    auto plainWrapped = ui::ViewController::create();
    auto plain = PanelWrapController::create(plainWrapped);
    EXPECT_EQ(PanelSideController::sideController(*plainWrapped), nullptr);
}

} // namespace

// A controller the container holds through a wrapper, or a wrapper of a wrapper, finds the
// container and presents through it; once the wrapper leaves the container it finds none.
TEST_F(PanelWrap, AWrappedControllerFindsTheContainerThroughItsWrapper)
{
    auto inner = ui::ViewController::create();
    auto deep = ui::ViewController::create();
    auto container = SidePanelController::create(ui::ViewController::create(), PanelWrapController::create(inner),
                                                  PanelWrapController::create(PanelWrapController::create(deep)));
    auto window = ui::Window::create(ui::Screen::main().bounds());
    window->setRootViewController(container);
    window->makeKeyAndVisible();
    step(0.01);
    EXPECT_EQ(SidePanelController::of(*inner), container);
    EXPECT_EQ(SidePanelController::of(*deep), container);

    auto screen = ui::ViewController::create();
    inner->presentViewController(screen, false);
    step(0.5);
    EXPECT_EQ(screen->presentingViewController(), container);
    EXPECT_EQ(SidePanelController::of(*screen), nullptr);
    screen->dismissViewController(false);
    step(0.5);

    container->setLeftController(nullptr);
    EXPECT_EQ(SidePanelController::of(*inner), nullptr);
    EXPECT_EQ(SidePanelController::of(*deep), container);
    window.reset();
}
