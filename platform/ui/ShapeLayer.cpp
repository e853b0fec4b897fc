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
            return true;
        }
        return false;
    }
    if (k == u"fillColor" || k == u"strokeColor") {
        const Color* c = std::get_if<Color>(&v);
        if (!c)
            return false;
        (k == u"fillColor" ? m_fillColor : m_strokeColor) = *c;
        return true;
    }
    if (k == u"lineWidth") {
        const double* d = std::get_if<double>(&v);
        if (!d)
            return false;
        m_lineWidth = *d;
        return true;
    }
    return Layer::setValueForKeyPath(k, v);
}

} // namespace ui
