#include "platform/ui/NavigationController.h"

#include "platform/core/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

#include <algorithm>

namespace ui {

namespace {

constexpr unsigned kFlexibleSize = Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight;

bool contains(const std::vector<std::shared_ptr<ViewController>>& list, const std::shared_ptr<ViewController>& c)
{
    return std::find(list.begin(), list.end(), c) != list.end();
}

// The navigation controller's own view: it lays out the bar and the top controller's view.
class NavigationView : public View {
public:
    static std::shared_ptr<NavigationView> create(const Rect& frame)
    {
        return std::shared_ptr<NavigationView>(new NavigationView(frame));
    }
    std::function<void()> onLayout;

protected:
    explicit NavigationView(const Rect& frame) : View(frame) {}
    void layoutSubviews() override
    {
        if (onLayout)
            onLayout();
    }
    // The status bar of the new window may cover the top edge: place the bar before anyone
    // reads the frames below it, not on the next pass.
    void didMoveToWindow() override
    {
        if (onLayout)
            onLayout();
    }
};

} // namespace

std::shared_ptr<NavigationController> NavigationController::create(std::shared_ptr<ViewController> rootViewController)
{
    auto navigation = std::shared_ptr<NavigationController>(new NavigationController());
    if (rootViewController)
        navigation->setViewControllers({std::move(rootViewController)});
    return navigation;
}

NavigationController::NavigationController()
    : m_navigationBar(NavigationBar::create(Rect(0, 0, Screen::main().size().width, NavigationBar::kHeight)))
{
}

NavigationController::~NavigationController() = default;

std::shared_ptr<NavigationController> NavigationController::enclosing(const ViewController& controller)
{
    for (auto parent = controller.parentViewController(); parent; parent = parent->parentViewController()) {
        if (auto navigation = std::dynamic_pointer_cast<NavigationController>(parent))
            return navigation;
    }
    return nullptr;
}

std::shared_ptr<ViewController> NavigationController::topViewController() const
{
    return m_viewControllers.empty() ? nullptr : m_viewControllers.back();
}

bool NavigationController::refuseWhileInTransition(const char* what) const
{
    if (!m_inTransition)
        return false;
    core::log(QStringLiteral("NavigationController"),
              QStringLiteral("warning: cannot %1 while a transition is in progress; ignored").arg(QLatin1String(what)));
    return true;
}

// ---- the stack ------------------------------------------------------------------------

void NavigationController::setViewControllers(const std::vector<std::shared_ptr<ViewController>>& controllers)
{
    if (refuseWhileInTransition("replace the stack"))
        return;
    auto self = std::static_pointer_cast<NavigationController>(shared_from_this());
    std::vector<std::shared_ptr<ViewController>> incoming;
    for (const auto& controller : controllers) {
        if (controller && controller != self && !contains(incoming, controller))
            incoming.push_back(controller);
    }
    const auto outgoing = m_viewControllers;
    const auto previousTop = topViewController();
    for (const auto& controller : outgoing) {
        if (!contains(incoming, controller))
            controller->willMoveToParentViewController(nullptr);
    }
    for (const auto& controller : incoming) {
        if (contains(outgoing, controller))
            continue;
        controller->willMoveToParentViewController(self);
        addChildViewController(controller);
    }
    m_viewControllers = incoming;
    updateBarItems();
    auto finish = [self, outgoing, incoming] {
        for (const auto& controller : outgoing) {
            if (contains(incoming, controller))
                continue;
            controller->removeFromParentViewController();
            controller->didMoveToParentViewController(nullptr);
        }
        for (const auto& controller : incoming) {
            if (!contains(outgoing, controller))
                controller->didMoveToParentViewController(self);
        }
    };
    if (previousTop == topViewController())
        finish();
    else
        transition(previousTop, topViewController(), Direction::Push, false, std::move(finish));
}

void NavigationController::pushViewController(const std::shared_ptr<ViewController>& controller, bool animated)
{
    if (!controller || refuseWhileInTransition("push"))
        return;
    auto self = std::static_pointer_cast<NavigationController>(shared_from_this());
    if (controller == self || contains(m_viewControllers, controller)) {
        core::log(QStringLiteral("NavigationController"), QStringLiteral("warning: the controller is already on the stack; ignored"));
        return;
    }
    const auto previousTop = topViewController();
    controller->willMoveToParentViewController(self);
    addChildViewController(controller);
    m_viewControllers.push_back(controller);
    updateBarItems();
    transition(previousTop, controller, Direction::Push, animated,
               [self, controller] { controller->didMoveToParentViewController(self); });
}

std::shared_ptr<ViewController> NavigationController::popViewControllerAnimated(bool animated)
{
    if (m_viewControllers.size() < 2)
        return nullptr;
    const auto popped = popTo(m_viewControllers.size() - 1, animated);
    return popped.empty() ? nullptr : popped.front();
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRootViewControllerAnimated(bool animated)
{
    return popTo(1, animated);
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popTo(std::size_t remaining, bool animated)
{
    if (remaining == 0 || remaining >= m_viewControllers.size() || refuseWhileInTransition("pop"))
        return {};
    auto self = shared_from_this();
    const auto leaving = topViewController();
    std::vector<std::shared_ptr<ViewController>> popped(m_viewControllers.begin() + remaining, m_viewControllers.end());
    for (const auto& controller : popped)
        controller->willMoveToParentViewController(nullptr);
    m_viewControllers.resize(remaining);
    updateBarItems();
    transition(leaving, topViewController(), Direction::Pop, animated, [self, popped] {
        for (const auto& controller : popped) {
            controller->removeFromParentViewController();
            controller->didMoveToParentViewController(nullptr);
        }
    });
    return popped;
}

// Moves the views and sends the appearance calls; `finish` completes the containment calls
// once the arriving view is in place.
void NavigationController::transition(const std::shared_ptr<ViewController>& from, const std::shared_ptr<ViewController>& to,
                                      Direction direction, bool animated, std::function<void()> finish)
{
    auto self = std::static_pointer_cast<NavigationController>(shared_from_this());
    auto container = viewIfLoaded();
    if (!container) {   // loadView places the top controller's view when it is first asked for
        finish();
        return;
    }
    auto fromView = from ? from->viewIfLoaded() : nullptr;
    if (fromView && !fromView->isDescendantOfView(container.get()))
        fromView = nullptr;
    const Rect content = contentFrame();
    auto toView = to ? to->view() : nullptr;
    if (toView) {
        toView->setAutoresizingMask(kFlexibleSize);
        toView->setFrame(content);
        container->insertSubviewBelow(toView, m_navigationBar);
    }
    const bool shown = isAppeared();
    if (shown) {
        if (from)
            from->beginAppearanceTransition(false, animated);
        if (to)
            to->beginAppearanceTransition(true, animated);
    }
    auto end = [self, from, to, fromView, shown, finish = std::move(finish)](bool) {
        self->m_inTransition = false;
        if (fromView && from != self->topViewController())
            fromView->removeFromSuperview();
        if (shown) {
            if (from)
                from->endAppearanceTransition();
            if (to)
                to->endAppearanceTransition();
        }
        finish();
    };
    if (!animated || !fromView || !toView) {
        end(true);
        return;
    }
    m_inTransition = true;
    // A push comes in from the right and sends the old view left; a pop mirrors it.
    const double shift = direction == Direction::Push ? content.width() : -content.width();
    toView->setFrame(content.offsetBy(shift, 0));
    View::animate(kPushDuration, 0, AnimationOption::CurveEaseInOut,
                  [toView, fromView, content, shift] {
                      toView->setFrame(content);
                      fromView->setFrame(content.offsetBy(-shift, 0));
                  },
                  std::move(end));
}

void NavigationController::updateBarItems()
{
    std::vector<std::shared_ptr<NavigationItem>> items;
    for (const auto& controller : m_viewControllers)
        items.push_back(controller->navigationItem());
    m_navigationBar->setItems(std::move(items));
}

// ---- appearance -----------------------------------------------------------------------

// A container that forwards by hand calls these directly; the platform's own forwarding
// after them finds the top controller already on its way and sends nothing twice.
void NavigationController::viewWillAppear(bool animated)
{
    if (auto top = topViewController())
        top->beginAppearanceTransition(true, animated);
}

void NavigationController::viewDidAppear(bool)
{
    if (auto top = topViewController())
        top->endAppearanceTransition();
}

void NavigationController::viewWillDisappear(bool animated)
{
    if (auto top = topViewController())
        top->beginAppearanceTransition(false, animated);
}

void NavigationController::viewDidDisappear(bool)
{
    if (auto top = topViewController())
        top->endAppearanceTransition();
}

// ---- the view and the bar -------------------------------------------------------------

void NavigationController::loadView()
{
    auto view = NavigationView::create(Screen::main().bounds());
    view->setAutoresizingMask(kFlexibleSize);
    view->setClipsToBounds(true);
    std::weak_ptr<ViewController> weak = weak_from_this();
    view->onLayout = [weak] {
        if (auto self = std::static_pointer_cast<NavigationController>(weak.lock()))
            self->layoutContent();
    };
    view->addSubview(m_navigationBar);
    setView(view);
    if (auto top = topViewController()) {
        auto topView = top->view();
        topView->setAutoresizingMask(kFlexibleSize);
        view->insertSubviewBelow(topView, m_navigationBar);
    }
    layoutContent();
}

void NavigationController::setNavigationBarHidden(bool hidden, bool animated)
{
    if (hidden == m_navigationBarHidden)
        return;
    m_navigationBarHidden = hidden;
    m_navigationBar->setHidden(hidden);
    if (!viewIfLoaded())
        return;
    if (!animated) {
        layoutContent();
        return;
    }
    auto self = std::static_pointer_cast<NavigationController>(shared_from_this());
    View::animate(kBarAnimationDuration, [self] { self->layoutContent(); });
}

Rect NavigationController::contentFrame()
{
    const Rect bounds = view()->bounds();
    if (m_navigationBarHidden)
        return bounds;
    const double top = statusBarOverlap() + NavigationBar::kHeight;
    return Rect(bounds.x(), bounds.y() + top, bounds.width(), std::max(0.0, bounds.height() - top));
}

double NavigationController::statusBarOverlap() const
{
    auto view = viewIfLoaded();
    if (!view || !view->window())
        return 0;
    const Rect statusBar = view->convertRectFrom(Application::shared().statusBarFrame(), nullptr);
    // Windows do not turn, so only a bar across the screen's top can lie over this edge.
    if (statusBar.isEmpty() || statusBar.width() < statusBar.height())
        return 0;
    const Rect bounds = view->bounds();
    if (statusBar.minY() > bounds.minY() || statusBar.maxY() <= bounds.minY())
        return 0;
    return statusBar.maxY() - bounds.minY();
}

void NavigationController::layoutContent()
{
    auto view = viewIfLoaded();
    if (!view)
        return;
    const Rect bounds = view->bounds();
    m_navigationBar->setFrame(Rect(bounds.x(), bounds.y() + statusBarOverlap(), bounds.width(), NavigationBar::kHeight));
    if (m_inTransition)
        return;   // the sliding views are placed by the transition
    if (auto top = topViewController(); top && top->viewIfLoaded())
        top->viewIfLoaded()->setFrame(contentFrame());
}

} // namespace ui
