#include "platform/ui/ViewController.h"

#include "platform/core/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/InterfaceRotation.h"
#include "platform/ui/MemoryWarning.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/PlatformHooks.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <utility>

namespace ui {

namespace {

bool sameTitle(const QString& a, const QString& b)
{
    return a.isNull() == b.isNull() && a == b;
}

void logRefusal(const QString& message)
{
    core::log(QStringLiteral("ViewController"), message);
}

} // namespace

std::shared_ptr<ViewController> ViewController::create()
{
    return std::shared_ptr<ViewController>(new ViewController());
}

ViewController::ViewController() = default;

ViewController::~ViewController()
{
    for (const auto& child : m_children)
        child->m_parent.reset();
    // A presentation ends with its presenter: every link up the stack is cut, so that a screen
    // that owns one below it (an owning delegate) does not keep the pair alive in a cycle once
    // nothing presents them (the window gone at quit with the stack still up).
    auto presented = std::move(m_presented);
    while (presented)
        presented = std::move(presented->m_presented);
}

// ---- view -----------------------------------------------------------------------------

std::shared_ptr<View> ViewController::view()
{
    loadViewIfNeeded();
    return m_view;
}

void ViewController::loadViewIfNeeded()
{
    if (m_view)
        return;
    auto self = weak_from_this().lock();   // empty when a subclass constructor asks for its view
    loadView();
    if (!m_view)
        ViewController::loadView();
    if (self)
        MemoryWarning::track(self);
    viewDidLoad();
}

void ViewController::setView(const std::shared_ptr<View>& view)
{
    m_view = view;
}

void ViewController::loadView()
{
    m_view = View::create(Screen::main().bounds());
    m_view->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
}

void ViewController::viewDidLoad() {}

// ---- title, items, notifications ------------------------------------------------------

QString ViewController::title() const
{
    return m_title;
}

void ViewController::setTitle(const QString& title)
{
    if (sameTitle(title, m_title))
        return;
    m_title = title;
    notify(Property::Title);
}

std::shared_ptr<NavigationItem> ViewController::navigationItem()
{
    return PlatformHooks::navigationItem()(*this);
}

std::shared_ptr<ViewController> ViewController::navigationController()
{
    return PlatformHooks::navigationController()(*this);
}

std::shared_ptr<NavigationItem> ViewController::navigationItemDirect()
{
    if (!m_navigationItem)
        m_navigationItem = std::make_shared<NavigationItem>();
    return m_navigationItem;
}

std::shared_ptr<TabBarItem> ViewController::tabBarItem()
{
    if (!m_tabBarItem)
        wireTabBarItem(std::make_shared<TabBarItem>());   // made on first use: nothing changed
    return m_tabBarItem;
}

void ViewController::setTabBarItem(const std::shared_ptr<TabBarItem>& item)
{
    if (item == m_tabBarItem)
        return;
    wireTabBarItem(item);
    notify(Property::TabBarItemTitle);
    notify(Property::TabBarItemImage);
}

void ViewController::wireTabBarItem(const std::shared_ptr<TabBarItem>& item)
{
    if (m_tabBarItem) {
        m_tabBarItem->onTitleChanged = nullptr;
        m_tabBarItem->onImageChanged = nullptr;
    }
    m_tabBarItem = item;
    if (!item)
        return;
    std::weak_ptr<ViewController> weak = weak_from_this();
    item->onTitleChanged = [weak] {
        if (auto self = weak.lock())
            self->notify(Property::TabBarItemTitle);
    };
    item->onImageChanged = [weak] {
        if (auto self = weak.lock())
            self->notify(Property::TabBarItemImage);
    };
}

void ViewController::setHidesBottomBarWhenPushed(bool hides)
{
    if (hides == m_hidesBottomBarWhenPushed)
        return;
    m_hidesBottomBarWhenPushed = hides;
    notify(Property::HidesBottomBarWhenPushed);
}

ViewController::ObserverId ViewController::addObserver(Property property, std::function<void()> callback)
{
    static ObserverId nextId = 1;
    const ObserverId id = nextId++;
    m_observers.push_back({id, {property, std::move(callback)}});
    return id;
}

bool ViewController::removeObserver(ObserverId id)
{
    auto it = std::find_if(m_observers.begin(), m_observers.end(), [id](const auto& o) { return o.first == id; });
    if (it == m_observers.end())
        return false;
    m_observers.erase(it);
    return true;
}

void ViewController::notify(Property property)
{
    std::vector<std::function<void()>> callbacks;
    for (const auto& [id, entry] : m_observers) {
        if (entry.first == property && entry.second)
            callbacks.push_back(entry.second);
    }
    if (callbacks.empty())
        return;
    auto self = weak_from_this().lock();
    for (const auto& callback : callbacks)
        callback();
}

// ---- presentation ---------------------------------------------------------------------

void ViewController::presentViewController(const std::shared_ptr<ViewController>& controller, bool animated,
                                           std::function<void()> completion)
{
    auto self = shared_from_this();
    const auto present = PlatformHooks::present();
    present(*this, controller, animated, std::move(completion));
}

std::shared_ptr<ViewController> ViewController::presentationRoot()
{
    auto root = shared_from_this();
    while (auto parent = root->parentViewController())
        root = parent;
    return root;
}

std::shared_ptr<Window> ViewController::hostWindow()
{
    return m_view ? m_view->window() : nullptr;
}

std::shared_ptr<View> ViewController::windowLevelView()
{
    auto v = m_view;
    while (v) {
        auto parent = v->superview();
        if (!parent)
            return nullptr;
        if (dynamic_cast<Window*>(parent.get()))
            return v;
        v = parent;
    }
    return nullptr;
}

std::shared_ptr<View> ViewController::makeTransitionView(const std::shared_ptr<Window>& window)
{
    auto transition = View::create(window->bounds());
    transition->setTransitionView(true);
    transition->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    InterfaceRotation::fitToInterface(*window, *transition);
    return transition;
}

bool ViewController::isTransitioning() const
{
    return m_transitioning;
}

void ViewController::presentViewControllerDirect(const std::shared_ptr<ViewController>& controller, bool animated,
                                                 std::function<void()> completion)
{
    if (!controller)
        return;
    auto host = presentationRoot();
    if (host->m_presented) {
        logRefusal(QStringLiteral("warning: attempt to present while already presenting; ignored"));
        return;
    }
    if (controller == host || controller->presentingViewController() || controller->parentViewController()) {
        logRefusal(QStringLiteral("warning: attempt to present a controller that is already shown; ignored"));
        return;
    }
    auto window = host->hostWindow();
    if (!window) {
        logRefusal(QStringLiteral("warning: attempt to present from a controller whose view is not in a window; ignored"));
        return;
    }

    const auto covered = host->windowLevelView();
    host->m_presented = controller;
    controller->m_presenting = host;
    controller->m_coveredView = covered;
    controller->m_coveredPresenterView = host->m_view;
    controller->m_coveredOrientation = Application::shared().statusBarOrientation();
    controller->m_coveredOwnView = covered == host->m_view;
    controller->m_transitioning = true;
    controller->notify(Property::PresentingViewController);

    auto view = controller->view();
    controller->m_transitionView = makeTransitionView(window);
    const Rect bounds = controller->m_transitionView->bounds();
    view->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    // The view joins the transition view at its final frame, which an insertion hook may
    // adjust and restore, and only then drops below the screen to slide up.
    view->setFrame(bounds);
    controller->m_transitionView->addSubview(view);
    if (animated)
        view->setFrame(bounds.offsetBy(0, bounds.height()));
    window->addSubview(controller->m_transitionView);

    host->beginAppearanceTransition(false, animated);
    controller->beginAppearanceTransition(true, animated);

    View::animate(animated ? kTransitionDuration : 0, 0, AnimationOption::CurveEaseInOut,
                  [view, bounds] { view->setFrame(bounds); },
                  [host, controller, covered, completion = std::move(completion)](bool) {
                      controller->m_transitioning = false;
                      // A full-screen presentation takes what it covers out of the window.
                      if (covered && controller->presentingViewController() == host)
                          covered->removeFromSuperview();
                      controller->endAppearanceTransition();
                      host->endAppearanceTransition();
                      if (completion)
                          completion();
                  });
}

void ViewController::dismissViewController(bool animated, std::function<void()> completion)
{
    auto self = shared_from_this();
    auto root = presentationRoot();
    if (root->m_presented) {
        root->dismissPresented(animated, std::move(completion));
        return;
    }
    if (auto presenting = root->presentingViewController()) {
        presenting->dismissPresented(animated, std::move(completion));
        return;
    }
    logRefusal(QStringLiteral("warning: nothing to dismiss"));
}

void ViewController::dismissPresented(bool animated, std::function<void()> completion)
{
    auto self = shared_from_this();
    auto presented = m_presented;
    std::vector<std::shared_ptr<ViewController>> chain;
    for (auto c = presented; c; c = c->m_presented) {
        if (c->m_transitioning) {
            logRefusal(QStringLiteral("warning: dismissal while a transition is in progress; ignored"));
            return;
        }
        chain.push_back(c);
    }
    const auto top = chain.back();
    auto window = presented->m_transitionView ? presented->m_transitionView->window() : nullptr;
    if (window)
        uncover(*presented, window);
    presented->m_transitioning = true;

    top->beginAppearanceTransition(false, animated);
    beginAppearanceTransition(true, animated);

    // The top screen slides down inside its transition view, at the shape it is shown in.
    auto topView = top->m_view;
    const Rect bounds = top->m_transitionView ? top->m_transitionView->bounds() : (topView ? topView->frame() : Rect());
    View::animate(animated ? kTransitionDuration : 0, 0, AnimationOption::CurveEaseInOut,
                  [topView, bounds] {
                      if (topView)
                          topView->setFrame(bounds.offsetBy(0, bounds.height()));
                  },
                  [self, chain, completion = std::move(completion)](bool) {
                      for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
                          const auto& c = *it;
                          if (c->m_transitionView)
                              c->m_transitionView->removeFromSuperview();
                          c->m_transitionView.reset();
                          if (auto presenter = c->presentingViewController())
                              presenter->m_presented.reset();
                          c->m_presenting.reset();
                          c->m_coveredView.reset();
                          c->m_coveredPresenterView.reset();
                          c->m_transitioning = false;
                          c->notify(Property::PresentingViewController);
                      }
                      self->endAppearanceTransition();
                      chain.back()->endAppearanceTransition();
                      if (completion)
                          completion();
                  });
}

