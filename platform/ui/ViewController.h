#pragma once

#include "platform/ui/Attachments.h"
#include "platform/ui/InterfaceOrientation.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace ui {

class NavigationItem;
class TabBarController;
class TabBarItem;
class View;
class Window;

// A screen: owns its view (loaded on first use), takes part in modal presentation and child
// containment, and receives appearance callbacks.
//
// Appearance. The platform sends will/did appear and disappear to a window's root controller
// when it is installed or replaced, and to both sides of a full-screen modal presentation:
// presenting, the presenter gets will-disappear and the presented will-appear at the start;
// the presented did-appear and then the presenter did-disappear when the transition ends, and
// then the completion runs. Dismissing mirrors it (the uncovered controller's did-appear comes
// before the dismissed one's did-disappear); the uncovered view is back in the window, in the
// interface's present orientation, before its will-appear, loaded anew if a memory warning let
// it go while it was covered. A controller whose
// shouldAutomaticallyForwardAppearanceMethods() is true passes each callback on to those of its
// children whose views are loaded and inside its view; a container that answers false sends
// them itself, calling the public virtuals directly.
//
// Containment is explicit: addChildViewController() and removeFromParentViewController() do
// not send will/did-move; the container sends them where it needs them.
//
// presentViewController(), navigationController() and navigationItem() are not virtual; they
// ask PlatformHooks, where a component may have installed its own lookup at start-up.
class ViewController : public std::enable_shared_from_this<ViewController> {
public:
    // Observable properties (explicit change notifications in place of key-value observation).
    enum class Property {
        Title,
        TabBarItemTitle,
        TabBarItemImage,
        HidesBottomBarWhenPushed,
        ParentViewController,
        PresentingViewController,
    };
    using ObserverId = std::uint64_t;

    // The platform's duration of an animated modal transition.
    static constexpr double kTransitionDuration = 0.3;

    static std::shared_ptr<ViewController> create();
    virtual ~ViewController();

    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The view, loaded on first use (loadView() then viewDidLoad()).
    std::shared_ptr<View> view();
    std::shared_ptr<View> viewIfLoaded() const { return m_view; }
    bool isViewLoaded() const { return m_view != nullptr; }
    void setView(const std::shared_ptr<View>& view);
    void loadViewIfNeeded();

    virtual QString title() const;
    virtual void setTitle(const QString& title);

    // Through PlatformHooks; the platform's own answers are navigationItemDirect() and the
    // nearest NavigationController among the parents (NavigationController::enclosing).
    std::shared_ptr<NavigationItem> navigationItem();
    std::shared_ptr<ViewController> navigationController();
    std::shared_ptr<NavigationItem> navigationItemDirect();

    // Virtual for a controller that stands in for another and shows that one's.
    virtual std::shared_ptr<TabBarItem> tabBarItem();
    virtual void setTabBarItem(const std::shared_ptr<TabBarItem>& item);
    virtual bool hidesBottomBarWhenPushed() const { return m_hidesBottomBarWhenPushed; }
    virtual void setHidesBottomBarWhenPushed(bool hides);

    // Change notifications. removeObserver() answers false for an unknown id (the phone
    // raises there; callers that must not care ignore the answer).
    ObserverId addObserver(Property property, std::function<void()> callback);
    bool removeObserver(ObserverId id);

    // Modal presentation. presentViewController() goes through the presentation hook; the
    // platform's presentation (presentViewControllerDirect) runs on the topmost ancestor of
    // the target and covers the screen. Refused, with a log line and no completion, when the
    // target already presents a controller or has no window, or the controller is already
    // presented. The completion runs from the run loop after the transition.
    void presentViewController(const std::shared_ptr<ViewController>& controller, bool animated,
                               std::function<void()> completion = {});
    void presentViewControllerDirect(const std::shared_ptr<ViewController>& controller, bool animated,
                                     std::function<void()> completion = {});
    // Dismisses the controller this one presents, or else this one from its presenter; every
    // controller above is dismissed with it.
    void dismissViewController(bool animated, std::function<void()> completion = {});
    std::shared_ptr<ViewController> presentingViewController() const { return m_presenting.lock(); }
    std::shared_ptr<ViewController> presentedViewController() const { return m_presented; }
    bool isTransitioning() const;

    // Containment.
    std::shared_ptr<ViewController> parentViewController() const { return m_parent.lock(); }
    const std::vector<std::shared_ptr<ViewController>>& childViewControllers() const { return m_children; }
    void addChildViewController(const std::shared_ptr<ViewController>& child);
    void removeFromParentViewController();
    virtual void willMoveToParentViewController(const std::shared_ptr<ViewController>& parent);
    virtual void didMoveToParentViewController(const std::shared_ptr<ViewController>& parent);
    virtual bool shouldAutomaticallyForwardAppearanceMethods() const { return true; }
    virtual bool shouldAutomaticallyForwardRotationMethods() const { return true; }

