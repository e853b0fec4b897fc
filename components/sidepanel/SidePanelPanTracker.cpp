#include "components/sidepanel/SidePanelPanTracker.h"

#include "components/sidepanel/SidePanelControllerDelegate.h"
#include "components/sidepanel/SidePanelGeometry.h"
#include "components/sidepanel/SidePanelNavigation.h"
#include "components/sidepanel/SidePanelNotices.h"
#include "components/sidepanel/SidePanelPreviewBounce.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Layer.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Touch.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>

namespace {

using G = SidePanelGeometry;

constexpr unsigned kStandardOptions = ui::AnimationOption::LayoutSubviews | ui::AnimationOption::BeginFromCurrentState;
// Below this release speed (points per second) a pan settles by position, at or above it by direction.
constexpr double kFlingSpeed = 500;

} // namespace

SidePanelPanTracker::SidePanelPanTracker(SidePanelController& panel)
    : m_panel(panel)
{
}

void SidePanelPanTracker::setNeedsAddPanners()
{
    if (m_needsAddPannersIfAllPannersAreInactive)
        return;
    if (hasActivePanner())
        m_needsAddPannersIfAllPannersAreInactive = true;
    else
        addPanners();
}

bool SidePanelPanTracker::hasActivePanner() const
{
    return std::any_of(m_panners.begin(), m_panners.end(), [](const auto& panner) { return panner->isActive(); });
}

void SidePanelPanTracker::addPannersIfAllPannersAreInactiveAndNeeded()
{
    if (!m_needsAddPannersIfAllPannersAreInactive || hasActivePanner())
        return;
    addPanners();
    m_needsAddPannersIfAllPannersAreInactive = false;
}

void SidePanelPanTracker::addPanners()
{
    removePanners();
    switch (m_panel.m_panningMode) {
    case SidePanelPanningMode::SlidingView:
    case SidePanelPanningMode::AskDelegate:
    case SidePanelPanningMode::NavigationBarOrOpen:
        addPanner(m_panel.slidingControllerView());
        addPanner(m_panel.m_centerTapper);
        addPanner(SidePanelNavigation::shownBar(m_panel.navigationController()));
        break;
    case SidePanelPanningMode::NavigationBar:
        addPanner(SidePanelNavigation::shownBar(m_panel.navigationController()));
        if (auto center = m_panel.m_centerController) {
            addPanner(SidePanelNavigation::shownBar(center->navigationController()));
            addPanner(SidePanelNavigation::shownBar(center));
        }
        break;
    case SidePanelPanningMode::PanningView:
        addPanner(m_panel.m_panningView);
        break;
    case SidePanelPanningMode::ContainerView:
        addPanner(m_panel.viewIfLoaded());
        break;
    default:
        break;
    }
}

void SidePanelPanTracker::removePanners()
{
    for (const auto& panner : m_panners) {
        if (auto view = panner->view())
            view->removeGestureRecognizer(panner);
    }
    m_panners.clear();
}

void SidePanelPanTracker::addPanner(const std::shared_ptr<ui::View>& view)
{
    // A contained centre's navigation controller is the container's own: one bar, one panner.
    if (!view || std::any_of(m_panners.begin(), m_panners.end(), [&](const auto& panner) { return panner->view() == view; }))
        return;
    // The view and the container own the recogniser; it reaches back weakly.
    std::weak_ptr<SidePanelController> weak = m_panel.self();
    auto panner = ui::PanGestureRecognizer::create([weak](ui::GestureRecognizer& recognizer) {
        if (auto container = weak.lock())
            container->panned(recognizer);
    });
    panner->setCancelsTouchesInView(m_panel.m_panningCancelsTouchesInView);
    panner->setDelegate(std::weak_ptr<ui::GestureRecognizerDelegate>(m_panel.self()));
    view->addGestureRecognizer(panner);
    m_panners.push_back(panner);
}

std::optional<bool> SidePanelPanTracker::shouldReceiveTouch(ui::GestureRecognizer& recognizer, const ui::Touch& touch)
{
    auto self = m_panel.self();
    if (auto gestureDelegate = m_panel.panningGestureDelegate()) {
        if (gestureDelegate->shouldReceiveTouch(recognizer, touch) == false)
            return false;
    }
    if (auto view = touch.view()) {
        if (m_panel.m_disabledPanClasses.refuses(*view))
            return false;
        if (!m_panel.m_notices->checkDelegate([&](SidePanelControllerDelegate& d) { return d.shouldBeginPanOverView(m_panel, *view); }))
            return false;
    }
    m_panOrigin = m_panel.slidingFrame().origin;
    return true;
}

