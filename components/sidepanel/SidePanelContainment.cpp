#include "components/sidepanel/SidePanelContainment.h"

#include "components/sidepanel/SidePanelGeometry.h"
#include "components/sidepanel/SidePanelItem.h"
#include "components/sidepanel/SidePanelNavigation.h"
#include "components/sidepanel/SidePanelPanTracker.h"
#include "components/sidepanel/SidePanelView.h"
#include "platform/ui/Layer.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"

namespace {

using G = SidePanelGeometry;
using State = SidePanelAppearance;

constexpr unsigned kFlexibleSize = ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight;

// A missing title differs from an empty one.
bool sameTitle(const QString& a, const QString& b)
{
    return a.isNull() == b.isNull() && a == b;
}

} // namespace

void SidePanelContainment::letGo(ui::ViewController& controller)
{
    SidePanelItem::setSidePanelController(controller, nullptr);
    controller.removeFromParentViewController();
    controller.didMoveToParentViewController(nullptr);
}

SidePanelContainment::SidePanelContainment(SidePanelController& panel)
    : m_panel(panel)
{
}

void SidePanelContainment::releaseAll()
{
    // The back references are weak and already read null.
    auto release = [](const ControllerPtr& controller) {
        if (!controller)
            return;
        controller->willMoveToParentViewController(nullptr);
        letGo(*controller);
    };
    if (m_panel.m_centerController && m_panel.m_centerTitleObserver)
        m_panel.m_centerController->removeObserver(m_panel.m_centerTitleObserver);
    release(m_panel.m_centerController);
    for (SidePanelSide side : G::kSides)
        release(m_panel.m_controllers[G::slot(side)]);
}

std::shared_ptr<ui::View> SidePanelContainment::slidingControllerView() const
{
    if (!SidePanelNavigation::integrated(m_panel))
        return m_panel.m_centerView;
    auto sliding = m_panel.m_slidingController.lock();
    return sliding ? sliding->view() : nullptr;
}

bool SidePanelContainment::setSlidingAndReferenceViews()
{
    if (auto navigation = SidePanelNavigation::integrated(m_panel)) {
        // Integrated: the navigation controller's view slides within its superview.
        auto superview = navigation->view()->superview();
        if (!superview)
            return false;
        m_panel.m_slidingController = navigation;
        m_panel.m_referenceView = superview;
    } else {
        m_panel.m_slidingController = m_panel.m_centerController;
        m_panel.m_referenceView = m_panel.view();
    }
    finishTransitionBlocks();
    return true;
}

void SidePanelContainment::setCenterController(ControllerPtr controller)
{
    if (controller == m_panel.m_centerController)
        return;
    auto self = m_panel.self();
    ui::Rect carried = m_panel.referenceBounds();
    if (auto old = m_panel.m_centerController) {
        carried = old->view()->frame();
        releaseCenter(old, controller);
    } else {
        // A controller never sits in two slots, whether or not a centre is being replaced.
        releaseFromOtherSlots(controller, SidePanelSide::None);
    }
    m_panel.m_centerController = controller;
    if (controller)
        adoptCenter(controller, carried);
}

// The old centre leaves completely (calls, views, observations) before a new one arrives.
void SidePanelContainment::releaseCenter(const ControllerPtr& old, const ControllerPtr& successor)
{
    auto self = m_panel.self();
    old->willMoveToParentViewController(nullptr);
    releaseFromOtherSlots(successor, SidePanelSide::None);
    if (m_panel.m_viewFirstAppeared)
        detachCenter(old);
    if (m_panel.m_centerTitleObserver)
        old->removeObserver(m_panel.m_centerTitleObserver);
    m_panel.m_centerTitleObserver = 0;
    if (m_panel.m_automaticallyUpdateTabBarItems)
        stopObservingCenterTabBar(old);
    letGo(*old);
}

