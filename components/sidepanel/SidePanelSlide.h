#pragma once

#include "components/sidepanel/SidePanelController.h"

// Opening and closing the sides: the slides, the bouncing variants and toggling, each with
// its checks, notices and a completion that runs exactly once.
class SidePanelSlide {
public:
    using Completion = SidePanelController::Completion;
    using Bounced = SidePanelController::Bounced;

    explicit SidePanelSlide(SidePanelController& panel);
    SidePanelSlide(const SidePanelSlide&) = delete;
    SidePanelSlide& operator=(const SidePanelSlide&) = delete;

    void hideControllerViewForSide(bool hide, SidePanelSide side);
    void postScreenChanged();
    std::optional<bool> settleOpenAtOnce(SidePanelSide side, const Completion& completion);
    std::optional<bool> settleCloseAtOnce(SidePanelSide side, bool animated, const Completion& completion);
    void finishOpen(SidePanelSide side, bool animated, const Completion& completion);
    void finishClose(SidePanelSide side, bool animated, const Completion& completion);
    bool openSideView(SidePanelSide side, bool animated, double duration, Completion completion);
    void runOpenSlide(SidePanelSide side, bool animated, double duration, unsigned options, bool success,
                      Completion completion);
    bool closeSideView(SidePanelSide side, bool animated, double duration, Completion completion);
    double bounceFactorA() const;
    double bounceFactorB() const;
    bool openSideViewBouncing(SidePanelSide side, double bounceOffset, double targetOffset, Bounced bounced,
                              Completion completion);
    void runBouncingOpen(SidePanelSide side, double bounceOffset, double targetOffset, unsigned legOneOptions,
                         Bounced bounced, Completion completion);
    bool closeSideViewBouncing(SidePanelSide side, double bounceOffset, Bounced bounced, Completion completion);
    bool toggleOpenViewAnimated(bool animated, Completion completion);
    bool closeOpenViewAnimated(bool animated, double duration, Completion completion);
    bool closeOpenViewBouncing(Bounced bounced, Completion completion);
    bool toggleSide(SidePanelSide side, bool animated, Completion completion);
    double bounceOvershoot(SidePanelSide side) const;
    bool openSideBouncing(SidePanelSide side, Bounced bounced, Completion completion);
    bool closeSideBouncing(SidePanelSide side, Bounced bounced, Completion completion);

private:
    friend class SidePanelController;

    SidePanelController& m_panel;   // raw: the container owns this and outlives it
};