// Puts back what `presented` covered, below it. This controller's view may have been let go by
// a memory warning meanwhile (the presentation held it weakly so that it could go), and a new
// one loaded now or already by something that asked for it: the new one takes its place, at the
// window's top level when that is where the old one was, else inside the window-level view the
// presentation took out (its own transition view, for a presented presenter). What comes back
// takes the interface's orientation when it is new or the interface turned while it was away;
// only the controller of the very view that was covered is first asked about the turn.
void ViewController::uncover(const ViewController& presented, const std::shared_ptr<Window>& window)
{
    const bool kept = m_view && m_view == presented.m_coveredPresenterView.lock();
    const InterfaceOrientation orientation = Application::shared().statusBarOrientation();
    const bool turned = presented.m_coveredOrientation != orientation;
    if (turned && kept)
        InterfaceRotation::ask(shared_from_this(), orientation);
    auto view = this->view();
    auto covered = presented.m_coveredView.lock();
    if (presented.m_coveredOwnView || !covered) {
        covered = view;
        view->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    } else if (!view->isDescendantOfView(covered.get())) {
        view->setFrame(covered->bounds());
        view->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
        covered->addSubview(view);
    }
    if (covered->superview())
        return;
    if (!kept || turned)
        InterfaceRotation::fitToInterface(*window, *covered);
    window->insertSubviewBelow(covered, presented.m_transitionView);
}

