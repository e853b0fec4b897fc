#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/ViewController.h"

#include <functional>
#include <memory>
#include <vector>

namespace ui {

class NavigationBar;

// A stack of controllers of which the top one is shown, below a navigation bar.
//
// Each controller on the stack is a child of the navigation controller: a push sends it
// willMove before and didMove after its view has come in, a pop willMove(null) before and
// didMove(null) after its view has gone. Only the top controller's view is inside the
// navigation controller's view, and the navigation controller's own appearance reaches the
// top controller alone, also when a container calls the appearance callbacks by hand; a push
// or a pop while shown sends the leaving controller will/did-disappear and the arriving one
// will/did-appear (the two did-calls when the transition ends, the leaving one first).
//
// An animated push slides the new view in from the right over 0.3 s while the old one leaves
// to the left; an animated pop does the reverse. Unanimated, everything happens within the
// call. A push or pop asked for while an animated one runs is refused with a log line.
//
// The bar lies along the top of the view, below whatever part of the status bar covers that
// top edge; the top controller's view fills the rest (all of the view while the bar is hidden).
class NavigationController : public ViewController {
public:
    // How long an animated push or pop slides, and how long the bar takes to show or hide.
    static constexpr double kPushDuration = 0.3;
    static constexpr double kBarAnimationDuration = 0.2;

    static std::shared_ptr<NavigationController> create(std::shared_ptr<ViewController> rootViewController = nullptr);
    ~NavigationController() override;

    // The platform's answer to controller.navigationController(): the nearest navigation
    // controller among its parents, or null.
    static std::shared_ptr<NavigationController> enclosing(const ViewController& controller);

    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return m_viewControllers; }
    // Replaces the stack at once, without animation.
    void setViewControllers(const std::vector<std::shared_ptr<ViewController>>& controllers);
    std::shared_ptr<ViewController> topViewController() const;

    void pushViewController(const std::shared_ptr<ViewController>& controller, bool animated);
    // Null when the root alone is left (it is never popped) or when refused.
    std::shared_ptr<ViewController> popViewControllerAnimated(bool animated);
    // The popped controllers, bottom first.
    std::vector<std::shared_ptr<ViewController>> popToRootViewControllerAnimated(bool animated);
    bool isInTransition() const { return m_inTransition; }

    std::shared_ptr<NavigationBar> navigationBar() const { return m_navigationBar; }
    bool isNavigationBarHidden() const { return m_navigationBarHidden; }
    void setNavigationBarHidden(bool hidden, bool animated = false);

    // Where the top controller's view goes, in this controller's view.
    Rect contentFrame();

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

protected:
    NavigationController();
    void loadView() override;

private:
    enum class Direction { Push, Pop };

    bool refuseWhileInTransition(const char* what) const;
    std::vector<std::shared_ptr<ViewController>> popTo(std::size_t remaining, bool animated);
    void transition(const std::shared_ptr<ViewController>& from, const std::shared_ptr<ViewController>& to,
                    Direction direction, bool animated, std::function<void()> finish);
    void updateBarItems();
    double statusBarOverlap() const;
    void layoutContent();

    std::vector<std::shared_ptr<ViewController>> m_viewControllers;
    std::shared_ptr<NavigationBar> m_navigationBar;
    bool m_navigationBarHidden = false;
    bool m_inTransition = false;
};

} // namespace ui
