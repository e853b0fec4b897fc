#include "components/sidepanel/SidePanelView.h"

std::shared_ptr<SidePanelView> SidePanelView::create(const ui::Rect& frame)
{
    return std::shared_ptr<SidePanelView>(new SidePanelView(frame));
}

SidePanelView::SidePanelView(const ui::Rect& frame)
    : ui::View(frame)
{
    m_userInteractionEnabled = isUserInteractionEnabled();
}

void SidePanelView::setUserInteractionEnabled(bool enabled)
{
    m_userInteractionEnabled = enabled;
    applyUserInteraction();
}

void SidePanelView::setAllowUserInteractionEnabled(bool allow)
{
    m_allowUserInteractionEnabled = allow;
    applyUserInteraction();
}

void SidePanelView::applyUserInteraction()
{
    ui::View::setUserInteractionEnabled(m_allowUserInteractionEnabled && m_userInteractionEnabled);
}

void SidePanelView::layoutSubviews()
{
    ui::View::layoutSubviews();
    if (onLayout)
        onLayout();
}