    // Appearance callbacks (base: nothing). Public because containers send them.
    virtual void viewWillAppear(bool animated);
    virtual void viewDidAppear(bool animated);
    virtual void viewWillDisappear(bool animated);
    virtual void viewDidDisappear(bool animated);
    // The platform's appearance transition: the callback plus automatic forwarding to
    // children. A step the controller has already taken is not sent again.
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();
    bool isAppeared() const { return m_appearance == Appearance::Appeared; }

    // Rotation (InterfaceRotation sends these to the controllers on screen; containers relay them).
    InterfaceOrientation interfaceOrientation() const;
    virtual bool shouldAutorotate() { return true; }
    virtual bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation);
    virtual unsigned supportedInterfaceOrientations() { return InterfaceOrientationMask::AllButUpsideDown; }
    virtual InterfaceOrientation preferredInterfaceOrientationForPresentation() { return InterfaceOrientation::Portrait; }
    virtual void willRotateToInterfaceOrientation(InterfaceOrientation orientation, double duration);
    virtual void willAnimateRotationToInterfaceOrientation(InterfaceOrientation orientation, double duration);
    virtual void didRotateFromInterfaceOrientation(InterfaceOrientation from);

    virtual void didReceiveMemoryWarning();
    // The controllers this one passes a memory warning on to (MemoryWarning::pass) from its
    // didReceiveMemoryWarning(): they hear it after this one, and from the platform only when
    // it did not pass it to them, so each hears a warning once.
    virtual std::vector<std::shared_ptr<ViewController>> memoryWarningRelays() const { return {}; }

    // Memory warnings, the two-step rotation and tab bars (MemoryWarning, InterfaceRotation,
    // TabBarController). viewDidUnload: a memory warning let the view go, as it was in no
    // window; it loads again when next asked for. The halves of a rotation run inside its
    // animations: the first towards the new orientation, the second from the old one.
    virtual void viewDidUnload();
    virtual void willAnimateFirstHalfOfRotationToInterfaceOrientation(InterfaceOrientation to, double duration);
    virtual void willAnimateSecondHalfOfRotationFromInterfaceOrientation(InterfaceOrientation from, double duration);
    // The nearest tab-bar controller among the parents, or none.
    std::shared_ptr<TabBarController> tabBarController() const;

    Attachments& attachments() { return m_attachments; }

protected:
    ViewController();

    // Makes the view (base: a plain view of the main screen's bounds, resizing with its
    // superview).
    virtual void loadView();
    virtual void viewDidLoad();
    // Tells the property's observers it changed (for a property read from another controller).
    void notify(Property property);

private:
    friend class Window;
    friend class MemoryWarning;   // lets an unused view go: unloadViewIfOutOfWindow()
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };

    void wireTabBarItem(const std::shared_ptr<TabBarItem>& item);
    std::shared_ptr<ViewController> presentationRoot();
    std::shared_ptr<View> windowLevelView();
    std::shared_ptr<Window> hostWindow();
    void dismissPresented(bool animated, std::function<void()> completion);
    void uncover(const ViewController& presented, const std::shared_ptr<Window>& window);
    void forwardAppearance(bool begin, bool appearing, bool animated);
    static std::shared_ptr<View> makeTransitionView(const std::shared_ptr<Window>& window);
    void unloadViewIfOutOfWindow();

    std::shared_ptr<View> m_view;
    std::shared_ptr<NavigationItem> m_navigationItem;
    std::shared_ptr<TabBarItem> m_tabBarItem;
    std::shared_ptr<ViewController> m_presented;
    std::weak_ptr<ViewController> m_presenting;
    std::weak_ptr<ViewController> m_parent;
    std::vector<std::shared_ptr<ViewController>> m_children;
    std::shared_ptr<View> m_transitionView;      // holds this controller's view while presented
    std::weak_ptr<View> m_coveredView;           // the presenter's window-level view it covers
    std::weak_ptr<View> m_coveredPresenterView;  // the presenter's own view as it was covered
    InterfaceOrientation m_coveredOrientation = InterfaceOrientation::Unknown;   // the interface's as it covered
    bool m_coveredOwnView = false;               // what it covers is the presenter's own view
    std::vector<std::pair<ObserverId, std::pair<Property, std::function<void()>>>> m_observers;
    Attachments m_attachments;
    QString m_title;
    Appearance m_appearance = Appearance::Disappeared;
    bool m_appearanceAnimated = false;
    bool m_transitioning = false;
    bool m_hidesBottomBarWhenPushed = false;
};

} // namespace ui
