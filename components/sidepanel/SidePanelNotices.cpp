#include "components/sidepanel/SidePanelNotices.h"

#include "components/sidepanel/SidePanelControllerDelegate.h"
#include "components/sidepanel/SidePanelGeometry.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/View.h"

namespace {

using G = SidePanelGeometry;
using State = SidePanelAppearance;

enum class AppearanceMessage { None, WillAppear, DidAppear, WillDisappear, DidDisappear };

// Which appearance callback a step from one state to another sends.
AppearanceMessage appearanceMessage(State from, State to)
{
    if (from >= to) {
        if (to == State::Transitioning)
            return AppearanceMessage::WillDisappear;
        if (to == State::Hidden)
            return AppearanceMessage::DidDisappear;
        return AppearanceMessage::None;
    }
    if (to == State::Transitioning)
        return AppearanceMessage::WillAppear;
    if (to == State::Shown)
        return AppearanceMessage::DidAppear;
    return AppearanceMessage::None;
}

void send(ui::ViewController& controller, AppearanceMessage message, bool animated)
{
    switch (message) {
    case AppearanceMessage::WillAppear: controller.viewWillAppear(animated); break;
    case AppearanceMessage::DidAppear: controller.viewDidAppear(animated); break;
    case AppearanceMessage::WillDisappear: controller.viewWillDisappear(animated); break;
    case AppearanceMessage::DidDisappear: controller.viewDidDisappear(animated); break;
    case AppearanceMessage::None: break;
    }
}

} // namespace

SidePanelNotices::SidePanelNotices(SidePanelController& panel)
    : m_panel(panel)
{
}

SidePanelAppearance SidePanelNotices::sideAppearance(SidePanelSide side) const
{
    return G::isSide(side) ? m_panel.m_sideAppeared[G::slot(side)] : State::Hidden;
}

void SidePanelNotices::notifyAppearanceForSide(SidePanelSide side, bool animated, State from, State to)
{
    if (!G::isSide(side))
        return;
    State& state = m_panel.m_sideAppeared[G::slot(side)];
    if (m_panel.m_viewAppeared < to) {
        // The container has not got that far itself; its own transitions deliver it later.
        state = to;
        return;
    }
    if (from >= to ? state < from : state > from)
        return;
    state = to;
    const AppearanceMessage message = appearanceMessage(from, to);
    auto controller = m_panel.controllerForSide(side);
    if (!m_panel.shouldManageAppearanceMethods() || message == AppearanceMessage::None || !controller)
        return;
    auto self = m_panel.self();
    controller->loadViewIfNeeded();
    send(*controller, message, animated);
}

void SidePanelNotices::transitionAppearanceFrom(State from, State to, bool animated)
{
    const AppearanceMessage message = appearanceMessage(from, to);
    for (SidePanelSide side : G::kSides) {
        const State state = m_panel.m_sideAppeared[G::slot(side)];
        if (from < to && state <= from)
            continue;
        if (from > to && state < from)
            continue;
        auto controller = m_panel.controllerForSide(side);
        if (m_panel.shouldManageAppearanceMethods() && message != AppearanceMessage::None && controller)
            send(*controller, message, animated);
    }
}

void SidePanelNotices::notifyWillOpenSide(SidePanelSide side, bool animated)
{
    if (!G::isSide(side))
        return;
    m_panel.notifyAppearanceForSide(side, animated, State::Hidden, State::Transitioning);
    if (m_panel.isSideClosed(side))
        performDelegate(Notice::WillOpenViewSide, [&](SidePanelControllerDelegate& d) { d.willOpenViewSide(m_panel, side, animated); });
}

void SidePanelNotices::notifyDidOpenSide(SidePanelSide side, bool animated)
{
    if (!G::isSide(side))
        return;
    m_panel.notifyAppearanceForSide(side, animated, State::Transitioning, State::Shown);
    if (m_panel.isSideOpen(side))
        performDelegate(Notice::DidOpenViewSide, [&](SidePanelControllerDelegate& d) { d.didOpenViewSide(m_panel, side, animated); });
}

