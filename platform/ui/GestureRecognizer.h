#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/Touch.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

class Event;
class GestureRecognizerDelegate;
class View;

using TouchSet = std::vector<std::shared_ptr<Touch>>;

// Turns the touches on its view (and the view's subviews) into a gesture.
//
// States as on the phone: a discrete recogniser goes Possible → Recognized (Ended) or Failed;
// a continuous one Possible → Began → Changed… → Ended or Cancelled, or Failed. Leaving
// Possible asks the delegate's gestureRecognizerShouldBegin (not implemented counts as yes)
// and is refused while another recogniser of the same touch has recognised, unless either
// delegate allows both at once. onAction runs at Recognized, Began, Changed, Ended and
// Cancelled. Once the gesture is recognised and cancelsTouchesInView is set, the touched view
// gets touchesCancelled and no further touches. The window resets recognisers to Possible
// when the touch ends.
//
// A failure requirement holds a recogniser back: while another recogniser of the touch that
// must fail first (its delegate's shouldBeRequiredToFailByGestureRecognizer) is still possible,
// the recogniser stays Possible and keeps the state it was about to enter. The window lets it
// go once the other has failed; if the other recognises, the waiting one fails.
class GestureRecognizer : public std::enable_shared_from_this<GestureRecognizer> {
public:
    enum class State { Possible, Began, Changed, Ended, Cancelled, Failed, Recognized = Ended };

    virtual ~GestureRecognizer();
    GestureRecognizer(const GestureRecognizer&) = delete;
    GestureRecognizer& operator=(const GestureRecognizer&) = delete;

    State state() const { return m_state; }
    bool isActive() const { return m_state == State::Began || m_state == State::Changed; }
    std::shared_ptr<View> view() const { return m_view.lock(); }

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool cancelsTouchesInView() const { return m_cancelsTouchesInView; }
    void setCancelsTouchesInView(bool cancels) { m_cancelsTouchesInView = cancels; }

    std::shared_ptr<GestureRecognizerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::weak_ptr<GestureRecognizerDelegate>& delegate) { m_delegate = delegate; }

    // Where the gesture is (the centroid of its touches, or where the last one lifted), in the
    // given view's coordinates (null: the window's).
    Point locationInView(const View* view) const;
    std::size_t numberOfTouches() const;

    std::function<void(GestureRecognizer&)> onAction;

    // The window's side of the protocol.
    bool acceptsTouch(const Touch& touch);
    void deliver(Touch::Phase phase, const TouchSet& touches, const Event& event);
    void failIfPossible();
    void resetToPossible();
    std::function<bool(GestureRecognizer&)> canLeavePossible;   // set by the window per touch
    std::function<void(GestureRecognizer&)> onRecognized;       // set by the window per touch
    bool isSimultaneousWith(GestureRecognizer& other);
    // Whether `other` must wait for this recogniser to fail (its delegate says so).
    bool isRequiredToFailBy(GestureRecognizer& other);
    std::function<bool(GestureRecognizer&)> mustWaitForFailure;   // set by the window per touch
    bool isWaitingForFailure() const { return m_waitingState.has_value(); }
    // The wait is over: the held-back state is entered now (or refused as any other).
    void stopWaiting();

protected:
    GestureRecognizer();

    virtual void touchesBegan(const TouchSet& touches, const Event& event);
    virtual void touchesMoved(const TouchSet& touches, const Event& event);
    virtual void touchesEnded(const TouchSet& touches, const Event& event);
    virtual void touchesCancelled(const TouchSet& touches, const Event& event);
    // Clears the recogniser's own gesture data when it returns to Possible.
    virtual void reset();

    // Subclasses move the state machine; leaving Possible may be refused (then Failed).
    void setState(State state);
    const TouchSet& trackedTouches() const { return m_touches; }

private:
    friend class View;

    void leavePossible(State state);

    std::weak_ptr<View> m_view;
    std::weak_ptr<GestureRecognizerDelegate> m_delegate;
    TouchSet m_touches;
    Point m_lastWindowLocation;
    State m_state = State::Possible;
    std::optional<State> m_waitingState;
    bool m_enabled = true;
    bool m_cancelsTouchesInView = true;
};

} // namespace ui
