#pragma once

#include "components/sidepanel/SidePanelController.h"
#include "components/sidepanel/SidePanelControllerDelegate.h"

// What the container tells and asks: the side controllers' appearance callbacks, the
// delegate's will/did notices and its should-questions, walked over the delegate and (by the
// delegate mode) the contained controllers that are delegates themselves.
class SidePanelNotices {
public:
    using ControllerPtr = SidePanelController::ControllerPtr;
    using Receiver = std::function<void(SidePanelControllerDelegate&)>;
    using Notice = SidePanelControllerDelegate::Notice;

    explicit SidePanelNotices(SidePanelController& panel);
    SidePanelNotices(const SidePanelNotices&) = delete;
    SidePanelNotices& operator=(const SidePanelNotices&) = delete;

    SidePanelAppearance sideAppearance(SidePanelSide side) const;
    void notifyAppearanceForSide(SidePanelSide side, bool animated, SidePanelAppearance from, SidePanelAppearance to);
    void transitionAppearanceFrom(SidePanelAppearance from, SidePanelAppearance to, bool animated);
    void notifyWillOpenSide(SidePanelSide side, bool animated);
    void notifyDidOpenSide(SidePanelSide side, bool animated);
    void notifyWillCloseSide(SidePanelSide side, bool animated);
    void notifyDidCloseSide(SidePanelSide side, bool animated);
    void notifyDidChangeOffset(double offset, SidePanelOffsetOrientation orientation, bool panning);
    bool checkCanOpenSide(SidePanelSide side);
    bool checkCanCloseSide(SidePanelSide side, bool animated);
    void walkDelegates(const std::function<bool(SidePanelControllerDelegate&)>& deliver);
    bool checkDelegate(const std::function<std::optional<bool>(SidePanelControllerDelegate&)>& ask);
    // Tells every receiver that implements the notice (`tell` sends it).
    void performDelegate(Notice notice, const Receiver& tell);
    double performDelegateLedge(double proposed, SidePanelSide side);

private:
    friend class SidePanelController;

    SidePanelController& m_panel;   // raw: the container owns this and outlives it
};