// ---- containment ----------------------------------------------------------------------

void ViewController::addChildViewController(const std::shared_ptr<ViewController>& child)
{
    if (!child || child.get() == this || child->parentViewController().get() == this)
        return;
    auto self = shared_from_this();
    child->removeFromParentViewController();
    m_children.push_back(child);
    child->m_parent = self;
    child->notify(Property::ParentViewController);
}

void ViewController::removeFromParentViewController()
{
    auto parent = parentViewController();
    if (!parent)
        return;
    auto self = shared_from_this();
    auto& siblings = parent->m_children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), self), siblings.end());
    m_parent.reset();
    notify(Property::ParentViewController);
}

void ViewController::willMoveToParentViewController(const std::shared_ptr<ViewController>&) {}

void ViewController::didMoveToParentViewController(const std::shared_ptr<ViewController>&) {}

// ---- appearance -----------------------------------------------------------------------

void ViewController::viewWillAppear(bool) {}
void ViewController::viewDidAppear(bool) {}
void ViewController::viewWillDisappear(bool) {}
void ViewController::viewDidDisappear(bool) {}

void ViewController::beginAppearanceTransition(bool appearing, bool animated)
{
    auto self = shared_from_this();
    if (appearing) {
        if (m_appearance == Appearance::Appeared || m_appearance == Appearance::Appearing)
            return;
        m_appearance = Appearance::Appearing;
        m_appearanceAnimated = animated;
        viewWillAppear(animated);
    } else {
        if (m_appearance == Appearance::Disappeared || m_appearance == Appearance::Disappearing)
            return;
        m_appearance = Appearance::Disappearing;
        m_appearanceAnimated = animated;
        viewWillDisappear(animated);
    }
    forwardAppearance(true, appearing, animated);
}

