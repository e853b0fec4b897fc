#pragma once

#include "components/sidepanel/SidePanelController.h"

// Rotation: the sizes recorded before the interface turns, the sliding view and ledges
// rearranged for the new bounds afterwards, the rotation relayed to the contained
// controllers, and a rotation that happened while the container was off screen replayed
// when it comes back.
class SidePanelRotationReplay {
public:
    using ControllerPtr = SidePanelController::ControllerPtr;

    explicit SidePanelRotationReplay(SidePanelController& panel);
    SidePanelRotationReplay(const SidePanelRotationReplay&) = delete;
    SidePanelRotationReplay& operator=(const SidePanelRotationReplay&) = delete;

    // Whether a rotation was asked about while the container was off screen, to be replayed
    // when it appears.
    bool isReplayPending() const { return m_willAppearShouldArrangeViewsAfterRotation != ui::InterfaceOrientation::Unknown; }
    void replayRotation();
    void relayRotationMethod(const std::function<void(const ControllerPtr&)>& method);
    void recordPreRotationSizes();
    bool shouldAutorotate();
    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation orientation);
    unsigned supportedInterfaceOrientations();
    ui::InterfaceOrientation preferredInterfaceOrientationForPresentation();
    void willRotateToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration);
    void willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration);
    void didRotateFromInterfaceOrientation(ui::InterfaceOrientation from);
    void arrangeViewsAfterRotation();

private:
    friend class SidePanelController;

    SidePanelController& m_panel;   // raw: the container owns this and outlives it
    ui::Size m_preRotationSize;
    ui::Size m_preRotationCenterSize;
    bool m_preRotationIsLandscape = false;
    ui::InterfaceOrientation m_willAppearShouldArrangeViewsAfterRotation = ui::InterfaceOrientation::Unknown;
};
