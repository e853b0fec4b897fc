#include "components/sidepanel/SidePanelLayout.h"

#include "components/sidepanel/SidePanelDecoration.h"
#include "components/sidepanel/SidePanelGeometry.h"
#include "components/sidepanel/SidePanelNavigation.h"
#include "components/sidepanel/SidePanelNotices.h"
#include "components/sidepanel/SidePanelPanTracker.h"
#include "platform/core/Log.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

#include <algorithm>

namespace {

using G = SidePanelGeometry;

} // namespace

SidePanelLayout::SidePanelLayout(SidePanelController& panel)
    : m_panel(panel)
{
}

// --- Side state ------------------------------------------------------------------------------

ui::Rect SidePanelLayout::slidingFrame() const
{
    auto sliding = m_panel.slidingControllerView();
    return sliding ? sliding->frame() : ui::Rect();
}

bool SidePanelLayout::isSideClosed(SidePanelSide side) const
{
    if (!m_panel.hasController(side))
        return true;
    return G::isSideClosed(side, slidingFrame(), referenceBounds().size);
}

bool SidePanelLayout::isSideOpen(SidePanelSide side) const
{
    if (!m_panel.hasController(side))
        return false;
    return G::isSideOpen(side, slidingFrame(), referenceBounds().size, m_panel.ledge(side));
}

// --- Bounds and the sliding frame ------------------------------------------------------------

ui::Rect SidePanelLayout::referenceBounds() const
{
    auto reference = m_panel.referenceView();
    return reference ? reference->bounds() : ui::Screen::main().bounds();
}

ui::Rect SidePanelLayout::centerViewBounds() const
{
    ui::Rect bounds = referenceBounds();
    if (m_panel.m_navigationControllerBehavior != SidePanelNavigationControllerBehavior::Integrated)
        return bounds;
    auto bar = SidePanelNavigation::shownBar(m_panel.navigationController());
    bounds.size.height -= m_panel.relativeStatusBarHeight() + (bar ? bar->frame().height() : 0);
    return bounds;
}

ui::Rect SidePanelLayout::sideViewBounds() const
{
    ui::Rect bounds = referenceBounds();
    if (m_panel.m_navigationControllerBehavior != SidePanelNavigationControllerBehavior::Integrated)
        return bounds;
    const double statusBar = m_panel.relativeStatusBarHeight();
    bounds.origin.y += statusBar;
    bounds.size.height -= statusBar;
    return bounds;
}

double SidePanelLayout::limitOffset(double offset, SidePanelOffsetOrientation orientation) const
{
    const bool horizontal = orientation == SidePanelOffsetOrientation::Horizontal;
    const bool first = m_panel.hasController(horizontal ? SidePanelSide::Left : SidePanelSide::Top);
    const bool second = m_panel.hasController(horizontal ? SidePanelSide::Right : SidePanelSide::Bottom);
    return G::limitOffset(offset, orientation, referenceBounds().size, m_panel.m_maxLedge, first, second);
}

ui::Rect SidePanelLayout::slidingRectForOffset(double offset, SidePanelOffsetOrientation orientation) const
{
    return G::slidingRect(limitOffset(offset, orientation), orientation, m_panel.m_resizesCenterView,
                          referenceBounds().size, centerViewBounds());
}

ui::Size SidePanelLayout::slidingSizeForOffset(double offset, SidePanelOffsetOrientation orientation) const
{
    return G::slidingSize(limitOffset(offset, orientation), orientation, m_panel.m_resizesCenterView,
                          referenceBounds().size, centerViewBounds());
}

void SidePanelLayout::setSlidingFrameForOffset(double offset, bool limit, bool panning,
                                               SidePanelOffsetOrientation orientation)
{
    const double previous = m_panel.m_offset;
    m_panel.m_offset = limit ? limitOffset(offset, orientation) : offset;
    m_panel.m_offsetOrientation = orientation;
    auto sliding = m_panel.slidingControllerView();
    if (sliding)
        sliding->setFrame(slidingRectForOffset(m_panel.m_offset, orientation));
    m_panel.m_decoration->followSlidingViewWithShadow(sliding.get());
    m_panel.m_panTracker->setParallax();
    if (m_panel.m_offset != previous)
        m_panel.notifyDidChangeOffset(m_panel.m_offset, orientation, panning);
}