std::optional<bool> SidePanelPanTracker::gestureRecognizerShouldBegin(ui::GestureRecognizer& recognizer)
{
    auto self = m_panel.self();
    const auto sliding = m_panel.slidingControllerView();
    if (m_panel.m_panningMode == SidePanelPanningMode::NavigationBarOrOpen && sliding && recognizer.view() == sliding) {
        // Without a navigation controller there is no bar: only an open side lets the pan begin.
        auto barController = SidePanelNavigation::barController(m_panel);
        auto bar = barController ? barController->navigationBar() : nullptr;
        const bool onBar = bar && bar->bounds().contains(recognizer.locationInView(bar.get()));
        if (!onBar && !m_panel.isAnySideOpen())
            return false;
    }
    if (auto gestureDelegate = m_panel.panningGestureDelegate()) {
        if (gestureDelegate->gestureRecognizerShouldBegin(recognizer) == false)
            return false;
    }
    auto* pan = dynamic_cast<ui::PanGestureRecognizer*>(&recognizer);
    if (!pan)
        return true;
    const SidePanelOffsetOrientation orientation = orientationOfVelocity(*pan);
    if (m_panel.m_panningMode == SidePanelPanningMode::AskDelegate) {
        auto delegate = m_panel.delegate();
        if (delegate && delegate->shouldPan(m_panel, *pan) == false)
            return false;
    }
    if (G::along(m_panel.slidingFrame().origin, orientation) != 0)
        return true;
    const double location = locationOfPanner(*pan, orientation);
    if (location == 0)
        return true;
    const SidePanelSide side = location > 0 ? G::firstSide(orientation) : G::secondSide(orientation);
    if (m_panel.checkCanOpenSide(side))
        return true;
    m_panel.closeSideView(side, false, Completion());
    return false;
}

std::optional<bool> SidePanelPanTracker::shouldRecognizeSimultaneouslyWithGestureRecognizer(ui::GestureRecognizer& recognizer,
                                                                                            ui::GestureRecognizer& other)
{
    auto gestureDelegate = m_panel.panningGestureDelegate();
    if (!gestureDelegate)
        return false;
    return gestureDelegate->shouldRecognizeSimultaneouslyWithGestureRecognizer(recognizer, other).value_or(false);
}

SidePanelOffsetOrientation SidePanelPanTracker::orientationOfVelocity(ui::PanGestureRecognizer& pan) const
{
    const ui::Point velocity = pan.velocityInView(m_panel.referenceView().get());
    return std::fabs(velocity.x) >= std::fabs(velocity.y) ? SidePanelOffsetOrientation::Horizontal
                                                          : SidePanelOffsetOrientation::Vertical;
}

double SidePanelPanTracker::locationOfPanner(ui::PanGestureRecognizer& pan, SidePanelOffsetOrientation orientation) const
{
    const SidePanelSide first = G::firstSide(orientation);
    const SidePanelSide second = G::secondSide(orientation);
    const double location = G::along(pan.translationInView(m_panel.referenceView().get()), orientation) + G::along(m_panOrigin, orientation);
    const double extent = G::along(ui::Point(m_panel.referenceBounds().width(), m_panel.referenceBounds().height()), orientation);
    const double p = G::panLocation(location, m_panel.hasController(first), m_panel.hasController(second), extent - m_panel.ledge(first),
                                    m_panel.ledge(second) - extent, m_panel.m_elastic);
    return m_panel.limitOffset(p, orientation);
}

void SidePanelPanTracker::panned(ui::GestureRecognizer& recognizer)
{
    auto* pan = dynamic_cast<ui::PanGestureRecognizer*>(&recognizer);
    if (!m_panel.m_enabled || !pan)
        return;
    auto self = m_panel.self();
    SidePanelOffsetOrientation orientation = m_panel.m_offsetOrientation;
    if (m_panel.m_offset == 0 && pan->state() == ui::GestureRecognizer::State::Began)
        orientation = orientationOfVelocity(*pan);
    panned(*pan, orientation);
}