void SidePanelContainment::adoptCenter(const ControllerPtr& controller, const ui::Rect& carried)
{
    auto self = m_panel.self();
    controller->willMoveToParentViewController(self);
    m_panel.addChildViewController(controller);
    SidePanelItem::setSidePanelController(*controller, self);
    std::weak_ptr<SidePanelController> weak = self;
    m_panel.m_centerTitleObserver = controller->addObserver(ui::ViewController::Property::Title, [weak] {
        if (auto container = weak.lock())
            container->m_containment->centerTitleChanged();
    });
    m_panel.setTitle(controller->title());
    if (m_panel.m_automaticallyUpdateTabBarItems) {
        observeCenterTabBar();
        copyCenterTabBarItem();
        m_panel.setHidesBottomBarWhenPushed(controller->hidesBottomBarWhenPushed());
    }
    controller->loadViewIfNeeded();
    m_panel.applyCenterViewOpacityIfNeeded();
    m_panel.applyCenterViewCornerRadiusAnimated(false);
    if (m_panel.m_viewFirstAppeared)
        attachCenter(controller, carried);
    controller->didMoveToParentViewController(self);
    if (m_panel.isAnySideOpen())
        m_panel.centerViewHidden();
}

void SidePanelContainment::detachCenter(const ControllerPtr& old)
{
    if (m_panel.shouldManageAppearanceMethods())
        old->viewWillDisappear(false);
    m_panel.restoreShadowToSlidingView();
    m_panel.m_panTracker->removePanners();
    old->view()->removeFromSuperview();
    if (m_panel.shouldManageAppearanceMethods())
        old->viewDidDisappear(false);
    if (m_panel.m_centerView)
        m_panel.m_centerView->removeFromSuperview();
}

void SidePanelContainment::attachCenter(const ControllerPtr& controller, const ui::Rect& frame)
{
    if (m_panel.m_centerView)
        m_panel.view()->addSubview(m_panel.m_centerView);
    if (m_panel.shouldManageAppearanceMethods())
        controller->viewWillAppear(false);
    // A navigation centre lays its bar out anew once its view is in place.
    auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(controller);
    const bool hideBarMeanwhile = SidePanelNavigation::shownBar(controller) != nullptr;
    if (hideBarMeanwhile)
        navigation->setNavigationBarHidden(true);
    setSlidingAndReferenceViews();
    auto controllerView = controller->view();
    controllerView->setFrame(frame);
    controllerView->setAutoresizingMask(kFlexibleSize);
    controllerView->setHidden(false);
    if (m_panel.m_centerView)
        m_panel.m_centerView->addSubview(controllerView);
    if (hideBarMeanwhile)
        navigation->setNavigationBarHidden(false);
    m_panel.m_panTracker->addPanners();
    m_panel.applyShadowToSlidingViewAnimated(false);
    if (m_panel.shouldManageAppearanceMethods())
        controller->viewDidAppear(false);
}

QString SidePanelContainment::title() const
{
    return m_panel.m_centerController ? m_panel.m_centerController->title() : QString();
}

void SidePanelContainment::setTitle(const QString& title)
{
    if (!sameTitle(title, m_panel.ui::ViewController::title()))
        m_panel.ui::ViewController::setTitle(title);
    if (m_panel.m_centerController && !sameTitle(title, m_panel.m_centerController->title()))
        m_panel.m_centerController->setTitle(title);
}

void SidePanelContainment::centerTitleChanged()
{
    if (m_panel.m_centerController && !sameTitle(m_panel.ui::ViewController::title(), m_panel.m_centerController->title()))
        m_panel.setTitle(m_panel.m_centerController->title());
}

void SidePanelContainment::setAutomaticallyUpdateTabBarItems(bool automatically)
{
    if (m_panel.m_automaticallyUpdateTabBarItems)
        stopObservingCenterTabBar(m_panel.m_centerController);
    m_panel.m_automaticallyUpdateTabBarItems = automatically;
    if (!automatically)
        return;
    observeCenterTabBar();
    copyCenterTabBarItem();
}