void SidePanelLayout::hideAppropriateSideViews()
{
    const ui::Rect frame = slidingFrame();
    const ui::Size reference = referenceBounds().size;
    m_panel.hideControllerViewForSide(frame.minX() <= 0, SidePanelSide::Left);
    m_panel.hideControllerViewForSide(frame.maxX() >= reference.width, SidePanelSide::Right);
    m_panel.hideControllerViewForSide(frame.minY() <= 0, SidePanelSide::Top);
    m_panel.hideControllerViewForSide(frame.maxY() >= reference.height, SidePanelSide::Bottom);
}

// --- Sizes and ledges ------------------------------------------------------------------------

double SidePanelLayout::sizeAsLedge(double size, SidePanelSide side) const
{
    return G::sizeAsLedge(size, side, m_panel.m_sizeMode, referenceBounds().size);
}

double SidePanelLayout::ledgeAsSize(double ledge, SidePanelSizeMode mode, SidePanelSide side) const
{
    return G::ledgeAsSize(ledge, side, mode, referenceBounds().size);
}

double SidePanelLayout::ledgeOffsetForSide(SidePanelSide side) const
{
    return G::ledgeOffset(side, m_panel.ledge(side), referenceBounds().size);
}

void SidePanelLayout::setLedgeValue(double ledge, SidePanelSide side)
{
    if (!G::isSide(side))
        return;
    if (m_panel.m_maxLedge > 0)
        ledge = std::min(ledge, m_panel.m_maxLedge);
    m_panel.m_ledge[G::slot(side)] = m_panel.m_notices->performDelegateLedge(ledge, side);
}

bool SidePanelLayout::standsFullyOpenAtLedge(SidePanelSide side) const
{
    const ui::Rect frame = slidingFrame();
    const double along = G::isHorizontal(side) ? frame.minX() : frame.minY();
    return along == ledgeOffsetForSide(side);
}

void SidePanelLayout::setSize(double size, SidePanelSide side, SizeCompletion completion)
{
    const double newLedge = sizeAsLedge(size, side);
    if (!G::isSide(side))
        return;
    const double current = m_panel.ledge(side);
    if (m_panel.m_viewFirstAppeared && standsFullyOpenAtLedge(side) && newLedge != current) {
        auto self = m_panel.self();
        const double duration = newLedge < current ? m_panel.closeSlideDuration(true) : m_panel.openSlideDuration(true);
        ui::View::animate(duration, 0, ui::AnimationOption::None,
            [self, side, newLedge] {
                const double open = G::ledgeOffset(side, newLedge, self->referenceBounds().size);
                self->setSlidingFrameForOffset(open, G::orientationOfSide(side), true);
            },
            [completion](bool finished) {
                if (completion)
                    completion(finished);
            });
    }
    setLedgeValue(newLedge, side);
}

void SidePanelLayout::setMaxSize(double size, SizeCompletion completion)
{
    if (m_panel.sideControllerCount() >= 2) {
        core::log(QStringLiteral("sidepanel"),
                  QStringLiteral("SidePanelController: warning: setting maxLedge with more than one side controllers. "
                                 "Value will be ignored."));
        return;
    }
    m_panel.doForControllers([&](const SidePanelController::ControllerPtr& controller, SidePanelSide side) {
        if (!controller)
            return;
        m_panel.m_maxLedge = sizeAsLedge(size, side);
        if (m_panel.ledge(side) > m_panel.m_maxLedge)
            setSize(size, side, completion);
        else if (completion)
            completion(false);
        m_panel.setSlidingFrameForOffset(m_panel.m_offset, G::orientationOfSide(side), true);
    });
}
