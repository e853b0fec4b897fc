#pragma once

#include "platform/ui/Attachments.h"
#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace ui {

class DrawContext;
enum class EditingCommand;
class Event;
class GestureRecognizer;
class Layer;
class Touch;
class Window;

using TouchSet = std::vector<std::shared_ptr<Touch>>;

// Option bits of a block animation, with the phone's values (callers pass them as numbers too).
struct AnimationOption {
    enum : unsigned {
        None = 0,
        LayoutSubviews = 1,
        AllowUserInteraction = 2,
        BeginFromCurrentState = 4,
        CurveEaseInOut = 0,
        CurveEaseIn = 0x10000,
        CurveEaseOut = 0x20000,
        CurveLinear = 0x30000,
    };
};

// The curve of a begin/commit animation.
enum class AnimationCurve { EaseInOut = 0, EaseIn = 1, EaseOut = 2, Linear = 3 };

// Autoresizing bits with the phone's values (width and height together are 18).
struct Autoresizing {
    enum : unsigned {
        None = 0,
        FlexibleLeftMargin = 1,
        FlexibleWidth = 2,
        FlexibleRightMargin = 4,
        FlexibleTopMargin = 8,
        FlexibleHeight = 16,
        FlexibleBottomMargin = 32,
    };
};

// A rectangle of the screen that draws, lays out its subviews and takes touches.
//
// A view owns one Layer and keeps every geometric and visual property there, so the model
// read back from a view is the layer's model. Inside an animation block (animate() or
// beginAnimations()/commitAnimations()) a change of frame, center, bounds, alpha, transform or
// background colour takes its new value at once and adds a BasicAnimation under the layer key
// it changes ("position", "bounds", "opacity", "transform", "backgroundColor") with the block's
// timing; what is drawn follows the clock.
//
// Parents own their subviews; a subview's link to its superview is a back pointer that the
// parent clears when it lets go. addSubview() asks the process-wide insertion hook of
// PlatformHooks first. A subclass constructor may build its subviews.
class View : public std::enable_shared_from_this<View> {
public:
    static std::shared_ptr<View> create(const Rect& frame = Rect());
    virtual ~View();

    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // Geometry, in the superview's coordinates (frame, center) or the view's own (bounds).
    Rect frame() const;
    void setFrame(const Rect& frame);
    Rect bounds() const;
    void setBounds(const Rect& bounds);
    Point center() const;
    void setCenter(const Point& center);
    Transform transform() const;
    void setTransform(const Transform& transform);

    double alpha() const;
    void setAlpha(double alpha);
    bool isHidden() const;
    void setHidden(bool hidden);
    bool isOpaque() const { return m_opaque; }
    void setOpaque(bool opaque) { m_opaque = opaque; }
    Color backgroundColor() const;
    void setBackgroundColor(const Color& color);
    bool clipsToBounds() const;
    void setClipsToBounds(bool clips);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    // This view when its tag matches, else the first match of a depth-first search of the
    // subviews in order.
    std::shared_ptr<View> viewWithTag(int tag);

    bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    // Virtual because a view may gate the requested value (the side panel's root view does).
    virtual void setUserInteractionEnabled(bool enabled);

    unsigned autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(unsigned mask) { m_autoresizingMask = mask; }
    bool autoresizesSubviews() const { return m_autoresizesSubviews; }
    void setAutoresizesSubviews(bool autoresizes) { m_autoresizesSubviews = autoresizes; }

    // The platform's transition container, which holds a modally presented view.
    bool isTransitionView() const { return m_transitionView; }

    // Hierarchy.
    std::shared_ptr<View> superview() const;
    const std::vector<std::shared_ptr<View>>& subviews() const { return m_subviews; }
    std::shared_ptr<Window> window() const;
    bool isDescendantOfView(const View* view) const;   // true for the view itself

    // Adds (or moves to the top) a subview, removing it from any other superview first.
    // Goes through PlatformHooks' insertion hook, which may adjust the view before the
    // platform insertion runs.
    void addSubview(const std::shared_ptr<View>& view);
    // The platform insertion itself, without the hook (for the hook's "previous" call).
    void addSubviewDirect(const std::shared_ptr<View>& view);
    void insertSubviewAt(const std::shared_ptr<View>& view, std::size_t index);
    void insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void bringSubviewToFront(const std::shared_ptr<View>& view);
    void sendSubviewToBack(const std::shared_ptr<View>& view);
    void removeFromSuperview();

    // Layout: a pass runs on the next run-loop turn for views in a window, or at once here.
    void setNeedsLayout();
    bool needsLayout() const { return m_needsLayout; }
    void layoutIfNeeded();

    void setNeedsDisplay();
    // Draws again only `rect` (this view's coordinates) of what the view drew.
    void setNeedsDisplayInRect(const Rect& rect);

    // Hit-testing in the view's own coordinates. Hidden views, views with alpha below 0.01
    // and views without user interaction are skipped, and so is everything outside a view's
    // bounds, subviews included.
    virtual std::shared_ptr<View> hitTest(const Point& point, const Event* event);
    virtual bool pointInside(const Point& point, const Event* event) const;

    // Converting between coordinate spaces; a null view means the window (the root of this
    // view's hierarchy).
    Point convertPointTo(const Point& point, const View* view) const;
    Point convertPointFrom(const Point& point, const View* view) const;
    Rect convertRectTo(const Rect& rect, const View* view) const;
    Rect convertRectFrom(const Rect& rect, const View* view) const;

