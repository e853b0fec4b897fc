#include "components/sidepanel/PanelWrapController.h"

#include "components/sidepanel/WrapControllerItem.h"
#include "platform/ui/Application.h"
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
    if (auto wrapped = wrapper->m_wrappedController)
        WrapControllerItem::setWrapController(*wrapped, wrapper);
}

PanelWrapController::~PanelWrapController()
{
    auto wrapped = m_wrappedController;
    if (!wrapped)
        return;
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
        m_wrappedController->didReceiveMemoryWarning();
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
