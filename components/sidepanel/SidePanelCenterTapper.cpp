#include "components/sidepanel/SidePanelCenterTapper.h"

#include "components/sidepanel/SidePanelPanTracker.h"
#include "components/sidepanel/SidePanelView.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

namespace {

constexpr unsigned kFlexibleSize = ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight;

} // namespace

SidePanelCenterTapper::SidePanelCenterTapper(SidePanelController& panel)
    : m_panel(panel)
{
}

void SidePanelCenterTapper::centerViewHidden()
{
    if (m_panel.m_centerhiddenInteractivity != SidePanelCenterHiddenInteractivity::Interactive && m_panel.m_centerView) {
        if (!m_panel.m_centerTapper)
            m_panel.m_centerTapper = makeCenterTapper();
        m_panel.m_centerView->addSubview(m_panel.m_centerTapper);
        m_panel.m_centerTapper->setFrame(m_panel.m_centerView->bounds());
        m_panel.setAccessibilityForCenterTapper();
        m_panel.m_panTracker->setNeedsAddPanners();
    }
    m_panel.applyShadowToSlidingViewAnimated(true);
}

std::shared_ptr<ui::Button> SidePanelCenterTapper::makeCenterTapper()
{
    auto tapper = ui::Button::create(ui::ButtonType::Custom);
    for (unsigned state : {ui::ControlState::Normal, ui::ControlState::Highlighted, ui::ControlState::Disabled})
        tapper->setBackgroundImage(ui::Image(), state);
    tapper->setAutoresizingMask(kFlexibleSize);
    tapper->setFrame(m_panel.m_centerView ? m_panel.m_centerView->bounds() : ui::Rect());
    tapper->addTarget(m_panel.self(), &SidePanelController::centerTapped, ui::ControlEvent::TouchUpInside);
    tapper->setBackgroundColor(ui::Color::clear());
    tapper->setAccessibilityViewIsModal(true);
    return tapper;
}

void SidePanelCenterTapper::centerViewVisible()
{
    if (m_panel.m_centerTapper) {
        m_panel.m_centerTapper->removeTarget(&m_panel, ui::ControlEvent::TouchUpInside);
        m_panel.m_centerTapper->removeFromSuperview();
    }
    m_panel.m_centerTapper.reset();
    m_panel.m_panTracker->setNeedsAddPanners();
    m_panel.applyShadowToSlidingViewAnimated(true);
}

void SidePanelCenterTapper::centerTapped()
{
    using Mode = SidePanelCenterHiddenInteractivity;
    if (m_panel.m_centerhiddenInteractivity != Mode::NotInteractiveTapToClose
        && m_panel.m_centerhiddenInteractivity != Mode::NotInteractiveTapToCloseBouncing)
        return;
    auto self = m_panel.self();
    const bool bouncing = m_panel.m_centerhiddenInteractivity == Mode::NotInteractiveTapToCloseBouncing;
    const ui::Rect frame = m_panel.slidingFrame();
    const std::pair<SidePanelSide, bool> displaced[] = {
        {SidePanelSide::Left, frame.minX() > 0},
        {SidePanelSide::Right, frame.minX() < 0},
        {SidePanelSide::Bottom, frame.minY() < 0},
        {SidePanelSide::Top, frame.minY() > 0},
    };
    for (const auto& [side, isDisplaced] : displaced) {
        if (!isDisplaced || !m_panel.hasController(side))
            continue;
        if (bouncing)
            m_panel.closeSideBouncing(side, nullptr, nullptr);
        else
            m_panel.closeSideView(side, true, 0, nullptr);
    }
}

void SidePanelCenterTapper::disableUserInteraction()
{
    std::lock_guard lock(m_panel.m_interactionMutex);
    if (++m_panel.m_disabledUserInteractions == 1) {
        if (auto view = m_panel.panelView())
            view->setAllowUserInteractionEnabled(false);
    }
}

void SidePanelCenterTapper::enableUserInteraction()
{
    std::lock_guard lock(m_panel.m_interactionMutex);
    if (m_panel.m_disabledUserInteractions <= 0)
        return;
    if (--m_panel.m_disabledUserInteractions == 0) {
        if (auto view = m_panel.panelView())
            view->setAllowUserInteractionEnabled(true);
    }
}

void SidePanelCenterTapper::setAccessibilityForCenterTapper()
{
    if (!m_panel.m_centerTapper)
        return;
    m_panel.m_centerTapper->setAccessibilityLabel(m_panel.m_centerTapperAccessibilityLabel);
    m_panel.m_centerTapper->setAccessibilityHint(m_panel.m_centerTapperAccessibilityHint);
    auto view = m_panel.viewIfLoaded();
    auto window = view ? view->window() : nullptr;
    const ui::Rect inWindow = m_panel.m_centerTapper->convertRectTo(m_panel.m_centerTapper->bounds(), nullptr);
    m_panel.m_centerTapper->setAccessibilityFrame(window ? window->bounds().intersected(inWindow) : ui::Rect());
}

void SidePanelCenterTapper::setCenterTapperAccessibilityLabel(const QString& label)
{
    if (label == m_panel.m_centerTapperAccessibilityLabel)
        return;
    m_panel.m_centerTapperAccessibilityLabel = label;
    m_panel.setAccessibilityForCenterTapper();
}

void SidePanelCenterTapper::setCenterTapperAccessibilityHint(const QString& hint)
{
    if (hint == m_panel.m_centerTapperAccessibilityHint)
        return;
    m_panel.m_centerTapperAccessibilityHint = hint;
    m_panel.setAccessibilityForCenterTapper();
}
