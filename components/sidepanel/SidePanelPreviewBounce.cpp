#include "components/sidepanel/SidePanelPreviewBounce.h"

#include "components/sidepanel/SidePanelControllerDelegate.h"
#include "components/sidepanel/SidePanelGeometry.h"
#include "components/sidepanel/SidePanelNotices.h"
#include "platform/ui/KeyframeAnimation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/TimingFunction.h"
#include "platform/ui/Transaction.h"
#include "platform/ui/View.h"

namespace {

using G = SidePanelGeometry;
using Notice = SidePanelControllerDelegate::Notice;

} // namespace

QString SidePanelPreviewBounce::animationKey()
{
    return QStringLiteral("previewBounceAnimation");
}

SidePanelPreviewBounce::SidePanelPreviewBounce(SidePanelController& panel)
    : m_panel(panel)
{
}

bool SidePanelPreviewBounce::previewBounceView(SidePanelSide side, double distance, double duration,
                                               double numberOfBounces, double dampingFactor, bool callDelegate,
                                               Completion completion)
{
    auto self = m_panel.self();
    if (!m_panel.hasController(side) || m_panel.isSideOpen(side))
        return false;
    if (callDelegate && !m_panel.m_notices->checkDelegate([&](SidePanelControllerDelegate& d) { return d.shouldPreviewBounceViewSide(m_panel, side); }))
        return false;
    if (callDelegate && m_panel.isAnySideOpen() && !m_panel.toggleOpenViewAnimated(true))
        return false;
    // Only the drawn position swings, so without a sliding view there is nothing to show.
    auto sliding = m_panel.slidingControllerView();
    if (!sliding || sliding->layer()->animationForKey(animationKey()))
        return false;
    auto values = m_panel.bouncingValuesForViewSide(side, distance, numberOfBounces, dampingFactor, duration);
    if (!values)
        return false;
    auto animation = ui::KeyframeAnimation::create(G::isHorizontal(side) ? QStringLiteral("position.x")
                                                                         : QStringLiteral("position.y"));
    animation->setTimingFunction(ui::TimingFunction::linear());
    animation->setDuration(duration);
    animation->setValues({values->begin(), values->end()});
    animation->setRemovedOnCompletion(true);
    m_panel.controllerForSide(side)->view()->setHidden(false);
    ui::Transaction::begin();
    ui::Transaction::setAnimationDuration(double(float(duration)));
    ui::Transaction::setCompletionBlock([self, side, callDelegate, completion] {
        auto controller = self->controllerForSide(side);
        if (self->m_offset == 0 && controller)
            controller->view()->setHidden(true);
        if (completion)
            completion(*self, true);
        if (callDelegate)
            self->m_notices->performDelegate(Notice::DidPreviewBounceViewSide, [&](SidePanelControllerDelegate& d) { d.didPreviewBounceViewSide(*self, side, true); });
    });
    sliding->layer()->addAnimation(animation, animationKey());
    if (callDelegate)
        m_panel.m_notices->performDelegate(Notice::WillPreviewBounceViewSide, [&](SidePanelControllerDelegate& d) { d.willPreviewBounceViewSide(m_panel, side, true); });
    ui::Transaction::commit();
    return true;
}

std::optional<std::vector<float>> SidePanelPreviewBounce::bouncingValuesForViewSide(SidePanelSide side, double maximumBounce,
                                                                                    double numberOfBounces,
                                                                                    double dampingFactor, double duration) const
{
    if (!G::isSide(side))
        return std::nullopt;
    const auto heights = G::previewBounceHeights(maximumBounce, numberOfBounces, dampingFactor, duration);
    if (!heights)
        return std::nullopt;
    auto sliding = m_panel.slidingControllerView();
    const ui::Point position = sliding ? sliding->layer()->position() : ui::Point();
    const auto orientation = G::orientationOfSide(side);
    const double base = G::along(position, orientation);
    const double sign = side == SidePanelSide::Left || side == SidePanelSide::Top ? 1 : -1;
    std::vector<float> values;
    values.reserve(heights->size());
    for (std::int32_t height : *heights)
        values.push_back(float(sign * m_panel.limitOffset(height, orientation) + base));
    return values;
}
