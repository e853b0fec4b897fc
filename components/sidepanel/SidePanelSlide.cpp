#include "components/sidepanel/SidePanelSlide.h"

#include "components/sidepanel/SidePanelControllerDelegate.h"
#include "components/sidepanel/SidePanelGeometry.h"
#include "components/sidepanel/SidePanelNotices.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"

#include <algorithm>

namespace {

using G = SidePanelGeometry;
using Notice = SidePanelControllerDelegate::Notice;

constexpr unsigned kStandardOptions = ui::AnimationOption::LayoutSubviews | ui::AnimationOption::BeginFromCurrentState;

void call(const SidePanelController::Completion& completion, SidePanelController& container, bool success)
{
    if (completion)
        completion(container, success);
}

} // namespace

SidePanelSlide::SidePanelSlide(SidePanelController& panel)
    : m_panel(panel)
{
}

void SidePanelSlide::hideControllerViewForSide(bool hide, SidePanelSide side)
{
    auto controller = m_panel.controllerForSide(side);
    if (!controller)
        return;
    // With a single side nothing else could show through, so its view always stays visible.
    controller->view()->setHidden(m_panel.sideControllerCount() < 2 ? false : hide);
}

void SidePanelSlide::postScreenChanged()
{
    ui::Accessibility::post(ui::Accessibility::Notification::ScreenChanged);
}

// An open with nothing to do succeeds at once, a refused one fails at once; either way the
// completion runs now. Nullopt: the open goes ahead.
std::optional<bool> SidePanelSlide::settleOpenAtOnce(SidePanelSide side, const Completion& completion)
{
    if (!m_panel.hasController(side) || m_panel.isSideOpen(side)) {
        call(completion, m_panel, true);
        return true;
    }
    if (!m_panel.checkCanOpenSide(side)) {
        call(completion, m_panel, false);
        return false;
    }
    return std::nullopt;
}

std::optional<bool> SidePanelSlide::settleCloseAtOnce(SidePanelSide side, bool animated, const Completion& completion)
{
    if (m_panel.isSideClosed(side)) {
        call(completion, m_panel, true);
        return true;
    }
    if (!m_panel.checkCanCloseSide(side, animated)) {
        call(completion, m_panel, false);
        return false;
    }
    return std::nullopt;
}

// The end of every open and close movement: input back on, the completion, then the notices.
void SidePanelSlide::finishOpen(SidePanelSide side, bool animated, const Completion& completion)
{
    auto self = m_panel.self();
    m_panel.enableUserInteraction();
    m_panel.setAccessibilityForCenterTapper();
    call(completion, m_panel, true);
    m_panel.notifyDidOpenSide(side, animated);
    postScreenChanged();
}

void SidePanelSlide::finishClose(SidePanelSide side, bool animated, const Completion& completion)
{
    auto self = m_panel.self();
    m_panel.hideAppropriateSideViews();
    m_panel.enableUserInteraction();
    call(completion, m_panel, true);
    m_panel.notifyDidCloseSide(side, animated);
    postScreenChanged();
}

bool SidePanelSlide::openSideView(SidePanelSide side, bool animated, double duration, Completion completion)
{
    auto self = m_panel.self();
    if (auto answer = settleOpenAtOnce(side, completion))
        return *answer;
    if (!m_panel.isSideClosed(m_panel.oppositeOfSide(side)))
        return m_panel.toggleOpenViewAnimated(animated, std::move(completion));
    if (duration == 0)
        duration = m_panel.openSlideDuration(animated);
    if (m_panel.isSideClosed(side)) {
        // Any side of the other axis closes first; the slide starts in that close's completion.
        return m_panel.closeOpenViewAnimated(animated, [side, animated, duration, completion](SidePanelController& container, bool success) {
            container.m_slide->runOpenSlide(side, animated, duration, kStandardOptions, success, completion);
        });
    }
    runOpenSlide(side, animated, duration, kStandardOptions | ui::AnimationOption::CurveEaseOut, true, std::move(completion));
    return true;
}

void SidePanelSlide::runOpenSlide(SidePanelSide side, bool animated, double duration, unsigned options,
                                  bool success, Completion completion)
{
    if (!success) {
        call(completion, m_panel, false);
        return;
    }
    auto self = m_panel.self();
    m_panel.notifyWillOpenSide(side, animated);
    m_panel.disableUserInteraction();
    ui::View::animate(duration, 0, options,
        [self, side] {
            self->hideControllerViewForSide(false, side);
            self->setSlidingFrameForOffset(self->ledgeOffsetForSide(side), G::orientationOfSide(side), true);
            self->centerViewHidden();
        },
        [self, side, animated, completion](bool) { self->m_slide->finishOpen(side, animated, completion); });
}

