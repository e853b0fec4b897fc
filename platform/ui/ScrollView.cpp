#include "platform/ui/ScrollView.h"

#include "platform/core/Clock.h"
#include "platform/core/Dispatch.h"
#include "platform/core/Timer.h"
#include "platform/ui/GestureRecognizerDelegate.h"
#include "platform/ui/Layer.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/ScrollViewDelegate.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double kFrameInterval = 1.0 / 60;
constexpr double kAnimatedOffsetDuration = 0.3;
constexpr double kPageSettleDuration = 0.3;
constexpr double kBounceBackDuration = 0.4;
constexpr double kPagingFlickVelocity = 200;   // points per second
constexpr double kSettleDistance = 0.5;        // points: closer than this counts as arrived
constexpr double kIndicatorThickness = 2.5;
constexpr double kIndicatorMargin = 2;
constexpr double kIndicatorMinLength = 7;
constexpr double kIndicatorHideDelay = 0.5;

// How far content follows a finger that pulls it past its edge: less and less, never
// more than the view's own size.
double rubberBand(double overshoot, double dimension)
{
    if (dimension <= 0)
        return 0;
    const double sign = overshoot < 0 ? -1 : 1;
    const double x = std::abs(overshoot);
    return sign * (1 - 1 / (x * 0.55 / dimension + 1)) * dimension;
}

double bandedAxis(double value, double lo, double hi, double dimension, bool bounces)
{
    if (value < lo)
        return bounces ? lo + rubberBand(value - lo, dimension) : lo;
    if (value > hi)
        return bounces ? hi + rubberBand(value - hi, dimension) : hi;
    return value;
}

double easeOutCubic(double t)
{
    const double u = 1 - t;
    return 1 - u * u * u;
}

double easeInOutCubic(double t)
{
    return t < 0.5 ? 4 * t * t * t : 1 - std::pow(-2 * t + 2, 3) / 2;
}

double distance(const Point& a, const Point& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

} // namespace

// The pan's delegate: a scroll view cannot hand out a weak pointer to itself as a gesture
// delegate, so this small object answers for it.
class ScrollView::PanGate : public GestureRecognizerDelegate {
public:
    explicit PanGate(std::weak_ptr<ScrollView> view) : m_view(std::move(view)) {}
    std::optional<bool> gestureRecognizerShouldBegin(GestureRecognizer&) override
    {
        auto view = m_view.lock();
        return view && view->panMayBegin();
    }

private:
    std::weak_ptr<ScrollView> m_view;
};

std::shared_ptr<ScrollView> ScrollView::create(const Rect& frame)
{
    auto view = std::shared_ptr<ScrollView>(new ScrollView(frame));
    view->installPanRecognizer();
    return view;
}

ScrollView::ScrollView(const Rect& frame)
    : View(frame)
{
    setClipsToBounds(true);
    m_horizontalIndicator = Layer::create();
    m_verticalIndicator = Layer::create();
    for (const auto& indicator : {m_horizontalIndicator, m_verticalIndicator}) {
        indicator->setCornerRadius(kIndicatorThickness / 2);
        indicator->setHidden(true);
        indicator->setName(QStringLiteral("scroll indicator"));
    }
    setIndicatorStyle(ScrollViewIndicatorStyle::Default);
}

ScrollView::~ScrollView()
{
    if (m_timer)
        m_timer->invalidate();
}

void ScrollView::didMoveToSuperview()
{
    View::didMoveToSuperview();
    if (!m_pan && superview())
        installPanRecognizer();
}

void ScrollView::installPanRecognizer()
{
    if (m_pan)
        return;
    std::weak_ptr<ScrollView> weak = std::static_pointer_cast<ScrollView>(shared_from_this());
    m_pan = PanGestureRecognizer::create([weak](GestureRecognizer&) {
        if (auto self = weak.lock())
            self->handlePan();
    });
    m_panGate = std::make_shared<PanGate>(weak);
    m_pan->setDelegate(m_panGate);
    m_pan->setCancelsTouchesInView(m_canCancelContentTouches);
    m_pan->setEnabled(m_scrollEnabled);
    addGestureRecognizer(m_pan);
}

// ---- properties ----------------------------------------------------------------------------

void ScrollView::setContentSize(const Size& size)
{
    m_contentSize = size;
    updateIndicators();
}

void ScrollView::setContentOffset(const Point& offset)
{
    setContentOffset(offset, false);
}

void ScrollView::setContentOffset(const Point& offset, bool animated)
{
    if (!animated) {
        stopMotion();
        setOffsetAndNotify(offset);
        return;
    }
    if (offset == contentOffset())
        return;
    startMotion(offset, kAnimatedOffsetDuration, MotionKind::Ease, MotionPurpose::ScrollingAnimation);
}

