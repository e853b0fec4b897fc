#pragma once

#include "components/hud/ProgressIndicator.h"
#include "platform/ui/Color.h"
#include "platform/ui/View.h"

#include <memory>

// A determinate progress from 0 to 1, drawn as a pie that fills clockwise from the top or,
// when annular, as a ring that grows clockwise from the top. Transparent; every property
// change redraws it.
class RoundProgressView : public ui::View, public ProgressIndicator {
public:
    // 37 × 37 at the origin.
    static std::shared_ptr<RoundProgressView> create();
    static std::shared_ptr<RoundProgressView> create(const ui::Rect& frame);

    float progress() const { return m_progress; }
    void setProgress(float progress) override;
    // Pie: the circle's outline; ring: the progress arc.
    ui::Color progressTintColor() const { return m_progressTintColor; }
    void setProgressTintColor(const ui::Color& color);
    // Pie: the circle's inside; ring: the full ring behind the arc.
    ui::Color backgroundTintColor() const { return m_backgroundTintColor; }
    void setBackgroundTintColor(const ui::Color& color);
    bool isAnnular() const { return m_annular; }
    void setAnnular(bool annular);

protected:
    explicit RoundProgressView(const ui::Rect& frame);
    void draw(ui::DrawContext& context) override;

private:
    void drawPie(ui::DrawContext& context) const;
    void drawRing(ui::DrawContext& context) const;

    float m_progress = 0;
    ui::Color m_progressTintColor = ui::Color::white();
    ui::Color m_backgroundTintColor = ui::Color::fromWhite(1, 0.1);
    bool m_annular = false;
};