bool SidePanelSlide::closeSideView(SidePanelSide side, bool animated, double duration, Completion completion)
{
    auto self = m_panel.self();
    if (auto answer = settleCloseAtOnce(side, animated, completion))
        return *answer;
    if (duration == 0)
        duration = m_panel.closeSlideDuration(animated);
    const unsigned options = kStandardOptions | (m_panel.isSideOpen(side) ? 0u : unsigned(ui::AnimationOption::CurveEaseOut));
    m_panel.notifyWillCloseSide(side, animated);
    m_panel.disableUserInteraction();
    ui::View::animate(duration, 0, options,
        [self, side, animated] {
            self->setSlidingFrameForOffset(0, G::orientationOfSide(side), animated);
            self->centerViewVisible();
        },
        [self, side, animated, completion](bool) { self->m_slide->finishClose(side, animated, completion); });
    return true;
}

double SidePanelSlide::bounceFactorA() const
{
    return m_panel.m_bounceDurationFactor != 0 ? m_panel.m_bounceDurationFactor : 1;
}

double SidePanelSlide::bounceFactorB() const
{
    if (m_panel.m_bounceOpenSideDurationFactor != 0)
        return m_panel.m_bounceOpenSideDurationFactor;
    return m_panel.m_bounceDurationFactor != 0 ? 1 - m_panel.m_bounceDurationFactor : 1;
}

bool SidePanelSlide::openSideViewBouncing(SidePanelSide side, double bounceOffset, double targetOffset,
                                          Bounced bounced, Completion completion)
{
    auto self = m_panel.self();
    if (auto answer = settleOpenAtOnce(side, completion))
        return *answer;
    const unsigned legOneOptions = kStandardOptions | (m_panel.isSideClosed(side) ? unsigned(ui::AnimationOption::CurveEaseIn) : 0u);
    return m_panel.closeOpenViewAnimated(true, [=](SidePanelController& container, bool success) {
        if (!success) {
            call(completion, container, false);
            return;
        }
        container.m_slide->runBouncingOpen(side, bounceOffset, targetOffset, legOneOptions, bounced, completion);
    });
}

void SidePanelSlide::runBouncingOpen(SidePanelSide side, double bounceOffset, double targetOffset,
                                     unsigned legOneOptions, Bounced bounced, Completion completion)
{
    auto self = m_panel.self();
    const auto orientation = G::orientationOfSide(side);
    m_panel.notifyWillOpenSide(side, true);
    m_panel.disableUserInteraction();
    ui::View::animate(m_panel.openSlideDuration(true) * bounceFactorA(), 0, legOneOptions,
        [self, side, bounceOffset, orientation] {
            self->hideControllerViewForSide(false, side);
            self->setSlidingFrameForOffset(bounceOffset, orientation, true);
        },
        [self, side, targetOffset, orientation, bounced, completion](bool) {
            self->centerViewHidden();
            if (bounced)
                bounced(*self);
            auto controller = self->controllerForSide(side);
            self->m_notices->performDelegate(Notice::DidBounceViewSideOpeningController, [&](SidePanelControllerDelegate& d) {
                d.didBounceViewSideOpeningController(*self, side, controller);
            });
            ui::View::animate(self->openSlideDuration(true) * self->m_slide->bounceFactorB(), 0, kStandardOptions,
                [self, targetOffset, orientation] { self->setSlidingFrameForOffset(targetOffset, orientation, true); },
                [self, side, completion](bool) { self->m_slide->finishOpen(side, true, completion); });
        });
}

