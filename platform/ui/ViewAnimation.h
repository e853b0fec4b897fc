#pragma once

#include "platform/ui/AnimatableValue.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace ui {

class Layer;
class View;

// The open animation blocks of View::animate() and View::beginAnimations(): a stack, the
// innermost block giving its timing to the changes made while it is open.
//
// Each change of an animatable view property inside a block with a positive duration adds a
// BasicAnimation to the view's layer under the property's key. The block's completion waits
// for every animation it added (a second change of the same key in the same block replaces
// the first without making the block "unfinished"); a block that added none completes on the
// next run-loop turn. Completions always run from the run loop, exactly once.
class ViewAnimation {
public:
    struct Settings {
        double duration = 0.2;
        double delay = 0;
        unsigned options = 0;
        QString animationId;
        std::function<void(bool finished)> completion;
        std::function<void(const QString& animationId, bool finished)> didStop;
    };

    static void begin(Settings settings);
    static void commit();
    static bool isOpen();
    // Mutators of the innermost block (begin/commit style).
    static Settings* current();

    // A property of `view` changed from `from` to `to` under layer key `key`.
    static void record(View& view, const QString& key, const AnimatableValue& from, const AnimatableValue& to);

private:
    struct Group;
    static std::vector<std::shared_ptr<Group>>& stack();
    static void finish(const std::shared_ptr<Group>& group);
};

} // namespace ui
