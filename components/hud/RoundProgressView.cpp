#include "components/hud/RoundProgressView.h"

#include "platform/ui/DrawContext.h"

#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;
}

std::shared_ptr<RoundProgressView> RoundProgressView::create()
{
    return create(ui::Rect(0, 0, 37, 37));
}

std::shared_ptr<RoundProgressView> RoundProgressView::create(const ui::Rect& frame)
{
    return std::shared_ptr<RoundProgressView>(new RoundProgressView(frame));
}

RoundProgressView::RoundProgressView(const ui::Rect& frame)
    : ui::View(frame)
{
    setOpaque(false);
    setBackgroundColor(ui::Color::clear());
    setNeedsDisplay();
}

void RoundProgressView::setProgress(float progress)
{
    m_progress = progress;
    setNeedsDisplay();
}

void RoundProgressView::setProgressTintColor(const ui::Color& color)
{
    m_progressTintColor = color;
    setNeedsDisplay();
}

void RoundProgressView::setBackgroundTintColor(const ui::Color& color)
{
    m_backgroundTintColor = color;
    setNeedsDisplay();
}

void RoundProgressView::setAnnular(bool annular)
{
    m_annular = annular;
    setNeedsDisplay();
}

void RoundProgressView::draw(ui::DrawContext& context)
{
    if (m_annular)
        drawRing(context);
    else
        drawPie(context);
}

void RoundProgressView::drawPie(ui::DrawContext& context) const
{
    const ui::Rect b = bounds();
    const ui::Rect circle = b.insetBy(2, 2);
    context.setLineWidth(2);
    context.setFillColor(m_backgroundTintColor);
    context.fillEllipse(circle);
    context.setStrokeColor(m_progressTintColor);
    context.strokeEllipse(circle);

    // The wedge is always opaque white, whatever the tints say.
    const ui::Point c(b.width() / 2, b.height() / 2);
    const double radius = (b.width() - 4) / 2;
    const double start = -kPi / 2;
    const double end = m_progress * 2 * kPi + start;
    context.setFillColor(ui::Color::white());
    context.moveTo(c);
    context.addArc(c, radius, start, end, ui::Path::ArcDirection::Increasing);
    context.closePath();
    context.fillPath();
}

void RoundProgressView::drawRing(ui::DrawContext& context) const
{
    const ui::Rect b = bounds();
    const ui::Point c(b.width() / 2, b.height() / 2);
    const double radius = (b.width() - 5) / 2;
    const double start = -kPi / 2;
    context.setLineWidth(5);
    context.setLineCap(ui::DrawContext::LineCap::Round);

    context.setStrokeColor(m_backgroundTintColor);
    context.addArc(c, radius, start, 2 * kPi + start, ui::Path::ArcDirection::Increasing);
    context.strokePath();

    context.setStrokeColor(m_progressTintColor);
    context.addArc(c, radius, start, 2 * m_progress * kPi + start, ui::Path::ArcDirection::Increasing);
    context.strokePath();
}