bool SidePanelSlide::closeSideViewBouncing(SidePanelSide side, double bounceOffset, Bounced bounced,
                                           Completion completion)
{
    auto self = m_panel.self();
    if (auto answer = settleCloseAtOnce(side, true, completion))
        return *answer;
    const unsigned legOneOptions = kStandardOptions | (m_panel.isSideOpen(side) ? unsigned(ui::AnimationOption::CurveEaseIn) : 0u);
    const auto orientation = G::orientationOfSide(side);
    m_panel.notifyWillCloseSide(side, true);
    m_panel.disableUserInteraction();
    ui::View::animate(m_panel.openSlideDuration(true) * bounceFactorB(), 0, legOneOptions,
        [self, bounceOffset, orientation] { self->setSlidingFrameForOffset(bounceOffset, orientation, true); },
        [self, side, orientation, bounced, completion](bool) {
            if (bounced)
                bounced(*self);
            auto controller = self->controllerForSide(side);
            self->m_notices->performDelegate(Notice::DidBounceViewSideClosingController, [&](SidePanelControllerDelegate& d) {
                d.didBounceViewSideClosingController(*self, side, controller);
            });
            ui::View::animate(self->closeSlideDuration(true) * self->m_slide->bounceFactorA(), 0,
                ui::AnimationOption::LayoutSubviews | ui::AnimationOption::CurveEaseOut,
                [self, orientation] {
                    self->setSlidingFrameForOffset(0, orientation, true);
                    self->centerViewVisible();
                },
                [self, side, completion](bool) { self->m_slide->finishClose(side, true, completion); });
        });
    return true;
}

bool SidePanelSlide::toggleOpenViewAnimated(bool animated, Completion completion)
{
    auto self = m_panel.self();
    const auto open = std::find_if(G::kSides, G::kSides + 4, [this](SidePanelSide side) { return m_panel.isSideOpen(side); });
    if (open == G::kSides + 4) {
        call(completion, m_panel, false);
        return false;
    }
    const SidePanelSide closing = *open;
    const SidePanelSide opening = m_panel.oppositeOfSide(closing);
    const double target = m_panel.ledgeOffsetForSide(opening);
    // One consent is enough: the open side may leave, or the other side may come.
    if (!m_panel.checkCanCloseSide(closing, animated) && !m_panel.checkCanOpenSide(opening)) {
        call(completion, m_panel, false);
        return false;
    }
    m_panel.notifyWillCloseSide(closing, animated);
    ui::View::animate(m_panel.closeSlideDuration(animated), 0, ui::AnimationOption::LayoutSubviews | ui::AnimationOption::CurveEaseIn,
        [self, closing] { self->setSlidingFrameForOffset(0, G::orientationOfSide(closing), true); },
        [self, closing, opening, target, animated, completion](bool) {
            self->notifyWillOpenSide(opening, animated);
            ui::View::animate(self->openSlideDuration(animated), 0,
                ui::AnimationOption::LayoutSubviews | ui::AnimationOption::CurveEaseOut,
                [self, opening, target] { self->setSlidingFrameForOffset(target, G::orientationOfSide(opening), true); },
                [self, opening, animated, completion](bool) {
                    call(completion, *self, true);
                    self->notifyDidOpenSide(opening, animated);
                });
            self->hideAppropriateSideViews();
            self->notifyDidCloseSide(closing, animated);
        });
    return true;
}

bool SidePanelSlide::closeOpenViewAnimated(bool animated, double duration, Completion completion)
{
    for (SidePanelSide side : G::kSides) {
        if (!m_panel.isSideClosed(side))
            return m_panel.closeSideView(side, animated, duration, std::move(completion));
    }
    call(completion, m_panel, true);
    return true;
}

bool SidePanelSlide::closeOpenViewBouncing(Bounced bounced, Completion completion)
{
    for (SidePanelSide side : G::kSides) {
        if (m_panel.isSideOpen(side))
            return m_panel.closeSideBouncing(side, std::move(bounced), std::move(completion));
    }
    call(completion, m_panel, true);
    return true;
}

bool SidePanelSlide::toggleSide(SidePanelSide side, bool animated, Completion completion)
{
    if (m_panel.isSideClosed(side))
        return m_panel.openSideView(side, animated, std::move(completion));
    return m_panel.closeSideView(side, animated, 0, std::move(completion));
}

// The bounce takes the centre fully off screen towards the side before it settles.
double SidePanelSlide::bounceOvershoot(SidePanelSide side) const
{
    const ui::Size reference = m_panel.referenceBounds().size;
    const double extent = G::isHorizontal(side) ? reference.width : reference.height;
    const bool positive = side == SidePanelSide::Left || side == SidePanelSide::Top;
    return positive ? extent : -extent;
}

bool SidePanelSlide::openSideBouncing(SidePanelSide side, Bounced bounced, Completion completion)
{
    return m_panel.openSideViewBouncing(side, bounceOvershoot(side), m_panel.ledgeOffsetForSide(side), std::move(bounced),
                                std::move(completion));
}

bool SidePanelSlide::closeSideBouncing(SidePanelSide side, Bounced bounced, Completion completion)
{
    return m_panel.closeSideViewBouncing(side, bounceOvershoot(side), std::move(bounced), std::move(completion));
}