void SidePanelContainment::observeCenterTabBar()
{
    if (!m_panel.m_centerController)
        return;
    std::weak_ptr<SidePanelController> weak = m_panel.self();
    auto onChange = [weak](void (SidePanelContainment::*react)()) {
        return [weak, react] {
            if (auto container = weak.lock())
                (container->m_containment.get()->*react)();
        };
    };
    m_panel.m_centerTabBarObservers = {
        m_panel.m_centerController->addObserver(ui::ViewController::Property::TabBarItemTitle, onChange(&SidePanelContainment::copyCenterTabBarTitle)),
        m_panel.m_centerController->addObserver(ui::ViewController::Property::TabBarItemImage, onChange(&SidePanelContainment::copyCenterTabBarImage)),
        m_panel.m_centerController->addObserver(ui::ViewController::Property::HidesBottomBarWhenPushed,
                                        onChange(&SidePanelContainment::centerHidesBottomBarChanged)),
    };
}

void SidePanelContainment::stopObservingCenterTabBar(const ControllerPtr& center)
{
    // An observation that is already gone is no error here.
    if (center) {
        for (SidePanelController::ObserverId id : m_panel.m_centerTabBarObservers)
            center->removeObserver(id);
    }
    m_panel.m_centerTabBarObservers.clear();
}

void SidePanelContainment::copyCenterTabBarItem()
{
    copyCenterTabBarTitle();
    copyCenterTabBarImage();
}

// A change of one copies that one only: the container's own item may differ in the other.
void SidePanelContainment::copyCenterTabBarTitle()
{
    if (m_panel.m_centerController)
        m_panel.tabBarItem()->setTitle(m_panel.m_centerController->tabBarItem()->title());
}

void SidePanelContainment::copyCenterTabBarImage()
{
    if (m_panel.m_centerController)
        m_panel.tabBarItem()->setImage(m_panel.m_centerController->tabBarItem()->image());
}

void SidePanelContainment::centerHidesBottomBarChanged()
{
    if (!m_panel.m_centerController)
        return;
    const bool hides = m_panel.m_centerController->hidesBottomBarWhenPushed();
    m_panel.setHidesBottomBarWhenPushed(hides);
    if (auto tabs = m_panel.tabBarController())
        tabs->setHidesBottomBarWhenPushed(hides);
}

void SidePanelContainment::setController(ControllerPtr controller, SidePanelSide side)
{
    if (!G::isSide(side) || controller == m_panel.m_controllers[G::slot(side)])
        return;
    auto self = m_panel.self();
    const SidePanelSide oldSide = controller ? m_panel.sideForController(controller.get()) : SidePanelSide::None;
    ui::Rect carried = m_panel.referenceBounds();
    if (auto previous = m_panel.m_controllers[G::slot(side)]) {
        carried = previous->view()->frame();
        previous->willMoveToParentViewController(nullptr);
        if (controller && controller == m_panel.m_centerController)
            m_panel.setCenterController(nullptr);
        if (m_panel.m_viewFirstAppeared)
            detachSideView(side);
        if (G::isSide(oldSide))
            vacateSideSlot(oldSide);
        letGo(*previous);
    } else {
        // Moving a controller into an empty slot takes it out of the one it had.
        releaseFromOtherSlots(controller, side);
    }
    m_panel.m_controllers[G::slot(side)] = controller;
    if (!controller)
        return;
    std::weak_ptr<SidePanelController> weak = self;
    std::weak_ptr<ui::ViewController> weakController = controller;
    // Whether the adoption moves the view and sends appearance calls is decided now: a side
    // set before the first appearance is laid out, and told it appears, by the container's
    // own appearance code when it opens, however late the queue runs.
    const bool attachView = m_panel.m_viewFirstAppeared;
    enqueueFinishTransitionBlock([weak, weakController, side, carried, attachView] {
        auto container = weak.lock();
        auto adopted = weakController.lock();
        // A controller replaced while it waited in the queue is no longer the container's.
        if (!container || !adopted || container->controllerForSide(side) != adopted)
            return;
        container->m_containment->adoptSideController(adopted, side, carried, attachView);
    }, controller);
}

