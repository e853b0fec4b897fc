#include "components/sidepanel/PanelWrapController.h"

#include "components/sidepanel/SidePanelController.h"
#include "components/sidepanel/SidePanelItem.h"
#include "components/sidepanel/WrapControllerItem.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"
#include "support/ContainmentRecorder.h"
#include "support/RecordingController.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

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

class PanelWrap : public ::testing::Test {
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
        wrapped->view()->setAutoresizingMask(ui::Autoresizing::FlexibleBottomMargin);
        auto wrapper = c.statusBar ? std::shared_ptr<PanelWrapController>(StatusBarWrapper::create(wrapped))
                                   : PanelWrapController::create(wrapped);
        EXPECT_EQ(wrapper->view()->frame(), c.wrapper);
        EXPECT_EQ(wrapper->view()->autoresizingMask(), unsigned(ui::Autoresizing::FlexibleBottomMargin));
        EXPECT_EQ(wrapped->view()->frame(), ui::Rect(ui::Point(), c.wrapper.size));
        EXPECT_EQ(wrapped->view()->autoresizingMask(), 18u);
        EXPECT_EQ(wrapped->view()->superview(), wrapper->view());
        EXPECT_EQ(wrapped->parentViewController(), wrapper);
    }
}

TEST_F(PanelWrap, LoadingTellsTheWrappedControllerThenRunsTheHook)
{
    auto wrapped = ContainmentRecorder::create(QStringLiteral("wrapped"), journal);
    auto wrapper = PanelWrapController::create(wrapped);
    wrapper->onViewDidLoad = [this](PanelWrapController&) { journal->append(QStringLiteral("hook didLoad")); };
    wrapper->view();
    EXPECT_EQ(*journal, (QStringList{QStringLiteral("wrapped viewDidLoad"), QStringLiteral("wrapped didMove to parent child unlinked"),
                                     QStringLiteral("hook didLoad")}));
}

TEST_F(PanelWrap, AppearanceGoesToTheHookThenToTheWrappedController)
{
    auto wrapped = RecordingController::create(QStringLiteral("wrapped"), journal);
    auto wrapper = PanelWrapController::create(wrapped);
    wrapper->viewWillAppear(true);   // no hooks: the wrapped controller only
    EXPECT_EQ(*journal, QStringList{QStringLiteral("wrapped willAppear")});
    journal->clear();

    PanelWrapController* seenWrapper = nullptr;
    auto hook = [&](const QString& event) {
        return [&, event](PanelWrapController& w, bool animated) {
            seenWrapper = &w;
            journal->append(QStringLiteral("hook %1 %2").arg(event, animated ? QStringLiteral("animated") : QStringLiteral("instant")));
        };
    };
    wrapper->onViewWillAppear = hook(QStringLiteral("willAppear"));
    wrapper->onViewDidAppear = hook(QStringLiteral("didAppear"));
    wrapper->onViewWillDisappear = hook(QStringLiteral("willDisappear"));
    wrapper->onViewDidDisappear = hook(QStringLiteral("didDisappear"));
    wrapper->viewWillAppear(true);
    wrapper->viewDidAppear(false);
    wrapper->viewWillDisappear(true);
    wrapper->viewDidDisappear(false);
    EXPECT_EQ(seenWrapper, wrapper.get());
    EXPECT_EQ(*journal, (QStringList{
                            QStringLiteral("hook willAppear animated"), QStringLiteral("wrapped willAppear"),
                            QStringLiteral("hook didAppear instant"), QStringLiteral("wrapped didAppear"),
                            QStringLiteral("hook willDisappear animated"), QStringLiteral("wrapped willDisappear"),
                            QStringLiteral("hook didDisappear instant"), QStringLiteral("wrapped didDisappear"),
                        }));
    EXPECT_FALSE(wrapper->shouldAutomaticallyForwardAppearanceMethods());
}

TEST_F(PanelWrap, WrappedControllerAnswersForTheWrapper)
{
    auto wrapped = RecordingController::create(QStringLiteral("wrapped"), journal);
    auto wrapper = PanelWrapController::create(wrapped);
    EXPECT_EQ(wrapper->wrappedController(), wrapped);
    EXPECT_EQ(WrapControllerItem::wrapController(*wrapped), wrapper);
    // What only the wrapped controller implements is answered by it.
    EXPECT_EQ(wrapper->forwardingTarget<SidePanelControllerDelegate>(), wrapped);
    EXPECT_EQ(wrapper->forwardingTarget<ui::ViewController>(), wrapper);
    EXPECT_EQ(wrapper->forwardingTarget<SidePanelController>(), nullptr);

    wrapper->setHidesBottomBarWhenPushed(true);
    EXPECT_TRUE(wrapped->hidesBottomBarWhenPushed());
    EXPECT_EQ(wrapper->tabBarItem(), wrapped->tabBarItem());
    EXPECT_EQ(wrapped->supportedInterfaceOrientations(), wrapper->supportedInterfaceOrientations());

    // A wrapped controller's navigation lookups are its wrapper's.
    EXPECT_EQ(wrapped->navigationItem(), wrapper->navigationItemDirect());
}

TEST_F(PanelWrap, NullWrappedControllerAnswersNo)
{
    auto wrapper = PanelWrapController::create(nullptr);
    EXPECT_FALSE(wrapper->shouldAutorotate());
    EXPECT_EQ(wrapper->supportedInterfaceOrientations(), 0u);
    EXPECT_FALSE(wrapper->hidesBottomBarWhenPushed());
    wrapper->viewWillAppear(false);
    EXPECT_NE(wrapper->view(), nullptr);
}

TEST_F(PanelWrap, ContainerIsFoundThroughTheWrapper)
{
    auto wrapped = ui::ViewController::create();
    auto wrapper = PanelWrapController::create(wrapped);
    auto container = SidePanelController::create(ui::ViewController::create(), wrapper);
    EXPECT_EQ(SidePanelItem::sidePanelController(*wrapped), container);
    EXPECT_EQ(SidePanelItem::sidePanelControllerCore(*wrapped), nullptr);
}

TEST_F(PanelWrap, ReleasingTheWrapperLetsTheWrappedControllerGo)
{
    auto wrapped = ContainmentRecorder::create(QStringLiteral("wrapped"), journal);
    auto wrapper = PanelWrapController::create(wrapped);
    wrapper->view();
    journal->clear();
    wrapper.reset();
    EXPECT_EQ(WrapControllerItem::wrapController(*wrapped), nullptr);
    EXPECT_EQ(wrapped->parentViewController(), nullptr);
    EXPECT_EQ(*journal, (QStringList{QStringLiteral("wrapped willMove to none"),
                                     QStringLiteral("wrapped didMove to none orphan unlinked")}));
}

TEST_F(PanelWrap, MemoryWarningsGoToTheWrappedController)
{
    auto wrapped = ContainmentRecorder::create(QStringLiteral("wrapped"), journal);
    auto wrapper = PanelWrapController::create(wrapped);
    wrapper->didReceiveMemoryWarning();
    EXPECT_EQ(*journal, QStringList{QStringLiteral("wrapped memoryWarning")});
}

} // namespace
