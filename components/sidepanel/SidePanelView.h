#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>

// The container's root view. Its effective interaction is what was requested AND what the
// container currently allows, so a slide can switch interaction off without losing what a
// caller asked for in the meantime.
class SidePanelView : public ui::View {
public:
    static std::shared_ptr<SidePanelView> create(const ui::Rect& frame = ui::Rect());

    void setUserInteractionEnabled(bool enabled) override;
    bool allowUserInteractionEnabled() const { return m_allowUserInteractionEnabled; }
    void setAllowUserInteractionEnabled(bool allow);

    // Set when the container is presented by a navigation controller: the platform's
    // transition view then needs the view pinned to its top while it slides in. Never cleared.
    void setNeedsOffsetAdjustment() { m_needsOffsetAdjustment = true; }
    bool needsOffsetAdjustment() const { return m_needsOffsetAdjustment; }

    // Called after each layout pass; the container checks there whether its bounds changed.
    std::function<void()> onLayout;

protected:
    explicit SidePanelView(const ui::Rect& frame);
    void layoutSubviews() override;

private:
    void applyUserInteraction();

    bool m_userInteractionEnabled = true;
    bool m_needsOffsetAdjustment = false;
    bool m_allowUserInteractionEnabled = true;
};