void ScrollView::setContentInset(const EdgeInsets& inset)
{
    m_contentInset = inset;
    updateIndicators();
}

void ScrollView::scrollRectToVisible(const Rect& rect, bool animated)
{
    const Rect b = bounds();
    Point target = b.origin;
    if (rect.maxX() > b.maxX())
        target.x = rect.maxX() - b.width();
    if (rect.minX() < target.x)
        target.x = rect.minX();
    if (rect.maxY() > b.maxY())
        target.y = rect.maxY() - b.height();
    if (rect.minY() < target.y)
        target.y = rect.minY();
    setContentOffset(clampedOffset(target), animated);
}

void ScrollView::setScrollEnabled(bool enabled)
{
    m_scrollEnabled = enabled;
    if (m_pan)
        m_pan->setEnabled(enabled);
}

void ScrollView::setCanCancelContentTouches(bool can)
{
    m_canCancelContentTouches = can;
    if (m_pan)
        m_pan->setCancelsTouchesInView(can);
}

void ScrollView::setDecelerationRate(double rate)
{
    // Rates outside (0, 1) would never stop or run backwards.
    m_decelerationRate = std::clamp(rate, 0.5, 0.9999);
}

void ScrollView::setIndicatorStyle(ScrollViewIndicatorStyle style)
{
    m_indicatorStyle = style;
    const Color color = style == ScrollViewIndicatorStyle::White ? Color::white().withAlpha(0.6)
                                                                 : Color::black().withAlpha(0.35);
    m_horizontalIndicator->setBackgroundColor(color);
    m_verticalIndicator->setBackgroundColor(color);
}

void ScrollView::setScrollIndicatorInsets(const EdgeInsets& insets)
{
    m_indicatorInsets = insets;
    updateIndicators();
}

void ScrollView::setShowsHorizontalScrollIndicator(bool shows)
{
    m_showsHorizontal = shows;
    updateIndicators();
}

void ScrollView::setShowsVerticalScrollIndicator(bool shows)
{
    m_showsVertical = shows;
    updateIndicators();
}

void ScrollView::flashScrollIndicators()
{
    showIndicators();
    hideIndicatorsLater();
}

// ---- zoom ----------------------------------------------------------------------------------

void ScrollView::setZoomScale(double scale)
{
    setZoomScale(scale, false);
}

void ScrollView::setZoomScale(double scale, bool)
{
    scale = std::clamp(scale, m_minimumZoomScale, std::max(m_minimumZoomScale, m_maximumZoomScale));
    if (scale == m_zoomScale)
        return;
    auto self = shared_from_this();
    m_zoomScale = scale;
    auto d = delegate();
    if (!d)
        return;
    if (auto zoomed = d->viewForZoomingInScrollView(*this)) {
        zoomed->setTransform(Transform::scale(scale, scale));
        setContentSize(zoomed->frame().size);
    }
    d->scrollViewDidZoom(*this);
}

void ScrollView::zoomToRect(const Rect& rect, bool animated)
{
    if (rect.isEmpty())
        return;
    const Rect b = bounds();
    setZoomScale(std::min(b.width() / rect.width(), b.height() / rect.height()), animated);
    setContentOffset(clampedOffset(Point(rect.x() * m_zoomScale, rect.y() * m_zoomScale)), animated);
}

// ---- geometry ------------------------------------------------------------------------------

Point ScrollView::minOffset() const
{
    return {-m_contentInset.left, -m_contentInset.top};
}

Point ScrollView::maxOffset() const
{
    const Rect b = bounds();
    const Point lo = minOffset();
    return {std::max(lo.x, m_contentSize.width + m_contentInset.right - b.width()),
            std::max(lo.y, m_contentSize.height + m_contentInset.bottom - b.height())};
}

bool ScrollView::scrollsHorizontally() const
{
    return maxOffset().x > minOffset().x || (m_bounces && m_alwaysBounceHorizontal);
}

bool ScrollView::scrollsVertically() const
{
    return maxOffset().y > minOffset().y || (m_bounces && m_alwaysBounceVertical);
}

Point ScrollView::clampedOffset(const Point& p) const
{
    const Point lo = minOffset();
    const Point hi = maxOffset();
    return {std::clamp(p.x, lo.x, hi.x), std::clamp(p.y, lo.y, hi.y)};
}

// Where a free deceleration from `velocity` comes to rest: the velocity decays by the rate
// every millisecond, so the distance is v / k with k = -1000 ln(rate) per second.
Point ScrollView::projectedOffset(const Point& velocity) const
{
    const double k = -1000 * std::log(m_decelerationRate);
    const Point o = contentOffset();
    return clampedOffset(Point(o.x + velocity.x / k, o.y + velocity.y / k));
}

