#pragma once

#include "components/sidepanel/SidePanelController.h"

// Containment: adopting and letting go of the centre and side controllers, their views, and
// what the container observes of them (the centre's title and tab bar item, transitions).
class SidePanelContainment {
public:
    using ControllerPtr = SidePanelController::ControllerPtr;

    // The last steps of letting a contained controller go: the back reference first, then the
    // platform's removal, so that the controller already reads no container when it hears it moved.
    static void letGo(ui::ViewController& controller);

    explicit SidePanelContainment(SidePanelController& panel);
    SidePanelContainment(const SidePanelContainment&) = delete;
    SidePanelContainment& operator=(const SidePanelContainment&) = delete;

    // The container's teardown: every contained controller hears that it has left.
    void releaseAll();
    std::shared_ptr<ui::View> slidingControllerView() const;
    bool setSlidingAndReferenceViews();
    void setCenterController(ControllerPtr controller);
    void releaseCenter(const ControllerPtr& old, const ControllerPtr& successor);
    void adoptCenter(const ControllerPtr& controller, const ui::Rect& carried);
    void detachCenter(const ControllerPtr& old);
    void attachCenter(const ControllerPtr& controller, const ui::Rect& frame);
    QString title() const;
    void setTitle(const QString& title);
    void centerTitleChanged();
    void setAutomaticallyUpdateTabBarItems(bool automatically);
    void observeCenterTabBar();
    void stopObservingCenterTabBar(const ControllerPtr& center);
    void copyCenterTabBarItem();
    void copyCenterTabBarTitle();
    void copyCenterTabBarImage();
    void centerHidesBottomBarChanged();
    void setController(ControllerPtr controller, SidePanelSide side);
    void releaseFromOtherSlots(const ControllerPtr& controller, SidePanelSide keep);
    void vacateSideSlot(SidePanelSide side);
    void adoptSideController(const ControllerPtr& controller, SidePanelSide side, const ui::Rect& frame,
                             bool attachView);
    void detachSideView(SidePanelSide side);
    void attachSideView(const ControllerPtr& controller, SidePanelSide side, const ui::Rect& frame);
    void enqueueFinishTransitionBlock(std::function<void()> block, const ControllerPtr& controller);
    void observeTransitionKeys();
    void stopObservingTransitionKeys();
    void finishTransitionBlocks();

    void applyViews();
    void observeViewBounds();
    void stopObservingViewBounds();
    void viewBoundsMayHaveChanged();
private:
    friend class SidePanelController;

    SidePanelController& m_panel;   // raw: the container owns this and outlives it
};
