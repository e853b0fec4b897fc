#include "platform/ui/InterfaceRotation.h"

#include "platform/core/Dispatch.h"
#include "platform/ui/Application.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <cmath>
#include <functional>
#include <vector>

namespace ui {

namespace {

using Controllers = std::vector<std::shared_ptr<ViewController>>;
using Step = std::function<void(ViewController&)>;

// The root and the controllers it presents, while their views are in the window.
Controllers turningControllers(const Window& window)
{
    Controllers turning;
    for (auto c = window.rootViewController(); c; c = c->presentedViewController()) {
        if (auto view = c->viewIfLoaded(); view && view->window().get() == &window)
            turning.push_back(c);
    }
    return turning;
}

void deliver(const std::shared_ptr<ViewController>& controller, const Step& step)
{
    step(*controller);
    const auto view = controller->viewIfLoaded();
    if (!view || !controller->shouldAutomaticallyForwardRotationMethods())
        return;
    const auto children = controller->childViewControllers();
    for (const auto& child : children) {
        if (auto childView = child->viewIfLoaded(); childView && childView->isDescendantOfView(view.get()))
            deliver(child, step);
    }
}

void deliverAll(const Controllers& controllers, const Step& step)
{
    for (const auto& controller : controllers)
        deliver(controller, step);
}

double angle(InterfaceOrientation orientation)
{
    switch (orientation) {
    case InterfaceOrientation::LandscapeRight:
        return M_PI / 2;
    case InterfaceOrientation::LandscapeLeft:
        return -M_PI / 2;
    case InterfaceOrientation::PortraitUpsideDown:
        return M_PI;
    default:
        return 0;
    }
}

// The window stays as the screen is; what it holds turns about its centre.
void turnViews(Window& window)
{
    const auto views = window.subviews();
    for (const auto& view : views)
        InterfaceRotation::fitToInterface(window, *view);
}

} // namespace

void InterfaceRotation::fitToInterface(const Window& window, View& view)
{
    const InterfaceOrientation orientation = Application::shared().statusBarOrientation();
    const Rect b = window.bounds();
    view.setTransform(Transform::rotation(angle(orientation)));
    view.setBounds(isLandscape(orientation) ? Rect(0, 0, b.height(), b.width()) : Rect(0, 0, b.width(), b.height()));
    view.setCenter(b.center());
}

void InterfaceRotation::ask(const std::shared_ptr<ViewController>& controller, InterfaceOrientation orientation)
{
    deliver(controller, [=](ViewController& c) { c.shouldAutorotateToInterfaceOrientation(orientation); });
}

bool InterfaceRotation::rotate(const std::shared_ptr<Window>& window, InterfaceOrientation to, double duration)
{
    const InterfaceOrientation from = Application::shared().statusBarOrientation();
    if (!window || to == from)
        return false;
    const Controllers turning = turningControllers(*window);
    if (turning.empty() || !turning.back()->shouldAutorotateToInterfaceOrientation(to))
        return false;
    const double half = duration / 2;
    deliverAll(turning, [=](ViewController& c) { c.willRotateToInterfaceOrientation(to, duration); });
    View::animate(half, [=] {
        deliverAll(turning, [=](ViewController& c) { c.willAnimateFirstHalfOfRotationToInterfaceOrientation(to, half); });
    });
    // The halves keep their time whatever the controllers animate; the delayed blocks hold
    // the window and the controllers until the turn is over, as the phone's blocks retained
    // what they captured.
    core::afterDelay(half, [=] {
        Application::shared().setStatusBarOrientation(to);
        View::animate(half, [=] {
            turnViews(*window);
            deliverAll(turning, [=](ViewController& c) { c.willAnimateRotationToInterfaceOrientation(to, half); });
            deliverAll(turning, [=](ViewController& c) { c.willAnimateSecondHalfOfRotationFromInterfaceOrientation(from, half); });
        });
        core::afterDelay(half, [=] {
            deliverAll(turning, [=](ViewController& c) { c.didRotateFromInterfaceOrientation(from); });
        });
    });
    return true;
}

} // namespace ui
