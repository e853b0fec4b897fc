#include "platform/ui/GestureRecognizerDelegate.h"

namespace ui {

std::optional<bool> GestureRecognizerDelegate::gestureRecognizerShouldBegin(GestureRecognizer&)
{
    return std::nullopt;
}

std::optional<bool> GestureRecognizerDelegate::shouldReceiveTouch(GestureRecognizer&, const Touch&)
{
    return std::nullopt;
}

std::optional<bool> GestureRecognizerDelegate::shouldRecognizeSimultaneouslyWithGestureRecognizer(GestureRecognizer&,
                                                                                                  GestureRecognizer&)
{
    return std::nullopt;
}

std::optional<bool> GestureRecognizerDelegate::shouldBeRequiredToFailByGestureRecognizer(GestureRecognizer&,
                                                                                       GestureRecognizer&)
{
    return std::nullopt;
}

} // namespace ui
