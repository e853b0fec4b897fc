#pragma once

#include "platform/ui/View.h"

#include <memory>

// The overlay's busy indicator: twelve white spokes fading round a 37-point circle, turning
// once a second while animating. The platform has no activity indicator of its own.
class ProgressHUDSpinner : public ui::View {
public:
    static std::shared_ptr<ProgressHUDSpinner> create();

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const;

protected:
    ProgressHUDSpinner();
    void draw(ui::DrawContext& context) override;
};
