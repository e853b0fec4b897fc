#pragma once

#include "components/sidepanel/SidePanelController.h"

// The container's own view life cycle: its root and centre views, the first appearance that
// puts the controllers' views in place, and each appearance step passed on to the centre and
// the sides.
class SidePanelLifecycle {
public:
    explicit SidePanelLifecycle(SidePanelController& panel);
    SidePanelLifecycle(const SidePanelLifecycle&) = delete;
    SidePanelLifecycle& operator=(const SidePanelLifecycle&) = delete;

    void loadView();
    void viewDidLoad();
    void viewWillAppear(bool animated);
    void viewDidAppear(bool animated);
    void viewWillDisappear(bool animated);
    void viewDidDisappear(bool animated);

private:
    friend class SidePanelController;

    SidePanelController& m_panel;   // raw: the container owns this and outlives it
};
