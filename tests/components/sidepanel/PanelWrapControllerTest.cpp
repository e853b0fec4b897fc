#include "components/sidepanel/PanelWrapController.h"

#include "components/sidepanel/SidePanelController.h"
#include "components/sidepanel/SidePanelItem.h"
#include "components/sidepanel/WrapControllerItem.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"
#include "support/ContainmentRecorder.h"
#include "support/RecordingController.h"
#include "tests/support/UiFixture.h"

#include <functional>

namespace {

using O = ui::InterfaceOrientation;

// A wrapper on a platform that draws a status bar 20 points high.
class StatusBarWrapper : public PanelWrapController {
public:
    static std::shared_ptr<StatusBarWrapper> create(std::shared_ptr<ui::ViewController> controller)
    {
        auto wrapper = std::shared_ptr<StatusBarWrapper>(new StatusBarWrapper(std::move(controller)));
        wrap(wrapper);
        return wrapper;
    }
    double statusBarHeight() const override { return 20; }

protected:
    using PanelWrapController::PanelWrapController;
};

// Also writes down the rotation calls it gets, and refuses to turn.
class RotationRecorder : public ContainmentRecorder {
public:
    static std::shared_ptr<RotationRecorder> create(std::shared_ptr<QStringList> journal)
    {
        return std::shared_ptr<RotationRecorder>(new RotationRecorder(QStringLiteral("wrapped"), std::move(journal)));
    }
    bool shouldAutorotate() override { return false; }
    unsigned supportedInterfaceOrientations() override { return 2; }
    void willRotateToInterfaceOrientation(O to, double d) override { note(QStringLiteral("willRotate %1 %2").arg(int(to)).arg(d)); }
    void willAnimateRotationToInterfaceOrientation(O to, double d) override { note(QStringLiteral("willAnimate %1 %2").arg(int(to)).arg(d)); }
    void didRotateFromInterfaceOrientation(O from) override { note(QStringLiteral("didRotate %1").arg(int(from))); }

protected:
    using ContainmentRecorder::ContainmentRecorder;
};

class PanelWrap : public UiFixture {
protected:
    std::shared_ptr<QStringList> journal = std::make_shared<QStringList>();
};

TEST_F(PanelWrap, WrapperViewSitsBelowTheStatusBarAroundTheWrappedView)
{
    struct Case { bool statusBar; ui::Rect wrapper; };
    for (const Case& c : {Case{false, ui::Rect(0, 0, 320, 480)}, Case{true, ui::Rect(0, 20, 320, 460)}}) {
        SCOPED_TRACE(c.statusBar);
        auto wrapped = ui::ViewController::create();
        wrapped->view()->setFrame(ui::Rect(0, 0, 320, 480));
        auto wrapper = c.statusBar ? std::shared_ptr<PanelWrapController>(StatusBarWrapper::create(wrapped))
                                   : PanelWrapController::create(wrapped);
        EXPECT_EQ(wrapper->view()->frame(), c.wrapper);
        EXPECT_EQ(wrapped->view()->frame(), ui::Rect(ui::Point(), c.wrapper.size));
        EXPECT_EQ(wrapped->view()->superview(), wrapper->view());
        EXPECT_EQ(wrapped->parentViewController(), wrapper);
    }
}

// Every call a wrapper gets by hand reaches the wrapped controller with its arguments, after
// the client's hook where there is one.
TEST_F(PanelWrap, ForwardsAppearanceRotationAndMemoryWarnings)
{
    using Call = std::function<void(PanelWrapController&)>;
    struct Case { Call call; QStringList heard; };
    const Case cases[] = {
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
    auto wrapped = RotationRecorder::create(journal);
    auto wrapper = PanelWrapController::create(wrapped);
    const auto hook = [this](const char* event) {
        return [this, event](PanelWrapController&, bool animated) { journal->append(QStringLiteral("hook %1 %2").arg(event).arg(int(animated))); };
    };
    wrapper->onViewDidLoad = [this](PanelWrapController&) { journal->append(QStringLiteral("hook didLoad")); };
    wrapper->onViewWillAppear = hook("willAppear");
    wrapper->onViewDidAppear = hook("didAppear");
    wrapper->onViewWillDisappear = hook("willDisappear");
    wrapper->onViewDidDisappear = hook("didDisappear");
    for (const Case& c : cases) {
        journal->clear();
        c.call(*wrapper);
        EXPECT_EQ(*journal, c.heard);
    }
    EXPECT_FALSE(wrapper->shouldAutomaticallyForwardAppearanceMethods());
    EXPECT_FALSE(wrapper->shouldAutorotate());
    EXPECT_EQ(wrapper->supportedInterfaceOrientations(), 2u);
}

TEST_F(PanelWrap, WrappedControllerAnswersForTheWrapper)
{
    auto wrapped = RecordingController::create(QStringLiteral("wrapped"), journal);
    auto wrapper = PanelWrapController::create(wrapped);
    EXPECT_EQ(WrapControllerItem::wrapController(*wrapped), wrapper);
    // What only the wrapped controller implements is answered by it.
    EXPECT_EQ(wrapper->forwardingTarget<SidePanelControllerDelegate>(), wrapped);
    EXPECT_EQ(wrapper->forwardingTarget<ui::ViewController>(), wrapper);
    EXPECT_EQ(wrapper->forwardingTarget<SidePanelController>(), nullptr);
    wrapper->setHidesBottomBarWhenPushed(true);
    EXPECT_TRUE(wrapped->hidesBottomBarWhenPushed());
    EXPECT_EQ(wrapper->tabBarItem(), wrapped->tabBarItem());
    EXPECT_EQ(wrapped->navigationItem(), wrapper->navigationItemDirect());

    auto empty = PanelWrapController::create(nullptr);
    EXPECT_FALSE(empty->shouldAutorotate());
    EXPECT_EQ(empty->supportedInterfaceOrientations(), 0u);
}

TEST_F(PanelWrap, ReleasingTheWrapperLetsTheWrappedControllerGo)
{
    auto wrapped = ContainmentRecorder::create(QStringLiteral("wrapped"), journal);
    auto wrapper = PanelWrapController::create(wrapped);
    wrapper->view();
    journal->clear();
    wrapper.reset();
    EXPECT_EQ(WrapControllerItem::wrapController(*wrapped), nullptr);
    EXPECT_EQ(*journal, (QStringList{QStringLiteral("wrapped willMove to none"),
                                     QStringLiteral("wrapped didMove to none orphan unlinked")}));
}

} // namespace
