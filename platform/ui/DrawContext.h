#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Path.h"

#include <QString>
#include <vector>

class QPainter;

namespace ui {

class Image;

// The drawing context handed to custom drawing (a view's draw()), over a QPainter whose
// device is 72 dpi (Renderer's images are). Coordinates are the layer's bounds space in
// points; the context already maps them to pixels at the screen's scale.
//
// As on the phone it has a current path built with moveTo/addLineTo/addArc/... and
// consumed by fillPath()/strokePath(); Path objects can be filled and stroked directly.
// Angles run from +x towards +y (down), so increasing angles turn clockwise on screen.
class DrawContext {
public:
    enum class LineCap { Butt, Round, Square };
    enum class LineJoin { Miter, Round, Bevel };
    enum class TextAlignment { Left, Center, Right };

    struct GradientStop {
        double location;
        Color color;
    };

    explicit DrawContext(QPainter& painter);
    ~DrawContext();
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    QPainter& painter() { return m_painter; }

    // State (saved and restored together with the clip and the transform).
    void saveState();
    void restoreState();
    void setFillColor(const Color& c) { m_state.fill = c; }
    void setStrokeColor(const Color& c) { m_state.stroke = c; }
    void setLineWidth(double w) { m_state.lineWidth = w; }
    void setLineCap(LineCap c) { m_state.cap = c; }
    void setLineJoin(LineJoin j) { m_state.join = j; }
    void setAlpha(double a) { m_state.alpha = a; }
    Color fillColor() const { return m_state.fill; }
    Color strokeColor() const { return m_state.stroke; }
    double lineWidth() const { return m_state.lineWidth; }

    // Transform: the context's map from user space to the layer's bounds space.
    void translate(double tx, double ty);
    void scale(double sx, double sy);
    void rotate(double angle);
    void concat(const Transform& t);
    Transform currentTransform() const;

    // Clip (intersects the current one).
    void clipToRect(const Rect& r);
    void clipToPath(const Path& p);

    // The current path.
    void beginPath();
    void moveTo(Point p);
    void addLineTo(Point p);
    void addCurveTo(Point c1, Point c2, Point end);
    void addQuadCurveTo(Point control, Point end);
    void addArc(Point center, double radius, double startAngle, double endAngle, Path::ArcDirection dir);
    void addArcToPoint(Point p1, Point p2, double radius);
    void addRect(const Rect& r);
    void addEllipse(const Rect& r);
    void addPath(const Path& p);
    void closePath();
    const Path& currentPath() const { return m_path; }
    void fillPath();     // fills and clears the current path
    void strokePath();   // strokes and clears the current path

    // Immediate drawing.
    void fillRect(const Rect& r);
    void strokeRect(const Rect& r);
    void clearRect(const Rect& r);
    void fillEllipse(const Rect& r);
    void strokeEllipse(const Rect& r);
    void fill(const Path& p);
    void stroke(const Path& p);
    void strokeLine(Point from, Point to);

    // Radial gradient between two circles; `extendAfterEnd` keeps the last colour beyond the
    // end circle (the "draws after end location" option); without it nothing is drawn there.
    void drawRadialGradient(const std::vector<GradientStop>& stops, Point startCenter, double startRadius,
                            Point endCenter, double endRadius, bool extendAfterEnd);
    void drawLinearGradient(const std::vector<GradientStop>& stops, Point start, Point end);

    void drawImage(const Image& image, const Rect& r);
    // Text in `rect`, wrapped at word or character boundaries when lines != 1 (0: any number),
    // cut at the rect's bottom; vertically at the top of rect.
    void drawText(const QString& text, const Rect& rect, const Font& font, const Color& color,
                  TextAlignment align = TextAlignment::Left, int lines = 1);
    // One line with its top-left at p.
    void drawText(const QString& text, Point p, const Font& font, const Color& color);

private:
    struct State {
        Color fill = Color::black();
        Color stroke = Color::black();
        double lineWidth = 1;
        LineCap cap = LineCap::Butt;
        LineJoin join = LineJoin::Miter;
        double alpha = 1;
    };
    void applyPen();

    QPainter& m_painter;
    State m_state;
    std::vector<State> m_saved;
    Path m_path;
    int m_painterSaves = 0;
};

} // namespace ui