void SidePanelContainment::releaseFromOtherSlots(const ControllerPtr& controller, SidePanelSide keep)
{
    if (!controller)
        return;
    if (G::isSide(keep) && controller == m_panel.m_centerController)
        m_panel.setCenterController(nullptr);
    for (SidePanelSide side : G::kSides) {
        if (side == keep || m_panel.controllerForSide(side) != controller)
            continue;
        if (G::isSide(keep))
            vacateSideSlot(side);   // moving between sides: the new slot adopts it again
        else
            m_panel.setController(nullptr, side);   // becoming the centre: the side lets it go fully
    }
}

void SidePanelContainment::vacateSideSlot(SidePanelSide side)
{
    // The controller leaves without calls; the slot's appearance starts afresh for the next one.
    m_panel.m_controllers[G::slot(side)].reset();
    m_panel.m_sideAppeared[G::slot(side)] = State::Hidden;
}

void SidePanelContainment::adoptSideController(const ControllerPtr& controller, SidePanelSide side, const ui::Rect& frame,
                                               bool attachView)
{
    auto self = m_panel.self();
    // Side controllers are children of the container's grandparent, as far up as there is one.
    ControllerPtr parent = m_panel.parentViewController() ? m_panel.parentViewController()->parentViewController() : nullptr;
    if (!parent)
        parent = m_panel.presentingViewController();
    if (!parent)
        parent = self;
    parent->addChildViewController(controller);
    SidePanelItem::setSidePanelController(*controller, self);
    if (attachView)
        attachSideView(controller, side, frame);
    controller->didMoveToParentViewController(parent);
    m_panel.applyCenterViewOpacityIfNeeded();
}

void SidePanelContainment::detachSideView(SidePanelSide side)
{
    m_panel.notifyAppearanceForSide(side, false, State::Shown, State::Transitioning);
    if (auto controller = m_panel.controllerForSide(side))
        controller->view()->removeFromSuperview();
    m_panel.notifyAppearanceForSide(side, false, State::Transitioning, State::Hidden);
}

void SidePanelContainment::attachSideView(const ControllerPtr& controller, SidePanelSide side, const ui::Rect& frame)
{
    m_panel.notifyAppearanceForSide(side, false, State::Hidden, State::Transitioning);
    m_panel.hideAppropriateSideViews();
    auto sideView = controller->view();
    sideView->setFrame(frame);
    sideView->setAutoresizingMask(kFlexibleSize);
    if (auto reference = m_panel.referenceView()) {
        if (!m_panel.m_slidingController.expired())
            reference->insertSubviewBelow(sideView, m_panel.slidingControllerView());
        else
            reference->addSubview(sideView);
    }
    m_panel.notifyAppearanceForSide(side, false, State::Transitioning, State::Shown);
}

void SidePanelContainment::enqueueFinishTransitionBlock(std::function<void()> block, const ControllerPtr& controller)
{
    auto self = m_panel.self();
    controller->willMoveToParentViewController(self);
    if (m_panel.referenceView()) {
        block();
        return;
    }
    SidePanelItem::setSidePanelController(*controller, self);
    if (!m_panel.m_finishTransitionBlocks) {
        m_panel.m_finishTransitionBlocks.emplace();
        observeTransitionKeys();
    }
    m_panel.m_finishTransitionBlocks->push_back(std::move(block));
}

void SidePanelContainment::observeTransitionKeys()
{
    std::weak_ptr<SidePanelController> weak = m_panel.self();
    auto finish = [weak] {
        if (auto container = weak.lock())
            container->m_containment->finishTransitionBlocks();
    };
    m_panel.m_transitionObservers = {m_panel.addObserver(ui::ViewController::Property::ParentViewController, finish),
                             m_panel.addObserver(ui::ViewController::Property::PresentingViewController, finish)};
}