// Paging moves at most one page from where the drag began: a flick goes on in its
// direction, a slow release settles on the nearest page.
Point ScrollView::pagedOffset(const Point& velocity) const
{
    const Rect b = bounds();
    const Point o = contentOffset();
    auto axis = [](double offset, double start, double v, double page, double lo, double hi) {
        if (page <= 0)
            return std::clamp(offset, lo, hi);
        const double p = offset / page;
        double target;
        if (v > kPagingFlickVelocity)
            target = std::floor(p + 1e-9) + 1;
        else if (v < -kPagingFlickVelocity)
            target = std::ceil(p - 1e-9) - 1;
        else
            target = std::round(p);
        const double startPage = std::round(start / page);
        target = std::clamp(target, startPage - 1, startPage + 1);
        return std::clamp(target * page, lo, hi);
    };
    const Point lo = minOffset();
    const Point hi = maxOffset();
    return {axis(o.x, m_dragStartOffset.x, velocity.x, b.width(), lo.x, hi.x),
            axis(o.y, m_dragStartOffset.y, velocity.y, b.height(), lo.y, hi.y)};
}

// ---- dragging ------------------------------------------------------------------------------

void ScrollView::handlePan()
{
    switch (m_pan->state()) {
    case GestureRecognizer::State::Began:
        beginDragging();
        break;
    case GestureRecognizer::State::Changed:
        dragTo(m_pan->translationInView(this));
        break;
    case GestureRecognizer::State::Ended:
        dragTo(m_pan->translationInView(this));
        endDragging(m_pan->velocityInView(this));
        break;
    case GestureRecognizer::State::Cancelled:
        endDragging(Point());
        break;
    default:
        break;
    }
}

bool ScrollView::panMayBegin() const
{
    const Point t = m_pan->translationInView(this);
    return std::abs(t.x) > std::abs(t.y) ? scrollsHorizontally() : scrollsVertically();
}

void ScrollView::beginDragging()
{
    auto self = shared_from_this();
    stopMotion();
    m_dragStartOffset = contentOffset();
    m_tracking = true;
    m_dragging = true;
    showIndicators();
    if (auto d = delegate())
        d->scrollViewWillBeginDragging(*this);
}

void ScrollView::dragTo(const Point& translation)
{
    if (!m_dragging)
        return;
    const Rect b = bounds();
    const Point lo = minOffset();
    const Point hi = maxOffset();
    Point target = contentOffset();
    if (scrollsHorizontally())
        target.x = bandedAxis(m_dragStartOffset.x - translation.x, lo.x, hi.x, b.width(), m_bounces);
    if (scrollsVertically())
        target.y = bandedAxis(m_dragStartOffset.y - translation.y, lo.y, hi.y, b.height(), m_bounces);
    if (m_directionalLock && scrollsHorizontally() && scrollsVertically()) {
        if (std::abs(translation.x) > std::abs(translation.y))
            target.y = m_dragStartOffset.y;
        else
            target.x = m_dragStartOffset.x;
    }
    setOffsetAndNotify(target);
}

void ScrollView::endDragging(Point fingerVelocity)
{
    if (!m_dragging)
        return;
    auto self = shared_from_this();
    Point velocity(scrollsHorizontally() ? -fingerVelocity.x : 0, scrollsVertically() ? -fingerVelocity.y : 0);
    m_tracking = false;

    Point target = m_pagingEnabled ? pagedOffset(velocity) : projectedOffset(velocity);
    if (auto d = delegate())
        d->scrollViewWillEndDragging(*this, velocity, target);
    target = clampedOffset(target);

    const bool willDecelerate = distance(target, contentOffset()) >= kSettleDistance;
    m_dragging = false;
    if (auto d = delegate())
        d->scrollViewDidEndDragging(*this, willDecelerate);
    if (!willDecelerate) {
        setOffsetAndNotify(target);
        hideIndicatorsLater();
        return;
    }
    m_decelerating = true;
    if (auto d = delegate())
        d->scrollViewWillBeginDecelerating(*this);
    if (!m_decelerating)
        return;   // the delegate moved the content itself

    const Point o = contentOffset();
    const bool outside = clampedOffset(o) != o;
    if (m_pagingEnabled) {
        startMotion(target, kPageSettleDuration, MotionKind::Ease, MotionPurpose::Deceleration);
    } else if (outside && distance(target, clampedOffset(o)) < kSettleDistance) {
        startMotion(target, kBounceBackDuration, MotionKind::Ease, MotionPurpose::Deceleration);
    } else {
        const double k = -1000 * std::log(m_decelerationRate);
        const double d = distance(target, o);
        const double duration = std::clamp(std::log(d / kSettleDistance) / k, 0.15, 3.0);
        startMotion(target, duration, MotionKind::Decay, MotionPurpose::Deceleration);
    }
}

