#include "components/sidepanel/PanelWrapController.h"

#include "components/sidepanel/WrapControllerItem.h"
#include "platform/ui/Application.h"
#include "platform/ui/MemoryWarning.h"
#include "platform/ui/View.h"

namespace {
constexpr unsigned kFlexibleSize = ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight;
}

std::shared_ptr<PanelWrapController> PanelWrapController::create(std::shared_ptr<ui::ViewController> controller)
{
    auto wrapper = std::shared_ptr<PanelWrapController>(new PanelWrapController(std::move(controller)));
    wrap(wrapper);
    return wrapper;
}

PanelWrapController::PanelWrapController(std::shared_ptr<ui::ViewController> controller)
    : m_wrappedController(std::move(controller))
{
}

void PanelWrapController::wrap(const std::shared_ptr<PanelWrapController>& wrapper)
{
    WrapControllerItem::install();
    if (auto wrapped = wrapper->m_wrappedController) {
        WrapControllerItem::setWrapController(*wrapped, wrapper);
        wrapper->observeWrappedTabBar();
    }
}

void PanelWrapController::observeWrappedTabBar()
{
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    for (Property property : {Property::TabBarItemTitle, Property::TabBarItemImage, Property::HidesBottomBarWhenPushed}) {
        m_wrappedTabBarObservers.push_back(m_wrappedController->addObserver(property, [weak, property] {
            if (auto wrapper = weak.lock())
                static_cast<PanelWrapController&>(*wrapper).notify(property);
        }));
    }
}

PanelWrapController::~PanelWrapController()
{
    auto wrapped = m_wrappedController;
    if (!wrapped)
        return;
    for (ObserverId id : m_wrappedTabBarObservers)
        wrapped->removeObserver(id);
    wrapped->willMoveToParentViewController(nullptr);
    wrapped->removeFromParentViewController();
    WrapControllerItem::setWrapController(*wrapped, nullptr);
    wrapped->didMoveToParentViewController(nullptr);
}

double PanelWrapController::statusBarHeight() const
{
    const auto& application = ui::Application::shared();
    const ui::Rect frame = application.statusBarFrame();
    return ui::isLandscape(application.statusBarOrientation()) ? frame.width() : frame.height();
}

void PanelWrapController::loadView()
{
    if (!m_wrappedController) {
        ui::ViewController::loadView();
        return;
    }
    auto wrappedView = m_wrappedController->view();
    const ui::Rect frame = wrappedView->frame();
    const double statusBar = statusBarHeight();
    auto view = ui::View::create(ui::Rect(frame.x(), frame.y() + statusBar, frame.width(), frame.height() - statusBar));
    view->setAutoresizingMask(wrappedView->autoresizingMask());
    wrappedView->setFrame(view->bounds());
    wrappedView->setAutoresizingMask(kFlexibleSize);
    setView(view);
    addChildViewController(m_wrappedController);
    view->addSubview(wrappedView);
}

void PanelWrapController::viewDidLoad()
{
    ui::ViewController::viewDidLoad();
    auto self = std::static_pointer_cast<PanelWrapController>(shared_from_this());
    if (m_wrappedController)
        m_wrappedController->didMoveToParentViewController(self);
    if (onViewDidLoad)
        onViewDidLoad(*this);
}

std::shared_ptr<ui::TabBarItem> PanelWrapController::tabBarItem()
{
    return m_wrappedController ? m_wrappedController->tabBarItem() : nullptr;
}

void PanelWrapController::setTabBarItem(const std::shared_ptr<ui::TabBarItem>& item)
{
    if (m_wrappedController)
        m_wrappedController->setTabBarItem(item);
}

bool PanelWrapController::hidesBottomBarWhenPushed() const
{
    return m_wrappedController && m_wrappedController->hidesBottomBarWhenPushed();
}

void PanelWrapController::setHidesBottomBarWhenPushed(bool hides)
{
    if (m_wrappedController)
        m_wrappedController->setHidesBottomBarWhenPushed(hides);
}

void PanelWrapController::viewWillAppear(bool animated)
{
    auto self = shared_from_this();
    ui::ViewController::viewWillAppear(animated);
    relayAppearance(onViewWillAppear, &ui::ViewController::viewWillAppear, animated);
}

void PanelWrapController::viewDidAppear(bool animated)
{
    auto self = shared_from_this();
    ui::ViewController::viewDidAppear(animated);
    relayAppearance(onViewDidAppear, &ui::ViewController::viewDidAppear, animated);
}

