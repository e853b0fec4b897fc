#pragma once

#include "components/sidepanel/SidePanelController.h"

// The centre while a side is open: the transparent button laid over it that takes the taps
// (closing the open side when the interactivity asks for it) and carries its accessibility,
// and the count that keeps the container's input off during a slide.
class SidePanelCenterTapper {
public:
    explicit SidePanelCenterTapper(SidePanelController& panel);
    SidePanelCenterTapper(const SidePanelCenterTapper&) = delete;
    SidePanelCenterTapper& operator=(const SidePanelCenterTapper&) = delete;

    void centerViewHidden();
    std::shared_ptr<ui::Button> makeCenterTapper();
    void centerViewVisible();
    void centerTapped();
    void disableUserInteraction();
    void enableUserInteraction();
    void setAccessibilityForCenterTapper();
    void setCenterTapperAccessibilityLabel(const QString& label);
    void setCenterTapperAccessibilityHint(const QString& hint);

private:
    friend class SidePanelController;

    SidePanelController& m_panel;   // raw: the container owns this and outlives it
};