// ---- motion --------------------------------------------------------------------------------

void ScrollView::setOffsetAndNotify(const Point& offset)
{
    if (offset == contentOffset())
        return;
    auto self = shared_from_this();
    Rect b = bounds();
    b.origin = offset;
    setBounds(b);
    contentOffsetDidChange();
    updateIndicators();
    if (auto d = delegate())
        d->scrollViewDidScroll(*this);
}

void ScrollView::startMotion(const Point& to, double duration, MotionKind kind, MotionPurpose purpose)
{
    stopMotion();
    if (purpose == MotionPurpose::Deceleration)
        m_decelerating = true;
    m_motion = Motion{contentOffset(), to, core::Clock::now(), duration, kind, purpose};
    showIndicators();
    auto self = std::static_pointer_cast<ScrollView>(shared_from_this());
    m_timer = core::Timer::scheduledTimer(kFrameInterval, true, self, [this](core::Timer&) { stepMotion(); });
}

void ScrollView::stepMotion()
{
    if (!m_motion)
        return;
    auto self = shared_from_this();
    const Motion m = *m_motion;
    const double t = (core::Clock::now() - m.start) / m.duration;
    if (t < 1) {
        double f;
        if (m.kind == MotionKind::Decay) {
            // Exponential decay rescaled to land exactly on the target at the end.
            const double k = -1000 * std::log(m_decelerationRate) * m.duration;
            f = (1 - std::exp(-k * t)) / (1 - std::exp(-k));
        } else {
            f = m.purpose == MotionPurpose::Deceleration ? easeOutCubic(t) : easeInOutCubic(t);
        }
        setOffsetAndNotify(m.from + (m.to - m.from) * f);
        return;
    }
    stopMotion();
    setOffsetAndNotify(m.to);
    hideIndicatorsLater();
    auto d = delegate();
    if (!d)
        return;
    if (m.purpose == MotionPurpose::Deceleration)
        d->scrollViewDidEndDecelerating(*this);
    else
        d->scrollViewDidEndScrollingAnimation(*this);
}

void ScrollView::stopMotion()
{
    m_motion.reset();
    m_decelerating = false;
    if (m_timer) {
        m_timer->invalidate();
        m_timer.reset();
    }
}

// ---- indicators ----------------------------------------------------------------------------

void ScrollView::showIndicators()
{
    m_indicatorsShown = true;
    ++m_indicatorGeneration;
    // Above every subview's layer, which were added after them.
    layer()->addSublayer(m_horizontalIndicator);
    layer()->addSublayer(m_verticalIndicator);
    updateIndicators();
}

void ScrollView::hideIndicatorsLater()
{
    const auto generation = ++m_indicatorGeneration;
    auto self = std::static_pointer_cast<ScrollView>(shared_from_this());
    core::after(kIndicatorHideDelay, self, [this, generation] {
        if (generation != m_indicatorGeneration || m_dragging || m_motion)
            return;
        m_indicatorsShown = false;
        updateIndicators();
    });
}

void ScrollView::updateIndicators()
{
    const Rect b = bounds();
    const Point lo = minOffset();
    const Point hi = maxOffset();
    const EdgeInsets in = m_indicatorInsets;

    const bool vertical = m_indicatorsShown && m_showsVertical && hi.y > lo.y;
    m_verticalIndicator->setHidden(!vertical);
    if (vertical) {
        const double track = b.height() - in.top - in.bottom - 2 * kIndicatorMargin;
        const double length = std::max(kIndicatorMinLength, track * b.height() / (m_contentSize.height + m_contentInset.top + m_contentInset.bottom));
        const double progress = std::clamp((b.y() - lo.y) / (hi.y - lo.y), 0.0, 1.0);
        m_verticalIndicator->setFrame(Rect(b.maxX() - in.right - kIndicatorMargin - kIndicatorThickness,
                                           b.y() + in.top + kIndicatorMargin + progress * (track - length),
                                           kIndicatorThickness, length));
    }
    const bool horizontal = m_indicatorsShown && m_showsHorizontal && hi.x > lo.x;
    m_horizontalIndicator->setHidden(!horizontal);
    if (horizontal) {
        const double track = b.width() - in.left - in.right - 2 * kIndicatorMargin;
        const double length = std::max(kIndicatorMinLength, track * b.width() / (m_contentSize.width + m_contentInset.left + m_contentInset.right));
        const double progress = std::clamp((b.x() - lo.x) / (hi.x - lo.x), 0.0, 1.0);
        m_horizontalIndicator->setFrame(Rect(b.x() + in.left + kIndicatorMargin + progress * (track - length),
                                             b.maxY() - in.bottom - kIndicatorMargin - kIndicatorThickness,
                                             length, kIndicatorThickness));
    }
}

} // namespace ui
