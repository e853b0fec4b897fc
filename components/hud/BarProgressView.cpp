#include "components/hud/BarProgressView.h"

#include "platform/ui/DrawContext.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

// One half of the filled part: from the rounded left cap along the top (top = true) or the
// bottom edge, then whatever `finish` adds at the right.
template<class Finish>
void fillHalf(ui::DrawContext& context, double h, double r, bool top, Finish finish)
{
    const double edge = top ? 4 : h - 4;
    context.moveTo({4, h / 2});
    context.addArcToPoint({4, edge}, {r + 4, edge}, r);
    finish(edge);
    context.fillPath();
}

} // namespace

std::shared_ptr<BarProgressView> BarProgressView::create()
{
    return create(ui::Rect(0, 0, 120, 20));
}

std::shared_ptr<BarProgressView> BarProgressView::create(const ui::Rect& frame)
{
    return std::shared_ptr<BarProgressView>(new BarProgressView(frame));
}

BarProgressView::BarProgressView(const ui::Rect& frame)
    : ui::View(frame)
{
    setOpaque(false);
    setBackgroundColor(ui::Color::clear());
    setNeedsDisplay();
}

void BarProgressView::setProgress(float progress)
{
    m_progress = progress;
    setNeedsDisplay();
}

void BarProgressView::setLineColor(const ui::Color& color)
{
    m_lineColor = color;
    setNeedsDisplay();
}

void BarProgressView::setProgressRemainingColor(const ui::Color& color)
{
    m_progressRemainingColor = color;
    setNeedsDisplay();
}

void BarProgressView::setProgressColor(const ui::Color& color)
{
    m_progressColor = color;
    setNeedsDisplay();
}

void BarProgressView::draw(ui::DrawContext& context)
{
    const double w = bounds().width();
    const double h = bounds().height();
    // A bar lower than 8 points has no room for rounded ends; the radii stay at 0 rather
    // than turning the arcs inside out.
    const double r = std::max(0.0, h / 2 - 2);
    drawOutline(context, w, h, r);
    drawFill(context, w, h, std::max(0.0, r - 2));
}

void BarProgressView::drawOutline(ui::DrawContext& context, double w, double h, double r) const
{
    context.setLineWidth(2);
    context.setStrokeColor(m_lineColor);
    context.setFillColor(m_progressRemainingColor);
    auto outline = [&] {
        context.moveTo({2, h / 2});
        context.addArcToPoint({2, 2}, {r + 2, 2}, r);
        context.addLineTo({w - r - 2, 2});
        context.addArcToPoint({w - 2, 2}, {w - 2, h / 2}, r);
        context.addArcToPoint({w - 2, h - 2}, {w - r - 2, h - 2}, r);
        context.addLineTo({r + 2, h - 2});
        context.addArcToPoint({2, h - 2}, {2, h / 2}, r);
    };
    outline();
    context.fillPath();
    outline();
    context.strokePath();
}

void BarProgressView::drawFill(ui::DrawContext& context, double w, double h, double r) const
{
    // The fill stops at the inside of the outline (x = w - 4): beyond it the right end's arc
    // angle would be undefined and the fill would cross the outline.
    const double amount = std::min(std::clamp(double(m_progress), 0.0, 1.0) * w, w - 4);
    context.setFillColor(m_progressColor);
    if (amount <= 0)
        return;

    if (amount >= r + 4 && amount <= w - r - 4) {
        for (bool top : {true, false}) {
            fillHalf(context, h, r, top, [&](double edge) {
                context.addLineTo({amount, edge});
                context.addLineTo({amount, r + 4});
            });
        }
        return;
    }
    if (amount > r + 4) {
        const double x = amount - (w - r - 4);
        const double angle = r > 0 ? std::acos(std::clamp(x / r, -1.0, 1.0)) : 0;
        const ui::Point centre(w - r - 4, h / 2);
        fillHalf(context, h, r, true, [&](double edge) {
            context.addLineTo({w - r - 4, edge});
            context.addArc(centre, r, kPi, -angle, ui::Path::ArcDirection::Increasing);
            context.addLineTo({amount, h / 2});
        });
        fillHalf(context, h, r, false, [&](double edge) {
            context.addLineTo({w - r - 4, edge});
            context.addArc(centre, r, -kPi, angle, ui::Path::ArcDirection::Decreasing);
            context.addLineTo({amount, h / 2});
        });
        return;
    }
    for (bool top : {true, false}) {
        fillHalf(context, h, r, top, [&](double) { context.addLineTo({r + 4, h / 2}); });
    }
}