void PanelWrapController::viewWillDisappear(bool animated)
{
    auto self = shared_from_this();
    ui::ViewController::viewWillDisappear(animated);
    relayAppearance(onViewWillDisappear, &ui::ViewController::viewWillDisappear, animated);
}

void PanelWrapController::viewDidDisappear(bool animated)
{
    auto self = shared_from_this();
    ui::ViewController::viewDidDisappear(animated);
    relayAppearance(onViewDidDisappear, &ui::ViewController::viewDidDisappear, animated);
}

// After the wrapper's own step: the client's hook, then the wrapped controller.
void PanelWrapController::relayAppearance(const AppearanceHook& hook, void (ui::ViewController::*step)(bool),
                                          bool animated)
{
    if (hook)
        hook(*this, animated);
    if (m_wrappedController)
        (m_wrappedController.get()->*step)(animated);
}

bool PanelWrapController::shouldAutorotate()
{
    return m_wrappedController && m_wrappedController->shouldAutorotate();
}

unsigned PanelWrapController::supportedInterfaceOrientations()
{
    return m_wrappedController ? m_wrappedController->supportedInterfaceOrientations() : 0;
}

bool PanelWrapController::shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation orientation)
{
    return m_wrappedController && m_wrappedController->shouldAutorotateToInterfaceOrientation(orientation);
}

void PanelWrapController::willRotateToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration)
{
    ui::ViewController::willRotateToInterfaceOrientation(orientation, duration);
    if (m_wrappedController)
        m_wrappedController->willRotateToInterfaceOrientation(orientation, duration);
}

void PanelWrapController::willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration)
{
    ui::ViewController::willAnimateRotationToInterfaceOrientation(orientation, duration);
    if (m_wrappedController)
        m_wrappedController->willAnimateRotationToInterfaceOrientation(orientation, duration);
}

void PanelWrapController::didRotateFromInterfaceOrientation(ui::InterfaceOrientation from)
{
    ui::ViewController::didRotateFromInterfaceOrientation(from);
    if (m_wrappedController)
        m_wrappedController->didRotateFromInterfaceOrientation(from);
}

void PanelWrapController::didReceiveMemoryWarning()
{
    // Only the wrapped controller holds anything worth releasing.
    if (m_wrappedController)
        ui::MemoryWarning::pass(m_wrappedController);
}

std::vector<std::shared_ptr<ui::ViewController>> PanelWrapController::memoryWarningRelays() const
{
    if (!m_wrappedController)
        return {};
    return {m_wrappedController};
}

void PanelWrapController::viewDidUnload()
{
    ui::ViewController::viewDidUnload();
    // Only a view the wrapped controller still has: asking for one would load it just to
    // take it away.
    if (auto wrappedView = m_wrappedController ? m_wrappedController->viewIfLoaded() : nullptr)
        wrappedView->removeFromSuperview();
}

void PanelWrapController::willAnimateFirstHalfOfRotationToInterfaceOrientation(ui::InterfaceOrientation to, double duration)
{
    ui::ViewController::willAnimateFirstHalfOfRotationToInterfaceOrientation(to, duration);
    if (m_wrappedController)
        m_wrappedController->willAnimateFirstHalfOfRotationToInterfaceOrientation(to, duration);
}

void PanelWrapController::willAnimateSecondHalfOfRotationFromInterfaceOrientation(ui::InterfaceOrientation from, double duration)
{
    ui::ViewController::willAnimateSecondHalfOfRotationFromInterfaceOrientation(from, duration);
    if (m_wrappedController)
        m_wrappedController->willAnimateSecondHalfOfRotationFromInterfaceOrientation(from, duration);
}

std::shared_ptr<SidePanelControllerDelegate> PanelWrapController::wrappedDelegate() const
{
    return std::dynamic_pointer_cast<SidePanelControllerDelegate>(m_wrappedController);
}

void PanelWrapController::relayNotice(Notice notice, const std::function<void(SidePanelControllerDelegate&)>& tell)
{
    auto wrapped = wrappedDelegate();
    if (wrapped && !wrapped->leavesUnanswered(notice))
        tell(*wrapped);
    if (!wrapped || wrapped->leavesUnanswered(notice))
        unanswered(notice);
}

std::optional<bool> PanelWrapController::shouldPan(SidePanelController& container, ui::PanGestureRecognizer& pan)
{
    auto wrapped = wrappedDelegate();
    return wrapped ? wrapped->shouldPan(container, pan) : std::nullopt;
}

