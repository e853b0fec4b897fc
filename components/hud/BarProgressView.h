#pragma once

#include "components/hud/ProgressIndicator.h"
#include "platform/ui/Color.h"
#include "platform/ui/View.h"

#include <memory>

// A determinate progress from 0 to 1, drawn as a rounded horizontal bar that fills from
// the left. Transparent; every property change redraws it.
class BarProgressView : public ui::View, public ProgressIndicator {
public:
    // 120 × 20 at the origin.
    static std::shared_ptr<BarProgressView> create();
    static std::shared_ptr<BarProgressView> create(const ui::Rect& frame);

    float progress() const { return m_progress; }
    void setProgress(float progress) override;
    ui::Color lineColor() const { return m_lineColor; }
    void setLineColor(const ui::Color& color);
    ui::Color progressRemainingColor() const { return m_progressRemainingColor; }
    void setProgressRemainingColor(const ui::Color& color);
    ui::Color progressColor() const { return m_progressColor; }
    void setProgressColor(const ui::Color& color);

protected:
    explicit BarProgressView(const ui::Rect& frame);
    void draw(ui::DrawContext& context) override;

private:
    void drawOutline(ui::DrawContext& context, double w, double h, double r) const;
    void drawFill(ui::DrawContext& context, double w, double h, double r) const;

    float m_progress = 0;
    ui::Color m_lineColor = ui::Color::white();
    ui::Color m_progressRemainingColor = ui::Color::clear();
    ui::Color m_progressColor = ui::Color::white();
};
