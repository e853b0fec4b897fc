#include "components/sidepanel/SidePanelRotationReplay.h"

#include "platform/ui/View.h"

SidePanelRotationReplay::SidePanelRotationReplay(SidePanelController& panel)
    : m_panel(panel)
{
}

void SidePanelRotationReplay::replayRotation()
{
    // The recorded orientation is cleared by the will-animate step; the did-rotate step is
    // told the orientation that was recorded, which is the one the interface had.
    const ui::InterfaceOrientation recorded = m_willAppearShouldArrangeViewsAfterRotation;
    m_panel.willRotateToInterfaceOrientation(m_panel.interfaceOrientation(), 0);
    m_panel.willAnimateRotationToInterfaceOrientation(m_panel.interfaceOrientation(), 0);
    m_panel.didRotateFromInterfaceOrientation(recorded);
}

void SidePanelRotationReplay::relayRotationMethod(const std::function<void(const ControllerPtr&)>& method)
{
    if (!method || !m_panel.shouldForwardRotationMethods())
        return;
    if (m_panel.m_centerController)
        method(m_panel.m_centerController);
    m_panel.doForControllers([&](const ControllerPtr& controller, SidePanelSide) {
        if (controller)
            method(controller);
    });
}

void SidePanelRotationReplay::recordPreRotationSizes()
{
    m_preRotationSize = m_panel.referenceBounds().size;
    m_preRotationCenterSize = m_panel.m_centerView ? m_panel.m_centerView->bounds().size : ui::Size();
}

bool SidePanelRotationReplay::shouldAutorotate()
{
    recordPreRotationSizes();
    m_willAppearShouldArrangeViewsAfterRotation = m_panel.interfaceOrientation();
    m_panel.relayRotationMethod([](const ControllerPtr& controller) { controller->shouldAutorotate(); });
    return m_panel.m_centerController ? m_panel.m_centerController->shouldAutorotate() : true;
}

bool SidePanelRotationReplay::shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation orientation)
{
    recordPreRotationSizes();
    // Our platform has no status bar; the interface orientation stands in for its orientation.
    m_preRotationIsLandscape = ui::isLandscape(m_panel.interfaceOrientation());
    m_willAppearShouldArrangeViewsAfterRotation = orientation;
    m_panel.relayRotationMethod([orientation](const ControllerPtr& controller) {
        controller->shouldAutorotateToInterfaceOrientation(orientation);
    });
    return m_panel.m_centerController ? m_panel.m_centerController->shouldAutorotateToInterfaceOrientation(orientation) : true;
}

unsigned SidePanelRotationReplay::supportedInterfaceOrientations()
{
    return m_panel.m_centerController ? m_panel.m_centerController->supportedInterfaceOrientations()
                              : m_panel.ui::ViewController::supportedInterfaceOrientations();
}

ui::InterfaceOrientation SidePanelRotationReplay::preferredInterfaceOrientationForPresentation()
{
    return m_panel.m_centerController ? m_panel.m_centerController->preferredInterfaceOrientationForPresentation()
                              : m_panel.ui::ViewController::preferredInterfaceOrientationForPresentation();
}

void SidePanelRotationReplay::willRotateToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration)
{
    m_panel.ui::ViewController::willRotateToInterfaceOrientation(orientation, duration);
    if (m_preRotationSize.width == 0) {
        recordPreRotationSizes();
        m_preRotationIsLandscape = ui::isLandscape(m_panel.interfaceOrientation());
    }
    m_panel.relayRotationMethod([orientation, duration](const ControllerPtr& controller) {
        controller->willRotateToInterfaceOrientation(orientation, duration);
    });
}

void SidePanelRotationReplay::willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration)
{
    m_panel.ui::ViewController::willAnimateRotationToInterfaceOrientation(orientation, duration);
    m_panel.arrangeViewsAfterRotation();
    m_panel.relayRotationMethod([orientation, duration](const ControllerPtr& controller) {
        controller->willAnimateRotationToInterfaceOrientation(orientation, duration);
    });
    m_panel.applyCenterViewCornerRadiusAnimated(true);
    m_panel.applyShadowToSlidingViewAnimated(true);
}

void SidePanelRotationReplay::didRotateFromInterfaceOrientation(ui::InterfaceOrientation from)
{
    m_panel.ui::ViewController::didRotateFromInterfaceOrientation(from);
    m_panel.relayRotationMethod([from](const ControllerPtr& controller) { controller->didRotateFromInterfaceOrientation(from); });
    m_panel.setAccessibilityForCenterTapper();
}

void SidePanelRotationReplay::arrangeViewsAfterRotation()
{
    m_willAppearShouldArrangeViewsAfterRotation = ui::InterfaceOrientation::Unknown;
    if (!(m_preRotationSize.width > 0 && m_preRotationSize.height > 0))
        return;
    const ui::Size reference = m_panel.referenceBounds().size;
    const bool horizontal = m_panel.m_offsetOrientation != SidePanelOffsetOrientation::Vertical;
    const ui::Rect frame = m_panel.slidingFrame();
    double offset = horizontal ? frame.x() : frame.y();
    const double newSize = horizontal ? reference.width : reference.height;
    const double oldSize = horizontal ? m_preRotationSize.width : m_preRotationSize.height;
    if (m_panel.m_resizesCenterView && offset == 0) {
        // A shrunk sliding view keeps its origin: recover the negative offset from its size.
        offset += horizontal ? m_preRotationCenterSize.width - m_preRotationSize.width
                             : m_preRotationCenterSize.height - m_preRotationSize.height;
    }
    const SidePanelSide first = horizontal ? SidePanelSide::Left : SidePanelSide::Top;
    const SidePanelSide second = horizontal ? SidePanelSide::Right : SidePanelSide::Bottom;
    SidePanelSide openSide = SidePanelSide::None;
    if (offset == oldSize - m_panel.ledge(first))
        openSide = first;
    else if (offset == m_panel.ledge(second) - oldSize)
        openSide = second;
    if (m_panel.m_sizeMode == SidePanelSizeMode::ViewSize) {
        // Every side keeps its visible size.
        if (m_panel.m_maxLedge != 0)
            m_panel.m_maxLedge += newSize - oldSize;
        const double dw = reference.width - m_preRotationSize.width;
        const double dh = reference.height - m_preRotationSize.height;
        m_panel.setLedgeValue(m_panel.ledge(SidePanelSide::Left) + dw, SidePanelSide::Left);
        m_panel.setLedgeValue(m_panel.ledge(SidePanelSide::Right) + dw, SidePanelSide::Right);
        m_panel.setLedgeValue(m_panel.ledge(SidePanelSide::Top) + dh, SidePanelSide::Top);
        m_panel.setLedgeValue(m_panel.ledge(SidePanelSide::Bottom) + dh, SidePanelSide::Bottom);
    } else {
        if (offset > 0)
            offset += newSize - oldSize;
        else if (offset < 0)
            offset += oldSize - newSize;
    }
    if (openSide != SidePanelSide::None)
        offset = m_panel.ledgeOffsetForSide(openSide);
    m_panel.setSlidingFrameForOffset(offset, m_panel.m_offsetOrientation, false);
    m_preRotationSize = ui::Size();
}
