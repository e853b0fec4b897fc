#pragma once

#include "components/sidepanel/SidePanelController.h"

// The sliding view's decoration: the centre's opacity, its rounded corners and the shadow
// the sliding view casts.
class SidePanelDecoration {
public:
    // The layer that casts the sliding view's shadow, with the container's default shadow.
    static std::shared_ptr<ui::Layer> makeShadowLayer();

    explicit SidePanelDecoration(SidePanelController& panel);
    SidePanelDecoration(const SidePanelDecoration&) = delete;
    SidePanelDecoration& operator=(const SidePanelDecoration&) = delete;

    void setCenterViewOpacity(double opacity);
    void applyCenterViewOpacityIfNeeded();
    void setCenterViewCornerRadius(double radius);
    ui::Path generateCenterViewCornerRadiusPath() const;
    bool currentAnimationDuration(double& duration, ui::TimingFunction& timing) const;
    void applyCenterViewCornerRadiusAnimated(bool animated);
    void finishCornerRadius(const std::shared_ptr<ui::ShapeLayer>& mask, const ui::Path& path);
    void setShadowEnabled(bool enabled, bool animated);
    void restoreShadowToSlidingView();
    void applyShadowToSlidingViewAnimated(bool animated);

    void followSlidingViewWithShadow(ui::View* sliding);
private:
    friend class SidePanelController;

    SidePanelController& m_panel;   // raw: the container owns this and outlives it
};