void SidePanelPanTracker::panned(ui::PanGestureRecognizer& pan, SidePanelOffsetOrientation orientation)
{
    setParallax();
    const double from = G::along(m_panel.slidingFrame().origin, orientation);
    const double to = locationOfPanner(pan, orientation);
    const SidePanelSide first = G::firstSide(orientation);
    const SidePanelSide second = G::secondSide(orientation);
    SidePanelSide closed = SidePanelSide::None;
    SidePanelSide opened = SidePanelSide::None;
    // Crossing the closed position hands the screen from one side of the axis to the other.
    if (from <= 0 && to >= 0 && from != to) {
        if (!crossClosedPosition(second, first, from < 0, to > 0, closed, opened))
            return;
    } else if (from >= 0 && to <= 0 && from != to) {
        if (!crossClosedPosition(first, second, from > 0, to < 0, closed, opened))
            return;
    }
    auto sliding = m_panel.slidingControllerView();
    if (sliding && sliding->layer()->animationForKey(SidePanelPreviewBounce::animationKey())) {
        // Take over from the drawn position of a running preview instead of jumping.
        sliding->setFrame(sliding->layer()->presentation()->frame());
        sliding->layer()->removeAnimationForKey(SidePanelPreviewBounce::animationKey());
        auto self = m_panel.self();
        ui::View::animate(0.3, 0, kStandardOptions,
                          [self, to, orientation] { self->panToSlidingFrameForOffset(to, orientation, true); });
    } else {
        m_panel.panToSlidingFrameForOffset(to, orientation, false);
    }
    using GestureState = ui::GestureRecognizer::State;
    const GestureState state = pan.state();
    if (state != GestureState::Ended && state != GestureState::Cancelled && state != GestureState::Failed)
        m_panel.hideAppropriateSideViews();
    else
        settlePan(pan, orientation, to);
    m_panel.setAccessibilityForCenterTapper();
    m_panel.notifyDidCloseSide(closed, false);
    m_panel.notifyDidOpenSide(opened, false);
    addPannersIfAllPannersAreInactiveAndNeeded();
}

bool SidePanelPanTracker::crossClosedPosition(SidePanelSide leaving, SidePanelSide entering, bool wasShowing,
                                              bool willShow, SidePanelSide& closed, SidePanelSide& opened)
{
    if (wasShowing) {
        if (!m_panel.checkCanCloseSide(leaving, false))
            return false;
        m_panel.notifyWillCloseSide(leaving, false);
        closed = leaving;
    }
    if (!willShow)
        return true;
    if (!m_panel.checkCanOpenSide(entering)) {
        m_panel.closeSideView(leaving, false, Completion());
        return false;
    }
    m_panel.notifyWillOpenSide(entering, false);
    opened = entering;
    return true;
}

void SidePanelPanTracker::settlePan(ui::PanGestureRecognizer& pan, SidePanelOffsetOrientation orientation, double location)
{
    const double position = G::along(m_panel.slidingFrame().origin, orientation);
    if (position != 0)
        m_panel.centerViewHidden();
    else
        m_panel.centerViewVisible();
    const SidePanelSide first = G::firstSide(orientation);
    const SidePanelSide second = G::secondSide(orientation);
    const double firstOpen = m_panel.ledgeOffsetForSide(first);
    const double secondOpen = m_panel.ledgeOffsetForSide(second);
    const double velocity = G::along(pan.velocityInView(m_panel.referenceView().get()), orientation);
    if (std::fabs(velocity) < kFlingSpeed) {
        // Slow: past two thirds of the way to a side's open offset opens it.
        if (location >= firstOpen - firstOpen / 3)
            m_panel.openSideView(first, true, Completion());
        else if (location <= secondOpen - secondOpen / 3)
            m_panel.openSideView(second, true, Completion());
        else
            m_panel.closeOpenView();
        return;
    }
    // A fling goes the way the finger went, timed by the distance left to where it goes on
    // this axis: the target side's own open offset, or the closed position.
    SidePanelSide target = SidePanelSide::None;
    if (velocity < 0 && location < 0)
        target = second;
    else if (velocity > 0 && location > 0)
        target = first;
    const double targetOffset = target == SidePanelSide::None ? 0 : m_panel.ledgeOffsetForSide(target);
    const double duration = G::flingDuration(position, targetOffset, velocity);
    if (target != SidePanelSide::None)
        m_panel.openSideView(target, true, duration, Completion());
    else
        m_panel.closeOpenViewAnimated(true, duration, Completion());
}

void SidePanelPanTracker::setParallax()
{
    if (m_panel.m_parallaxAmount <= 0)
        return;
    const ui::Rect frame = m_panel.slidingFrame();
    if (auto left = m_panel.leftController()) {
        auto view = left->view();
        const double q = std::min(0.0, frame.x() - (frame.width() - m_panel.ledge(SidePanelSide::Left)));
        view->setFrame(ui::Rect(q * m_panel.m_parallaxAmount, view->frame().y(), view->frame().width(), view->frame().height()));
    }
    if (auto right = m_panel.rightController()) {
        auto view = right->view();
        const double q = std::max(0.0, frame.x() + (frame.width() - m_panel.ledge(SidePanelSide::Right)));
        view->setFrame(ui::Rect(q * m_panel.m_parallaxAmount, view->frame().y(), view->frame().width(), view->frame().height()));
    }
}
