#pragma once

#include "components/sidepanel/SidePanelController.h"

// Where the sliding view stands and how far each side opens, on the container's live state:
// the reference, centre and side bounds, the sliding frame for an offset and the move to it,
// whether a side stands open or closed, the sides' ledges and sizes and the resize of a side
// that stands open. The arithmetic on plain numbers is SidePanelGeometry's.
class SidePanelLayout {
public:
    using SizeCompletion = SidePanelController::SizeCompletion;

    explicit SidePanelLayout(SidePanelController& panel);
    SidePanelLayout(const SidePanelLayout&) = delete;
    SidePanelLayout& operator=(const SidePanelLayout&) = delete;

    ui::Rect slidingFrame() const;
    bool isSideClosed(SidePanelSide side) const;
    bool isSideOpen(SidePanelSide side) const;

    ui::Rect referenceBounds() const;
    ui::Rect centerViewBounds() const;
    ui::Rect sideViewBounds() const;
    double limitOffset(double offset, SidePanelOffsetOrientation orientation) const;
    ui::Rect slidingRectForOffset(double offset, SidePanelOffsetOrientation orientation) const;
    ui::Size slidingSizeForOffset(double offset, SidePanelOffsetOrientation orientation) const;
    void setSlidingFrameForOffset(double offset, bool limit, bool panning, SidePanelOffsetOrientation orientation);
    void hideAppropriateSideViews();

    double sizeAsLedge(double size, SidePanelSide side) const;
    double ledgeAsSize(double ledge, SidePanelSizeMode mode, SidePanelSide side) const;
    double ledgeOffsetForSide(SidePanelSide side) const;
    void setLedgeValue(double ledge, SidePanelSide side);
    void setSize(double size, SidePanelSide side, SizeCompletion completion);
    void setMaxSize(double size, SizeCompletion completion);

private:
    bool standsFullyOpenAtLedge(SidePanelSide side) const;

    SidePanelController& m_panel;   // raw: the container owns this and outlives it
};
