#pragma once

#include "components/sidepanel/SidePanelController.h"

// The container's panning: the pan recognisers it puts on the sliding view (or wherever the
// panning mode says), what a finger may start, and how a drag moves the sliding view and
// settles when it lets go. The container stays the recognisers' target and delegate and
// hands both on to this.
//
// The recognisers are never replaced under a moving finger: a rebuild asked for during a pan
// waits for the end of the pan event that finds no pan active.
class SidePanelPanTracker {
public:
    using Completion = SidePanelController::Completion;

    explicit SidePanelPanTracker(SidePanelController& panel);
    SidePanelPanTracker(const SidePanelPanTracker&) = delete;
    SidePanelPanTracker& operator=(const SidePanelPanTracker&) = delete;

    void setNeedsAddPanners();
    bool hasActivePanner() const;
    void addPannersIfAllPannersAreInactiveAndNeeded();
    void addPanners();
    void removePanners();
    void addPanner(const std::shared_ptr<ui::View>& view);
    std::optional<bool> shouldReceiveTouch(ui::GestureRecognizer& recognizer, const ui::Touch& touch);
    std::optional<bool> gestureRecognizerShouldBegin(ui::GestureRecognizer& recognizer);
    std::optional<bool> shouldRecognizeSimultaneouslyWithGestureRecognizer(ui::GestureRecognizer& recognizer,
                                                                           ui::GestureRecognizer& other);
    SidePanelOffsetOrientation orientationOfVelocity(ui::PanGestureRecognizer& pan) const;
    double locationOfPanner(ui::PanGestureRecognizer& pan, SidePanelOffsetOrientation orientation) const;
    void panned(ui::GestureRecognizer& recognizer);
    void panned(ui::PanGestureRecognizer& pan, SidePanelOffsetOrientation orientation);
    bool crossClosedPosition(SidePanelSide leaving, SidePanelSide entering, bool wasShowing, bool willShow,
                             SidePanelSide& closed, SidePanelSide& opened);
    void settlePan(ui::PanGestureRecognizer& pan, SidePanelOffsetOrientation orientation, double location);
    void setParallax();

private:
    friend class SidePanelController;

    SidePanelController& m_panel;   // raw: the container owns this and outlives it
    ui::Point m_panOrigin;
    bool m_needsAddPannersIfAllPannersAreInactive = false;
    std::vector<std::shared_ptr<ui::GestureRecognizer>> m_panners;
};