void ViewController::endAppearanceTransition()
{
    auto self = shared_from_this();
    const bool animated = m_appearanceAnimated;
    if (m_appearance == Appearance::Appearing) {
        m_appearance = Appearance::Appeared;
        viewDidAppear(animated);
        forwardAppearance(false, true, animated);
    } else if (m_appearance == Appearance::Disappearing) {
        m_appearance = Appearance::Disappeared;
        viewDidDisappear(animated);
        forwardAppearance(false, false, animated);
    }
}

void ViewController::forwardAppearance(bool begin, bool appearing, bool animated)
{
    if (!shouldAutomaticallyForwardAppearanceMethods() || !m_view)
        return;
    const auto children = m_children;
    for (const auto& child : children) {
        if (!child->m_view || !child->m_view->isDescendantOfView(m_view.get()))
            continue;
        if (begin)
            child->beginAppearanceTransition(appearing, animated);
        else
            child->endAppearanceTransition();
    }
}

// ---- rotation and memory --------------------------------------------------------------

InterfaceOrientation ViewController::interfaceOrientation() const
{
    return Application::shared().statusBarOrientation();
}

bool ViewController::shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation)
{
    return supportedInterfaceOrientations() & (1u << unsigned(orientation));
}

void ViewController::willRotateToInterfaceOrientation(InterfaceOrientation, double) {}
void ViewController::willAnimateRotationToInterfaceOrientation(InterfaceOrientation, double) {}
void ViewController::didRotateFromInterfaceOrientation(InterfaceOrientation) {}
void ViewController::didReceiveMemoryWarning() {}

// ---- view unloading, two-step rotation, tab bar ---------------------------------------

void ViewController::unloadViewIfOutOfWindow()
{
    if (!m_view || m_view->window())
        return;
    auto self = shared_from_this();
    // Out of its superview too: nothing goes on showing a view its controller has let go of.
    const auto view = std::exchange(m_view, nullptr);
    view->removeFromSuperview();
    viewDidUnload();
}

void ViewController::viewDidUnload() {}
void ViewController::willAnimateFirstHalfOfRotationToInterfaceOrientation(InterfaceOrientation, double) {}
void ViewController::willAnimateSecondHalfOfRotationFromInterfaceOrientation(InterfaceOrientation, double) {}

std::shared_ptr<TabBarController> ViewController::tabBarController() const
{
    for (auto parent = parentViewController(); parent; parent = parent->parentViewController()) {
        if (auto tabs = std::dynamic_pointer_cast<TabBarController>(parent))
            return tabs;
    }
    return nullptr;
}

} // namespace ui