void SidePanelContainment::stopObservingTransitionKeys()
{
    for (SidePanelController::ObserverId id : m_panel.m_transitionObservers)
        m_panel.removeObserver(id);
    m_panel.m_transitionObservers.clear();
}

void SidePanelContainment::finishTransitionBlocks()
{
    if (!(m_panel.parentViewController() || m_panel.presentingViewController()) || !m_panel.referenceView() || !m_panel.m_finishTransitionBlocks)
        return;
    stopObservingTransitionKeys();
    auto blocks = std::move(*m_panel.m_finishTransitionBlocks);
    m_panel.m_finishTransitionBlocks.reset();
    for (const auto& block : blocks)
        block();
}

void SidePanelContainment::applyViews()
{
    if (m_panel.m_viewsApplied)
        return;
    m_panel.m_viewsApplied = true;
    if (m_panel.m_centerController && m_panel.m_centerView) {
        auto centerControllerView = m_panel.m_centerController->view();
        centerControllerView->removeFromSuperview();
        m_panel.m_centerView->addSubview(centerControllerView);
    }
    auto sliding = m_panel.slidingControllerView();
    auto reference = m_panel.referenceView();
    for (SidePanelSide side : G::kSides) {
        auto controller = m_panel.controllerForSide(side);
        if (!controller || !reference)
            continue;
        auto sideView = controller->view();
        sideView->removeFromSuperview();
        reference->insertSubviewBelow(sideView, sliding);
    }
    m_panel.setSlidingFrameForOffset(m_panel.m_offset, m_panel.m_offsetOrientation, true);
    if (sliding)
        sliding->setHidden(false);
    if (m_panel.m_centerView)
        m_panel.m_centerView->setFrame(m_panel.centerViewBounds());
    if (m_panel.m_centerController && m_panel.m_centerView) {
        auto centerControllerView = m_panel.m_centerController->view();
        centerControllerView->setAutoresizingMask(kFlexibleSize);
        centerControllerView->setFrame(m_panel.m_centerView->bounds());
    }
    for (SidePanelSide side : G::kSides) {
        auto controller = m_panel.controllerForSide(side);
        if (!controller)
            continue;
        auto sideView = controller->view();
        sideView->setFrame(m_panel.sideViewBounds());
        sideView->setAutoresizingMask(kFlexibleSize);
    }
    m_panel.applyCenterViewCornerRadiusAnimated(false);
    m_panel.applyShadowToSlidingViewAnimated(false);
    m_panel.applyCenterViewOpacityIfNeeded();
}

void SidePanelContainment::observeViewBounds()
{
    auto view = m_panel.panelView();
    if (!view)
        return;
    // The view reports each layout pass; only a change of bounds matters here.
    m_panel.m_observedBounds = view->bounds();
    std::weak_ptr<SidePanelController> weak = m_panel.self();
    view->onLayout = [weak] {
        if (auto container = weak.lock())
            container->m_containment->viewBoundsMayHaveChanged();
    };
}

void SidePanelContainment::stopObservingViewBounds()
{
    if (auto view = m_panel.panelView())
        view->onLayout = nullptr;
}

void SidePanelContainment::viewBoundsMayHaveChanged()
{
    auto view = m_panel.panelView();
    if (!view || view->bounds() == m_panel.m_observedBounds)
        return;
    m_panel.m_observedBounds = view->bounds();
    m_panel.setSlidingFrameForOffset(m_panel.m_offset, m_panel.m_offsetOrientation, false);
    if (auto sliding = m_panel.slidingControllerView())
        sliding->layer()->setShadowPath(ui::Path::rect(m_panel.referenceBounds()));
    if (SidePanelNavigation::shownBar(m_panel.m_centerController)) {
        auto navigation = std::static_pointer_cast<ui::NavigationController>(m_panel.m_centerController);
        navigation->setNavigationBarHidden(true);
        navigation->setNavigationBarHidden(false);
    }
}
