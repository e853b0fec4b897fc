#include "components/hud/ProgressHUDSpinner.h"

#include "platform/ui/BasicAnimation.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/Layer.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr int kSpokes = 12;
constexpr double kTwoPi = 2 * std::numbers::pi;
const QString kSpinKey = QStringLiteral("spin");

} // namespace

std::shared_ptr<ProgressHUDSpinner> ProgressHUDSpinner::create()
{
    return std::shared_ptr<ProgressHUDSpinner>(new ProgressHUDSpinner());
}

ProgressHUDSpinner::ProgressHUDSpinner()
    : ui::View(ui::Rect(0, 0, 37, 37))
{
    setOpaque(false);
    setBackgroundColor(ui::Color::clear());
    setUserInteractionEnabled(false);
    setNeedsDisplay();
}

// The turn is a layer animation rather than a timer: it costs the run loop nothing and the
// renderer reads it off the clock.
void ProgressHUDSpinner::startAnimating()
{
    if (isAnimating())
        return;
    auto spin = ui::BasicAnimation::create(QStringLiteral("transform.rotation"), 0.0, kTwoPi, 1.0);
    spin->setTimingFunction(ui::TimingFunction::linear());
    spin->setRepeatCount(std::numeric_limits<double>::infinity());
    layer()->addAnimation(spin, kSpinKey);
}

void ProgressHUDSpinner::stopAnimating()
{
    layer()->removeAnimationForKey(kSpinKey);
}

bool ProgressHUDSpinner::isAnimating() const
{
    return layer()->animationForKey(kSpinKey) != nullptr;
}

void ProgressHUDSpinner::draw(ui::DrawContext& context)
{
    const ui::Rect b = bounds();
    const ui::Point c(b.width() / 2, b.height() / 2);
    const double outer = std::min(b.width(), b.height()) / 2 - 2;
    const double inner = outer * 0.52;
    context.setLineWidth(outer * 0.2);
    context.setLineCap(ui::DrawContext::LineCap::Round);
    // The leading spoke points up; the ones it has passed fade behind it.
    for (int i = 0; i < kSpokes; ++i) {
        const double angle = -std::numbers::pi / 2 - i * kTwoPi / kSpokes;
        const double alpha = 1.0 - 0.75 * i / (kSpokes - 1);
        context.setStrokeColor(ui::Color::fromWhite(1, alpha));
        const ui::Point dir(std::cos(angle), std::sin(angle));
        context.strokeLine(c + dir * inner, c + dir * outer);
    }
}