    // First responder (keyboard input goes there).
    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool becomeFirstResponder();
    virtual bool resignFirstResponder();
    bool isFirstResponder() const;
    // Where typed text goes, in this view's coordinates; an input method places its candidate
    // window beside it. A view without a caret answers its bounds.
    virtual Rect caretRect() const;
    // Keyboard input, sent to the first responder by the window host.
    virtual void insertText(const QString& text);
    virtual void deleteBackward();
    // A movement, deletion or edit-menu key; false when the view has no use for it.
    virtual bool performEditingCommand(EditingCommand command);
    // An input method's text being composed, shown where it will be committed ("" when done).
    virtual void setMarkedText(const QString& text);

    // Gesture recognisers attached to this view (the view owns them).
    void addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    void removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const { return m_recognizers; }

    // Accessibility properties the platform announces.
    // A control with no label of its own announces what it shows (a button its title, a
    // label its text), as the phone's controls do.
    virtual QString accessibilityLabel() const { return m_accessibilityLabel; }
    void setAccessibilityLabel(const QString& label) { m_accessibilityLabel = label; }
    QString accessibilityHint() const { return m_accessibilityHint; }
    void setAccessibilityHint(const QString& hint) { m_accessibilityHint = hint; }
    Rect accessibilityFrame() const { return m_accessibilityFrame; }
    void setAccessibilityFrame(const Rect& frame) { m_accessibilityFrame = frame; }
    bool accessibilityViewIsModal() const { return m_accessibilityViewIsModal; }
    void setAccessibilityViewIsModal(bool modal) { m_accessibilityViewIsModal = modal; }

    std::shared_ptr<Layer> layer() const { return m_layer; }
    Attachments& attachments() { return m_attachments; }

    // Block animation: runs `animations` now with animation recording on; the completion runs
    // exactly once, from the run loop, when every animation the block recorded has ended
    // (finished false when one was removed or replaced early), or on the next turn when the
    // block recorded none.
    static void animate(double duration, double delay, unsigned options, const std::function<void()>& animations,
                        std::function<void(bool finished)> completion = {});
    static void animate(double duration, const std::function<void()>& animations,
                        std::function<void(bool finished)> completion = {});

    // Begin/commit animations; blocks nest. The did-stop callback receives the id given to
    // beginAnimations() and the finished flag, like a block's completion.
    static void beginAnimations(const QString& animationId = QString());
    static void setAnimationDuration(double seconds);
    static void setAnimationDelay(double seconds);
    static void setAnimationCurve(AnimationCurve curve);
    static void setAnimationBeginsFromCurrentState(bool fromCurrent);
    static void setAnimationDidStop(std::function<void(const QString& animationId, bool finished)> didStop);
    static void commitAnimations();
    static bool isAnimating();   // inside an animation block

protected:
    explicit View(const Rect& frame);

    // Lays out the subviews; runs when a layout is due (base: nothing).
    virtual void layoutSubviews();
    // Draws the view's content in its own coordinates (base: nothing; the background colour
    // is the layer's). A view that draws calls setNeedsDisplay() once, from its constructor if
    // it likes: that wires the layer's draw callback, and each later call asks for a redraw.
    virtual void draw(DrawContext& context);
    // Touches delivered to the view (base: nothing).
    virtual void touchesBegan(const TouchSet& touches, const Event& event);
    virtual void touchesMoved(const TouchSet& touches, const Event& event);
    virtual void touchesEnded(const TouchSet& touches, const Event& event);
    virtual void touchesCancelled(const TouchSet& touches, const Event& event);
    // Hierarchy notices (base: nothing).
    virtual void didMoveToSuperview();
    virtual void didMoveToWindow();

    void setTransitionView(bool transition) { m_transitionView = transition; }

private:
    friend class Window;
    friend class ViewController;

    void placeSubview(const std::shared_ptr<View>& view, const std::function<std::size_t()>& indexAfterRemoval);
    void detachFromSuperview();
    void notifyMovedToWindow(const std::shared_ptr<Window>& oldWindow);
    void autoresize(const Size& oldSuperSize, const Size& newSuperSize);
    void boundsSizeChanged(const Size& oldSize);
    void markAncestorsForLayout();

    std::shared_ptr<Layer> m_layer;
    // Raw: the parent owns this view and clears the pointer when it lets go or dies. A weak
    // pointer would not exist yet while a parent's constructor adds its first subviews.
    View* m_superview = nullptr;
    std::vector<std::shared_ptr<View>> m_subviews;
    std::vector<std::shared_ptr<GestureRecognizer>> m_recognizers;
    Attachments m_attachments;
    QString m_accessibilityLabel;
    QString m_accessibilityHint;
    Rect m_accessibilityFrame;
    int m_tag = 0;
    unsigned m_autoresizingMask = Autoresizing::None;
    bool m_autoresizesSubviews = true;
    bool m_userInteractionEnabled = true;
    bool m_opaque = true;
    bool m_needsLayout = true;
    // Some view below needs layout, so a pass walks only the branches that lead to one.
    bool m_subviewNeedsLayout = false;
    bool m_transitionView = false;
    bool m_accessibilityViewIsModal = false;
};

} // namespace ui
