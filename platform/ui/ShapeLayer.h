#pragma once

#include "platform/ui/Layer.h"

namespace ui {

// A layer that draws a path: filled (non-zero rule) and then stroked, in bounds space.
class ShapeLayer : public Layer {
public:
    enum class LineCap { Butt, Round, Square };
    enum class LineJoin { Miter, Round, Bevel };

    static std::shared_ptr<ShapeLayer> create();

    std::optional<Path> path() const { return m_path; }
    void setPath(std::optional<Path> p);
    Color fillColor() const { return m_fillColor; }           // default black
    void setFillColor(const Color& c);
    Color strokeColor() const { return m_strokeColor; }       // default clear: no stroke
    void setStrokeColor(const Color& c);
    double lineWidth() const { return m_lineWidth; }          // default 1
    void setLineWidth(double w);
    LineCap lineCap() const { return m_lineCap; }
    void setLineCap(LineCap c);
    LineJoin lineJoin() const { return m_lineJoin; }
    void setLineJoin(LineJoin j);

    // Adds path, fillColor, strokeColor, lineWidth.
    AnimatableValue valueForKeyPath(const QString& keyPath) const override;
    bool setValueForKeyPath(const QString& keyPath, const AnimatableValue& value) override;

protected:
    ShapeLayer() = default;
    void copyValuesTo(Layer& to) const override;
    std::shared_ptr<Layer> makeEmpty() const override;

private:
    std::optional<Path> m_path;
    Color m_fillColor = Color::black();
    Color m_strokeColor = Color::clear();
    double m_lineWidth = 1;
    LineCap m_lineCap = LineCap::Butt;
    LineJoin m_lineJoin = LineJoin::Miter;
};

} // namespace ui
