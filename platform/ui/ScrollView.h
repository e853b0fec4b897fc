#pragma once

#include "platform/ui/View.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace core {
class Timer;
}

namespace ui {

class GestureRecognizerDelegate;
class Layer;
class PanGestureRecognizer;
class ScrollViewDelegate;

enum class ScrollViewIndicatorStyle { Default = 0, Black = 1, White = 2 };

// A view whose bounds origin is the content offset: it shows a window onto content of
// contentSize and moves it with a pan of the finger.
//
// The pan only begins in a direction the content can move, so a vertical scroll view inside a
// horizontally paging one leaves sideways swipes to its parent.
//
// Dragging follows the finger (rubber-banding past the edges when bounces is on), then the
// release either settles at once or decelerates: freely with decelerationRate, or to the
// next page when paging is on. Deceleration and animated offsets run on core::Clock timers,
// so a manual clock steps them exactly. The delegate hears every offset change
// (scrollViewDidScroll), the drag, the deceleration and the end of an animated offset; a
// non-animated setContentOffset sends only scrollViewDidScroll.
class ScrollView : public View {
public:
    static constexpr double kDecelerationRateNormal = 0.998;
    static constexpr double kDecelerationRateFast = 0.99;

    static std::shared_ptr<ScrollView> create(const Rect& frame = Rect());
    ~ScrollView() override;

    std::shared_ptr<ScrollViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ScrollViewDelegate>& delegate) { m_delegate = delegate; }

    Size contentSize() const { return m_contentSize; }
    void setContentSize(const Size& size);
    Point contentOffset() const { return bounds().origin; }
    void setContentOffset(const Point& offset);
    void setContentOffset(const Point& offset, bool animated);
    EdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(const EdgeInsets& inset);
    void scrollRectToVisible(const Rect& rect, bool animated);

    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled);
    bool isPagingEnabled() const { return m_pagingEnabled; }
    void setPagingEnabled(bool enabled) { m_pagingEnabled = enabled; }
    bool bounces() const { return m_bounces; }
    void setBounces(bool bounces) { m_bounces = bounces; }
    bool alwaysBounceVertical() const { return m_alwaysBounceVertical; }
    void setAlwaysBounceVertical(bool b) { m_alwaysBounceVertical = b; }
    bool alwaysBounceHorizontal() const { return m_alwaysBounceHorizontal; }
    void setAlwaysBounceHorizontal(bool b) { m_alwaysBounceHorizontal = b; }
    bool isDirectionalLockEnabled() const { return m_directionalLock; }
    void setDirectionalLockEnabled(bool enabled) { m_directionalLock = enabled; }
    bool scrollsToTop() const { return m_scrollsToTop; }
    void setScrollsToTop(bool s) { m_scrollsToTop = s; }
    // Whether a drag takes the touch away from the content (the touched control is cancelled).
    bool canCancelContentTouches() const { return m_canCancelContentTouches; }
    void setCanCancelContentTouches(bool can);
    bool delaysContentTouches() const { return m_delaysContentTouches; }
    void setDelaysContentTouches(bool delays) { m_delaysContentTouches = delays; }
    double decelerationRate() const { return m_decelerationRate; }
    void setDecelerationRate(double rate);

    ScrollViewIndicatorStyle indicatorStyle() const { return m_indicatorStyle; }
    void setIndicatorStyle(ScrollViewIndicatorStyle style);
    EdgeInsets scrollIndicatorInsets() const { return m_indicatorInsets; }
    void setScrollIndicatorInsets(const EdgeInsets& insets);
    bool showsHorizontalScrollIndicator() const { return m_showsHorizontal; }
    void setShowsHorizontalScrollIndicator(bool shows);
    bool showsVerticalScrollIndicator() const { return m_showsVertical; }
    void setShowsVerticalScrollIndicator(bool shows);
    void flashScrollIndicators();
    // The indicator layers, while they are shown (tests and screenshots).
    bool indicatorsVisible() const { return m_indicatorsShown; }

    // Zoom: the delegate's viewForZoomingInScrollView is scaled by zoomScale, clamped to the
    // minimum and maximum scale.
    double zoomScale() const { return m_zoomScale; }
    void setZoomScale(double scale);
    void setZoomScale(double scale, bool animated);
    double minimumZoomScale() const { return m_minimumZoomScale; }
    void setMinimumZoomScale(double scale) { m_minimumZoomScale = scale; }
    double maximumZoomScale() const { return m_maximumZoomScale; }
    void setMaximumZoomScale(double scale) { m_maximumZoomScale = scale; }
    bool bouncesZoom() const { return m_bouncesZoom; }
    void setBouncesZoom(bool b) { m_bouncesZoom = b; }
    void zoomToRect(const Rect& rect, bool animated);

    bool isTracking() const { return m_tracking; }
    bool isDragging() const { return m_dragging; }
    bool isDecelerating() const { return m_decelerating; }
    bool isZooming() const { return false; }
    bool isZoomBouncing() const { return false; }

    std::shared_ptr<PanGestureRecognizer> panGestureRecognizer() const { return m_pan; }
    // There is no pinch on this platform; zooming is set from code.
    std::shared_ptr<GestureRecognizer> pinchGestureRecognizer() const { return nullptr; }