bool PanelWrapController::applyShadow(SidePanelController& container, ui::Layer& shadowLayer, const ui::Rect& bounds)
{
    auto wrapped = wrappedDelegate();
    return wrapped && wrapped->applyShadow(container, shadowLayer, bounds);
}

void PanelWrapController::didChangeOffset(SidePanelController& container, double offset,
                                          SidePanelOffsetOrientation orientation, bool panning)
{
    relayNotice(Notice::DidChangeOffset,
                [&](SidePanelControllerDelegate& d) { d.didChangeOffset(container, offset, orientation, panning); });
}

void PanelWrapController::didBounceViewSideOpeningController(SidePanelController& container, SidePanelSide side,
                                                             const std::shared_ptr<ui::ViewController>& controller)
{
    relayNotice(Notice::DidBounceViewSideOpeningController,
                [&](SidePanelControllerDelegate& d) { d.didBounceViewSideOpeningController(container, side, controller); });
}

void PanelWrapController::didBounceViewSideClosingController(SidePanelController& container, SidePanelSide side,
                                                             const std::shared_ptr<ui::ViewController>& controller)
{
    relayNotice(Notice::DidBounceViewSideClosingController,
                [&](SidePanelControllerDelegate& d) { d.didBounceViewSideClosingController(container, side, controller); });
}

std::optional<bool> PanelWrapController::shouldOpenViewSide(SidePanelController& container, SidePanelSide side)
{
    auto wrapped = wrappedDelegate();
    return wrapped ? wrapped->shouldOpenViewSide(container, side) : std::nullopt;
}

void PanelWrapController::willOpenViewSide(SidePanelController& container, SidePanelSide side, bool animated)
{
    relayNotice(Notice::WillOpenViewSide, [&](SidePanelControllerDelegate& d) { d.willOpenViewSide(container, side, animated); });
}

void PanelWrapController::didOpenViewSide(SidePanelController& container, SidePanelSide side, bool animated)
{
    relayNotice(Notice::DidOpenViewSide, [&](SidePanelControllerDelegate& d) { d.didOpenViewSide(container, side, animated); });
}

std::optional<bool> PanelWrapController::shouldCloseViewSide(SidePanelController& container, SidePanelSide side, bool animated)
{
    auto wrapped = wrappedDelegate();
    return wrapped ? wrapped->shouldCloseViewSide(container, side, animated) : std::nullopt;
}

void PanelWrapController::willCloseViewSide(SidePanelController& container, SidePanelSide side, bool animated)
{
    relayNotice(Notice::WillCloseViewSide, [&](SidePanelControllerDelegate& d) { d.willCloseViewSide(container, side, animated); });
}

void PanelWrapController::didCloseViewSide(SidePanelController& container, SidePanelSide side, bool animated)
{
    relayNotice(Notice::DidCloseViewSide, [&](SidePanelControllerDelegate& d) { d.didCloseViewSide(container, side, animated); });
}

void PanelWrapController::didShowCenterViewFromSide(SidePanelController& container, SidePanelSide side, bool animated)
{
    relayNotice(Notice::DidShowCenterViewFromSide,
                [&](SidePanelControllerDelegate& d) { d.didShowCenterViewFromSide(container, side, animated); });
}

std::optional<bool> PanelWrapController::shouldPreviewBounceViewSide(SidePanelController& container, SidePanelSide side)
{
    auto wrapped = wrappedDelegate();
    return wrapped ? wrapped->shouldPreviewBounceViewSide(container, side) : std::nullopt;
}

void PanelWrapController::willPreviewBounceViewSide(SidePanelController& container, SidePanelSide side, bool animated)
{
    relayNotice(Notice::WillPreviewBounceViewSide,
                [&](SidePanelControllerDelegate& d) { d.willPreviewBounceViewSide(container, side, animated); });
}

void PanelWrapController::didPreviewBounceViewSide(SidePanelController& container, SidePanelSide side, bool animated)
{
    relayNotice(Notice::DidPreviewBounceViewSide,
                [&](SidePanelControllerDelegate& d) { d.didPreviewBounceViewSide(container, side, animated); });
}

std::optional<double> PanelWrapController::changesLedge(SidePanelController& container, double ledge, SidePanelSide side)
{
    auto wrapped = wrappedDelegate();
    return wrapped ? wrapped->changesLedge(container, ledge, side) : std::nullopt;
}

std::optional<bool> PanelWrapController::shouldBeginPanOverView(SidePanelController& container, ui::View& view)
{
    auto wrapped = wrappedDelegate();
    return wrapped ? wrapped->shouldBeginPanOverView(container, view) : std::nullopt;
}
