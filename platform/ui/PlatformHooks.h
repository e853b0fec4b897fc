#pragma once

#include <functional>
#include <memory>
#include <string>

namespace ui {

class NavigationItem;
class View;
class ViewController;

// Process-wide replacements that a component installs for a few platform methods
// (presentation, the navigation accessors, subview insertion). The platform methods are not
// virtual; they call the installed chain.
//
// Each install wraps what was installed before: the new hook receives `previous`, the
// behaviour it replaces, and may call it. So of two hooks for the same method the one
// installed last runs first, and its call to `previous` reaches the earlier one, whose own
// `previous` reaches the platform.
class PlatformHooks {
public:
    using PresentFn = std::function<void(ViewController& receiver, const std::shared_ptr<ViewController>& controller,
                                         bool animated, std::function<void()> completion)>;
    using PresentHook = std::function<void(ViewController& receiver, const std::shared_ptr<ViewController>& controller,
                                           bool animated, std::function<void()> completion, const PresentFn& previous)>;

    using NavigationControllerFn = std::function<std::shared_ptr<ViewController>(ViewController& receiver)>;
    using NavigationControllerHook =
        std::function<std::shared_ptr<ViewController>(ViewController& receiver, const NavigationControllerFn& previous)>;

    using NavigationItemFn = std::function<std::shared_ptr<NavigationItem>(ViewController& receiver)>;
    using NavigationItemHook =
        std::function<std::shared_ptr<NavigationItem>(ViewController& receiver, const NavigationItemFn& previous)>;

    using AddSubviewFn = std::function<void(View& parent, const std::shared_ptr<View>& child)>;
    using AddSubviewHook =
        std::function<void(View& parent, const std::shared_ptr<View>& child, const AddSubviewFn& previous)>;

    static void installPresentHook(PresentHook hook);
    static void installNavigationControllerHook(NavigationControllerHook hook);
    static void installNavigationItemHook(NavigationItemHook hook);
    static void installAddSubviewHook(AddSubviewHook hook);

    // The current chains, ending in the platform's own behaviour.
    static const PresentFn& present();
    static const NavigationControllerFn& navigationController();
    static const NavigationItemFn& navigationItem();
    static const AddSubviewFn& addSubview();

    // Runs `install` unless the hooks named `key` are already in the chains. A component calls
    // it each time it may need its hooks (when one of its objects is made), so hooks dropped by
    // restoreDefaults() come back with the next such object and are never installed twice.
    static void installOnce(const std::string& key, const std::function<void()>& install);

    // Drops every installed hook and forgets which keys installOnce() has run (tests that
    // install hooks of their own).
    static void restoreDefaults();
};

} // namespace ui
