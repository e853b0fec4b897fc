#pragma once

#include "platform/ui/Geometry.h"

#include <optional>

namespace ui {

// Hears, on the root of a layer tree, of every change below it that may alter what is
// drawn: a property, the tree's order, a layer added or removed, an animation added,
// removed or ended, a drawing asked for again. Changes inside a hidden layer, or one faded
// out entirely, are not reported (they cannot be seen); showing it again is.
class LayerTreeObserver {
public:
    virtual ~LayerTreeObserver() = default;
    // `area`, in the root's coordinates (points), bounds what the change can alter when it
    // is known; nullopt means anything in the tree may look different.
    virtual void layerTreeChanged(const std::optional<Rect>& area) = 0;
};

} // namespace ui
