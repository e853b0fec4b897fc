#include "platform/ui/Slider.h"

#include "platform/ui/Color.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace ui {

namespace {

const Color kMinimumTrackColor = Color::fromRGB(0x007AFF);
const Color kMaximumTrackColor = Color::fromRGB(0xB7B7B7);
const Color kThumbEdgeColor = Color::fromRGB(0xC8C8C8);

} // namespace

std::shared_ptr<Slider> Slider::create(const Rect& frame)
{
    return std::shared_ptr<Slider>(new Slider(frame));
}

Slider::Slider(const Rect& frame)
    : Control(frame)
{
    setOpaque(false);
    setNeedsDisplay();
}

float Slider::clamped(float value) const
{
    return std::clamp(value, m_minimumValue, m_maximumValue);
}

void Slider::setValue(float value, bool)
{
    // The platform moves the thumb at once; "animated" only says the phone would slide it.
    const float next = clamped(value);
    if (next == m_value)
        return;
    m_value = next;
    setNeedsDisplay();
}

void Slider::setMinimumValue(float minimum)
{
    m_minimumValue = minimum;
    m_maximumValue = std::max(m_maximumValue, minimum);
    setValue(m_value);
}

void Slider::setMaximumValue(float maximum)
{
    m_maximumValue = maximum;
    m_minimumValue = std::min(m_minimumValue, maximum);
    setValue(m_value);
}

double Slider::travel() const
{
    return std::max(0.0, bounds().width() - kThumbSize);
}

Rect Slider::thumbRect() const
{
    const Rect b = bounds();
    const double range = double(m_maximumValue) - m_minimumValue;
    const double fraction = range > 0 ? (double(m_value) - m_minimumValue) / range : 0;
    return Rect(b.x() + fraction * travel(), b.y() + (b.height() - kThumbSize) / 2, kThumbSize, kThumbSize);
}

void Slider::touchesBegan(const TouchSet& touches, const Event& event)
{
    if (!isEnabled() || touches.empty())
        return;
    const Point p = touches.front()->locationInView(this);
    const Rect thumb = thumbRect();
    if (!thumb.insetBy(-kThumbTouchMargin, -kThumbTouchMargin).contains(p))
        return;
    m_dragging = true;
    m_grabOffset = p.x - thumb.midX();
    m_valueAtGrab = m_value;
    Control::touchesBegan(touches, event);
}

void Slider::touchesMoved(const TouchSet& touches, const Event& event)
{
    if (!m_dragging || touches.empty())
        return;
    auto self = shared_from_this();
    Control::touchesMoved(touches, event);
    dragTo(touches.front()->locationInView(this).x);
}

void Slider::dragTo(double fingerX)
{
    const double span = travel();
    if (span <= 0)
        return;
    const double centreX = fingerX - m_grabOffset;
    const double fraction = (centreX - bounds().x() - kThumbSize / 2) / span;
    const float before = m_value;
    setValue(float(m_minimumValue + fraction * (double(m_maximumValue) - m_minimumValue)));
    if (m_continuous && m_value != before)
        sendActionsForControlEvents(ControlEvent::ValueChanged);
}

void Slider::touchesEnded(const TouchSet& touches, const Event& event)
{
    if (!m_dragging)
        return;
    auto self = shared_from_this();
    m_dragging = false;
    if (!m_continuous && m_value != m_valueAtGrab)
        sendActionsForControlEvents(ControlEvent::ValueChanged);
    Control::touchesEnded(touches, event);
}

void Slider::touchesCancelled(const TouchSet& touches, const Event& event)
{
    if (!m_dragging)
        return;
    auto self = shared_from_this();
    m_dragging = false;
    Control::touchesCancelled(touches, event);
}

void Slider::draw(DrawContext& context)
{
    const Rect b = bounds();
    const Rect thumb = thumbRect();
    const double trackY = b.y() + (b.height() - kTrackHeight) / 2;
    const double left = b.x() + kThumbSize / 2;
    const double right = b.maxX() - kThumbSize / 2;
    context.setFillColor(kMaximumTrackColor);
    context.fillRect(Rect(left, trackY, std::max(0.0, right - left), kTrackHeight));
    context.setFillColor(kMinimumTrackColor);
    context.fillRect(Rect(left, trackY, std::max(0.0, thumb.midX() - left), kTrackHeight));
    context.setFillColor(isEnabled() ? Color::white() : Color::fromWhite(0.9));
    context.fillEllipse(thumb);
    context.setStrokeColor(kThumbEdgeColor);
    context.setLineWidth(1);
    context.strokeEllipse(thumb.insetBy(0.5, 0.5));
}

} // namespace ui
