#pragma once

#include "components/sidepanel/SidePanelControllerDelegate.h"
#include "platform/ui/ViewController.h"

#include <functional>
#include <memory>
#include <vector>

namespace ui {
class TabBarItem;
}

// Holds exactly one other controller and shows its view inside a view of its own, below the
// status bar. Appearance and rotation reach the wrapped controller only through the wrapper,
// which runs the client's hooks between its own callback and the wrapped controller's.
//
// Standing in for the wrapped controller, the wrapper shows its tab-bar item and bar flag
// (their changes reach the wrapper's observers too) and passes on what the container asks
// of its controllers: it answers a question or hears a notice exactly when the wrapped
// controller does.
class PanelWrapController : public ui::ViewController, public SidePanelControllerDelegate {
public:
    using Hook = std::function<void(PanelWrapController&)>;
    using AppearanceHook = std::function<void(PanelWrapController&, bool animated)>;

    // The wrapper becomes the controller's wrapController at once. A null controller makes
    // every forwarded call do nothing and every forwarded answer no.
    static std::shared_ptr<PanelWrapController> create(std::shared_ptr<ui::ViewController> controller);
    ~PanelWrapController() override;

    std::shared_ptr<ui::ViewController> wrappedController() const { return m_wrappedController; }

    // The wrapper itself when it is an Interface, else the wrapped controller when that is
    // one, else null: what a caller asking the wrapper for an interface should talk to.
    template<class Interface>
    std::shared_ptr<Interface> forwardingTarget()
    {
        if (auto own = std::dynamic_pointer_cast<Interface>(shared_from_this()))
            return own;
        return std::dynamic_pointer_cast<Interface>(m_wrappedController);
    }

    // The status bar's thickness in the current orientation (0 while it is hidden).
    virtual double statusBarHeight() const;

    // Read and written on the wrapped controller.
    std::shared_ptr<ui::TabBarItem> tabBarItem() override;
    void setTabBarItem(const std::shared_ptr<ui::TabBarItem>& item) override;
    bool hidesBottomBarWhenPushed() const override;
    void setHidesBottomBarWhenPushed(bool hides) override;

    Hook onViewDidLoad;
    AppearanceHook onViewWillAppear;
    AppearanceHook onViewDidAppear;
    AppearanceHook onViewWillDisappear;
    AppearanceHook onViewDidDisappear;

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    bool shouldAutorotate() override;
    unsigned supportedInterfaceOrientations() override;
    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation orientation) override;
    bool shouldAutomaticallyForwardAppearanceMethods() const override { return false; }
    bool shouldAutomaticallyForwardRotationMethods() const override { return false; }
    void willRotateToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration) override;
    void willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration) override;
    void didRotateFromInterfaceOrientation(ui::InterfaceOrientation from) override;
    void didReceiveMemoryWarning() override;
    std::vector<std::shared_ptr<ui::ViewController>> memoryWarningRelays() const override;
    // The wrapped view leaves the unloaded view; the two halves of a rotation reach the
    // wrapped controller as the other rotation calls do.
    void viewDidUnload() override;
    void willAnimateFirstHalfOfRotationToInterfaceOrientation(ui::InterfaceOrientation to, double duration) override;
    void willAnimateSecondHalfOfRotationFromInterfaceOrientation(ui::InterfaceOrientation from, double duration) override;

    // The container's messages, passed to the wrapped controller when it is a delegate.
    std::optional<bool> shouldPan(SidePanelController& container, ui::PanGestureRecognizer& pan) override;
    bool applyShadow(SidePanelController& container, ui::Layer& shadowLayer, const ui::Rect& bounds) override;
    void didChangeOffset(SidePanelController& container, double offset, SidePanelOffsetOrientation orientation,
                         bool panning) override;
    void didBounceViewSideOpeningController(SidePanelController& container, SidePanelSide side,
                                            const std::shared_ptr<ui::ViewController>& controller) override;
    void didBounceViewSideClosingController(SidePanelController& container, SidePanelSide side,
                                            const std::shared_ptr<ui::ViewController>& controller) override;
    std::optional<bool> shouldOpenViewSide(SidePanelController& container, SidePanelSide side) override;
    void willOpenViewSide(SidePanelController& container, SidePanelSide side, bool animated) override;
    void didOpenViewSide(SidePanelController& container, SidePanelSide side, bool animated) override;
    std::optional<bool> shouldCloseViewSide(SidePanelController& container, SidePanelSide side, bool animated) override;
    void willCloseViewSide(SidePanelController& container, SidePanelSide side, bool animated) override;
    void didCloseViewSide(SidePanelController& container, SidePanelSide side, bool animated) override;
    void didShowCenterViewFromSide(SidePanelController& container, SidePanelSide side, bool animated) override;
    std::optional<bool> shouldPreviewBounceViewSide(SidePanelController& container, SidePanelSide side) override;
    void willPreviewBounceViewSide(SidePanelController& container, SidePanelSide side, bool animated) override;
    void didPreviewBounceViewSide(SidePanelController& container, SidePanelSide side, bool animated) override;
    std::optional<double> changesLedge(SidePanelController& container, double ledge, SidePanelSide side) override;
    std::optional<bool> shouldBeginPanOverView(SidePanelController& container, ui::View& view) override;

protected:
    explicit PanelWrapController(std::shared_ptr<ui::ViewController> controller);
    // Ties the pair once the wrapper is owned (subclass factories call it too).
    static void wrap(const std::shared_ptr<PanelWrapController>& wrapper);

    void loadView() override;
    void viewDidLoad() override;

private:
    void relayAppearance(const AppearanceHook& hook, void (ui::ViewController::*step)(bool), bool animated);
    // The wrapped controller's tab-bar changes, told to the wrapper's own observers.
    void observeWrappedTabBar();
    std::shared_ptr<SidePanelControllerDelegate> wrappedDelegate() const;
    // Sends the notice to the wrapped controller unless it leaves it unanswered; then the
    // wrapper leaves it unanswered as well.
    void relayNotice(Notice notice, const std::function<void(SidePanelControllerDelegate&)>& tell);

    std::shared_ptr<ui::ViewController> m_wrappedController;
    std::vector<ui::ViewController::ObserverId> m_wrappedTabBarObservers;
};
