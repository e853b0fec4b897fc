#include "platform/ui/ShapeLayer.h"

namespace ui {

std::shared_ptr<ShapeLayer> ShapeLayer::create()
{
    return std::shared_ptr<ShapeLayer>(new ShapeLayer);
}

std::shared_ptr<Layer> ShapeLayer::makeEmpty() const
{
    return std::shared_ptr<ShapeLayer>(new ShapeLayer);
}

void ShapeLayer::copyValuesTo(Layer& to) const
{
    Layer::copyValuesTo(to);
    auto& shape = static_cast<ShapeLayer&>(to);
    shape.m_path = m_path;
    shape.m_fillColor = m_fillColor;
    shape.m_strokeColor = m_strokeColor;
    shape.m_lineWidth = m_lineWidth;
    shape.m_lineCap = m_lineCap;
    shape.m_lineJoin = m_lineJoin;
}

// A path may reach anywhere, so any change of the shape may alter anything.
void ShapeLayer::setPath(std::optional<Path> p)
{
    if (p == m_path)
        return;
    m_path = std::move(p);
    changed(Change::Anything);
}

void ShapeLayer::setFillColor(const Color& c)
{
    if (c == m_fillColor)
        return;
    m_fillColor = c;
    changed(Change::Anything);
}

void ShapeLayer::setStrokeColor(const Color& c)
{
    if (c == m_strokeColor)
        return;
    m_strokeColor = c;
    changed(Change::Anything);
}

void ShapeLayer::setLineWidth(double w)
{
    if (w == m_lineWidth)
        return;
    m_lineWidth = w;
    changed(Change::Anything);
}

void ShapeLayer::setLineCap(LineCap c)
{
    if (c == m_lineCap)
        return;
    m_lineCap = c;
    changed(Change::Anything);
}

void ShapeLayer::setLineJoin(LineJoin j)
{
    if (j == m_lineJoin)
        return;
    m_lineJoin = j;
    changed(Change::Anything);
}

AnimatableValue ShapeLayer::valueForKeyPath(const QString& k) const
{
    if (k == u"path") return m_path ? AnimatableValue(*m_path) : AnimatableValue(Path());
    if (k == u"fillColor") return m_fillColor;
    if (k == u"strokeColor") return m_strokeColor;
    if (k == u"lineWidth") return m_lineWidth;
    return Layer::valueForKeyPath(k);
}

bool ShapeLayer::setValueForKeyPath(const QString& k, const AnimatableValue& v)
{
    if (k == u"path") {
        if (const Path* p = std::get_if<Path>(&v)) {
            m_path = *p;
            changed(Change::Anything);
            return true;
        }
        return false;
    }
    if (k == u"fillColor" || k == u"strokeColor") {
        const Color* c = std::get_if<Color>(&v);
        if (!c)
            return false;
        (k == u"fillColor" ? m_fillColor : m_strokeColor) = *c;
        changed(Change::Anything);
        return true;
    }
    if (k == u"lineWidth") {
        const double* d = std::get_if<double>(&v);
        if (!d)
            return false;
        m_lineWidth = *d;
        changed(Change::Anything);
        return true;
    }
    return Layer::setValueForKeyPath(k, v);
}

} // namespace ui