void SidePanelNotices::notifyWillCloseSide(SidePanelSide side, bool animated)
{
    if (!G::isSide(side))
        return;
    m_panel.notifyAppearanceForSide(side, animated, State::Shown, State::Transitioning);
    if (!m_panel.isSideClosed(side))
        performDelegate(Notice::WillCloseViewSide, [&](SidePanelControllerDelegate& d) { d.willCloseViewSide(m_panel, side, animated); });
}

void SidePanelNotices::notifyDidCloseSide(SidePanelSide side, bool animated)
{
    if (!G::isSide(side))
        return;
    m_panel.notifyAppearanceForSide(side, animated, State::Transitioning, State::Hidden);
    if (!m_panel.isSideClosed(side))
        return;
    performDelegate(Notice::DidCloseViewSide, [&](SidePanelControllerDelegate& d) { d.didCloseViewSide(m_panel, side, animated); });
    performDelegate(Notice::DidShowCenterViewFromSide, [&](SidePanelControllerDelegate& d) { d.didShowCenterViewFromSide(m_panel, side, animated); });
}

void SidePanelNotices::notifyDidChangeOffset(double offset, SidePanelOffsetOrientation orientation, bool panning)
{
    performDelegate(Notice::DidChangeOffset, [&](SidePanelControllerDelegate& d) { d.didChangeOffset(m_panel, offset, orientation, panning); });
}

bool SidePanelNotices::checkCanOpenSide(SidePanelSide side)
{
    if (m_panel.isSideOpen(side))
        return false;
    return checkDelegate([&](SidePanelControllerDelegate& d) { return d.shouldOpenViewSide(m_panel, side); });
}

bool SidePanelNotices::checkCanCloseSide(SidePanelSide side, bool animated)
{
    if (m_panel.isSideClosed(side))
        return false;
    return checkDelegate([&](SidePanelControllerDelegate& d) { return d.shouldCloseViewSide(m_panel, side, animated); });
}

void SidePanelNotices::walkDelegates(const std::function<bool(SidePanelControllerDelegate&)>& deliver)
{
    // Receivers may replace controllers or drop the container's last owner while we walk.
    auto self = m_panel.self();
    auto delegate = m_panel.delegate();
    if (delegate)
        deliver(*delegate);
    if (m_panel.m_delegateMode == SidePanelDelegateMode::DelegateOnly)
        return;
    for (const ControllerPtr& controller : m_panel.controllers()) {
        auto asDelegate = std::dynamic_pointer_cast<SidePanelControllerDelegate>(controller);
        if (asDelegate && asDelegate != delegate && deliver(*asDelegate))
            continue;
        // A navigation controller that does not answer this message (or is the delegate) has
        // its top controller asked.
        auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(controller);
        auto top = navigation ? std::dynamic_pointer_cast<SidePanelControllerDelegate>(navigation->topViewController()) : nullptr;
        if (top && top != delegate)
            deliver(*top);
    }
}

bool SidePanelNotices::checkDelegate(const std::function<std::optional<bool>(SidePanelControllerDelegate&)>& ask)
{
    bool allowed = true;
    walkDelegates([&](SidePanelControllerDelegate& receiver) {
        const std::optional<bool> answer = ask(receiver);
        if (!answer)
            return false;
        allowed = *answer && allowed;   // every receiver is asked, even after a refusal
        return true;
    });
    return allowed;
}

void SidePanelNotices::performDelegate(Notice notice, const Receiver& tell)
{
    // A receiver that has not yet shown it leaves the notice unanswered is told: its default
    // does nothing but record that, and the walk then asks the next in line.
    walkDelegates([&](SidePanelControllerDelegate& receiver) {
        if (!receiver.leavesUnanswered(notice))
            tell(receiver);
        return !receiver.leavesUnanswered(notice);
    });
}

double SidePanelNotices::performDelegateLedge(double proposed, SidePanelSide side)
{
    double current = proposed;
    walkDelegates([&](SidePanelControllerDelegate& receiver) {
        const std::optional<double> answer = receiver.changesLedge(m_panel, current, side);
        if (!answer)
            return false;
        current = *answer;
        return true;
    });
    return current;
}
