#pragma once

#include <optional>

namespace ui {

class GestureRecognizer;
class Touch;

// Optional answers of a gesture recogniser's delegate. std::nullopt means "not implemented",
// which a caller that forwards the question must tell apart from yes and no; the recogniser
// itself then takes the phone's default (begin, receive the touch, do not recognise together).
class GestureRecognizerDelegate {
public:
    virtual ~GestureRecognizerDelegate() = default;

    virtual std::optional<bool> gestureRecognizerShouldBegin(GestureRecognizer& recognizer);
    virtual std::optional<bool> shouldReceiveTouch(GestureRecognizer& recognizer, const Touch& touch);
    virtual std::optional<bool> shouldRecognizeSimultaneouslyWithGestureRecognizer(GestureRecognizer& recognizer,
                                                                                   GestureRecognizer& other);
    // Yes: `other` waits for `recognizer` to fail before it may recognise (a failure requirement
    // between two recognisers of the same touch).
    virtual std::optional<bool> shouldBeRequiredToFailByGestureRecognizer(GestureRecognizer& recognizer,
                                                                          GestureRecognizer& other);
};

} // namespace ui
