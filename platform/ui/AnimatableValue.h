#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Path.h"

#include <variant>

namespace ui {

// The value of an animatable layer property. monostate means "no value" (an animation
// without a from- or to-value then uses the layer's model value).
using AnimatableValue = std::variant<std::monostate, double, Point, Size, Rect, Transform, Color, Path>;

inline bool hasValue(const AnimatableValue& v) { return !std::holds_alternative<std::monostate>(v); }

// from + (to − from) · t, component by component; transforms interpolate their
// translation, scale and rotation angle; paths element by element. Values of different
// kinds give `to` once t > 0.
AnimatableValue interpolate(const AnimatableValue& from, const AnimatableValue& to, double t);

} // namespace ui
