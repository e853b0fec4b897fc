#include "components/sidepanel/SidePanelLifecycle.h"

#include "components/sidepanel/SidePanelContainment.h"
#include "components/sidepanel/SidePanelGeometry.h"
#include "components/sidepanel/SidePanelPanTracker.h"
#include "components/sidepanel/SidePanelRotationReplay.h"
#include "components/sidepanel/SidePanelView.h"
#include "platform/core/Dispatch.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

#include <algorithm>

namespace {

using G = SidePanelGeometry;
using State = SidePanelAppearance;

constexpr unsigned kFlexibleSize = ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight;

} // namespace

SidePanelLifecycle::SidePanelLifecycle(SidePanelController& panel)
    : m_panel(panel)
{
}

void SidePanelLifecycle::loadView()
{
    m_panel.m_offset = 0;
    m_panel.m_viewFirstAppeared = false;
    m_panel.m_viewAppeared = State::Hidden;
    auto view = SidePanelView::create(ui::Screen::main().bounds());
    if (dynamic_cast<ui::NavigationController*>(m_panel.presentingViewController().get()))
        view->setNeedsOffsetAdjustment();
    view->setAutoresizingMask(kFlexibleSize);
    view->setAutoresizesSubviews(true);
    view->setClipsToBounds(true);
    m_panel.setView(view);
}

void SidePanelLifecycle::viewDidLoad()
{
    m_panel.ui::ViewController::viewDidLoad();
    m_panel.m_centerView = ui::View::create();
    m_panel.m_centerView->setAutoresizingMask(kFlexibleSize);
    m_panel.m_centerView->setAutoresizesSubviews(true);
    m_panel.m_centerView->setClipsToBounds(true);
    m_panel.view()->addSubview(m_panel.m_centerView);
    m_panel.forgetOriginalShadow();
}

void SidePanelLifecycle::viewWillAppear(bool animated)
{
    m_panel.ui::ViewController::viewWillAppear(animated);
    m_panel.m_containment->observeViewBounds();
    if (!m_panel.m_viewFirstAppeared) {
        m_panel.m_viewFirstAppeared = true;
        const bool appliedNow = m_panel.m_containment->setSlidingAndReferenceViews();
        if (appliedNow)
            m_panel.m_containment->applyViews();
        auto self = m_panel.self();
        core::afterDelay(0.001, [self, appliedNow] {
            if (!appliedNow)
                self->m_containment->applyViews();
            self->setSlidingFrameForOffset(self->m_offset, self->m_offsetOrientation, true);
            self->hideAppropriateSideViews();
        });
        m_panel.m_panTracker->setNeedsAddPanners();
        const bool allClosed = std::all_of(G::kSides, G::kSides + 4, [this](SidePanelSide side) { return m_panel.isSideClosed(side); });
        if (allClosed)
            m_panel.centerViewVisible();
        else
            m_panel.centerViewHidden();
    } else if (m_panel.m_rotationReplay->isReplayPending()) {
        m_panel.m_rotationReplay->replayRotation();
    }
    if (m_panel.shouldManageAppearanceMethods() && m_panel.m_centerController)
        m_panel.m_centerController->viewWillAppear(animated);
    m_panel.transitionAppearanceFrom(State::Hidden, State::Transitioning, animated);
    if (m_panel.m_navigationControllerBehavior == SidePanelNavigationControllerBehavior::Integrated) {
        auto self = m_panel.self();
        core::afterDelay(0.01, [self] {
            auto sliding = self->slidingControllerView();
            if (sliding)
                sliding->setFrame(ui::Rect(self->m_willAppearOffset, sliding->frame().size));
        });
    }
    m_panel.m_viewAppeared = State::Transitioning;
}

void SidePanelLifecycle::viewDidAppear(bool animated)
{
    m_panel.ui::ViewController::viewDidAppear(animated);
    if (m_panel.shouldManageAppearanceMethods() && m_panel.m_centerController)
        m_panel.m_centerController->viewDidAppear(animated);
    m_panel.transitionAppearanceFrom(State::Transitioning, State::Shown, animated);
    m_panel.m_viewAppeared = State::Shown;
}

void SidePanelLifecycle::viewWillDisappear(bool animated)
{
    m_panel.ui::ViewController::viewWillDisappear(animated);
    if (m_panel.shouldManageAppearanceMethods() && m_panel.m_centerController)
        m_panel.m_centerController->viewWillDisappear(animated);
    m_panel.transitionAppearanceFrom(State::Shown, State::Transitioning, animated);
    m_panel.m_viewAppeared = State::Transitioning;
}

void SidePanelLifecycle::viewDidDisappear(bool animated)
{
    m_panel.ui::ViewController::viewDidDisappear(animated);
    if (m_panel.m_navigationControllerBehavior == SidePanelNavigationControllerBehavior::Integrated) {
        if (auto sliding = m_panel.slidingControllerView())
            m_panel.m_willAppearOffset = sliding->frame().origin;
    }
    m_panel.m_containment->stopObservingViewBounds();
    if (m_panel.shouldManageAppearanceMethods() && m_panel.m_centerController)
        m_panel.m_centerController->viewDidDisappear(animated);
    m_panel.transitionAppearanceFrom(State::Transitioning, State::Hidden, animated);
    m_panel.m_viewAppeared = State::Hidden;
}
