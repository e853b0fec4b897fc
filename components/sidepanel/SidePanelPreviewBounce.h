#pragma once

#include "components/sidepanel/SidePanelController.h"

// The preview bounce: a damped swing of the centre towards a closed side and back, in which
// only what is drawn moves.
class SidePanelPreviewBounce {
public:
    using Completion = SidePanelController::Completion;

    explicit SidePanelPreviewBounce(SidePanelController& panel);
    SidePanelPreviewBounce(const SidePanelPreviewBounce&) = delete;
    SidePanelPreviewBounce& operator=(const SidePanelPreviewBounce&) = delete;

    bool previewBounceView(SidePanelSide side, double distance, double duration, double numberOfBounces,
                           double dampingFactor, bool callDelegate, Completion completion);
    // The key of the swing's animation on the sliding view's layer.
    static QString animationKey();

    std::optional<std::vector<float>> bouncingValuesForViewSide(SidePanelSide side, double maximumBounce,
                                                                double numberOfBounces, double dampingFactor,
                                                                double duration) const;

private:
    friend class SidePanelController;

    SidePanelController& m_panel;   // raw: the container owns this and outlives it
};