protected:
    explicit ScrollView(const Rect& frame);
    // Factories call this once the view is owned (the pan needs a weak reference to it); a
    // subclass whose factory does not is given its pan when it joins a superview.
    void installPanRecognizer();
    void didMoveToSuperview() override;

    // Every change of the content offset, before the delegate hears of it.
    virtual void contentOffsetDidChange() {}

private:
    enum class MotionKind { Ease, Decay };
    enum class MotionPurpose { Deceleration, ScrollingAnimation };
    struct Motion {
        Point from;
        Point to;
        double start;
        double duration;
        MotionKind kind;
        MotionPurpose purpose;
    };

    class PanGate;
    void handlePan();
    bool panMayBegin() const;
    void beginDragging();
    void dragTo(const Point& translation);
    void endDragging(Point fingerVelocity);
    Point minOffset() const;
    Point maxOffset() const;
    bool scrollsHorizontally() const;
    bool scrollsVertically() const;
    Point clampedOffset(const Point& p) const;
    Point projectedOffset(const Point& velocity) const;
    Point pagedOffset(const Point& velocity) const;

    void setOffsetAndNotify(const Point& offset);
    void startMotion(const Point& to, double duration, MotionKind kind, MotionPurpose purpose);
    void stepMotion();
    void stopMotion();

    void showIndicators();
    void hideIndicatorsLater();
    void updateIndicators();

    std::weak_ptr<ScrollViewDelegate> m_delegate;
    std::shared_ptr<PanGestureRecognizer> m_pan;
    std::shared_ptr<GestureRecognizerDelegate> m_panGate;
    Size m_contentSize;
    EdgeInsets m_contentInset;
    EdgeInsets m_indicatorInsets;
    double m_decelerationRate = kDecelerationRateNormal;
    double m_zoomScale = 1;
    double m_minimumZoomScale = 1;
    double m_maximumZoomScale = 1;
    ScrollViewIndicatorStyle m_indicatorStyle = ScrollViewIndicatorStyle::Default;
    bool m_scrollEnabled = true;
    bool m_pagingEnabled = false;
    bool m_bounces = true;
    bool m_alwaysBounceVertical = false;
    bool m_alwaysBounceHorizontal = false;
    bool m_directionalLock = false;
    bool m_scrollsToTop = true;
    bool m_canCancelContentTouches = true;
    bool m_delaysContentTouches = true;
    bool m_showsHorizontal = true;
    bool m_showsVertical = true;
    bool m_bouncesZoom = true;

    bool m_tracking = false;
    bool m_dragging = false;
    bool m_decelerating = false;
    Point m_dragStartOffset;
    std::optional<Motion> m_motion;
    std::shared_ptr<core::Timer> m_timer;

    std::shared_ptr<Layer> m_horizontalIndicator;
    std::shared_ptr<Layer> m_verticalIndicator;
    bool m_indicatorsShown = false;
    std::uint64_t m_indicatorGeneration = 0;
};

} // namespace ui
