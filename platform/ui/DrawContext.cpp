#include "platform/ui/DrawContext.h"

#include "platform/ui/Image.h"
#include "platform/ui/TextLayout.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <numbers>

namespace ui {

namespace {

Qt::PenCapStyle toQt(DrawContext::LineCap c)
{
    switch (c) {
    case DrawContext::LineCap::Round: return Qt::RoundCap;
    case DrawContext::LineCap::Square: return Qt::SquareCap;
    case DrawContext::LineCap::Butt: break;
    }
    return Qt::FlatCap;
}

Qt::PenJoinStyle toQt(DrawContext::LineJoin j)
{
    switch (j) {
    case DrawContext::LineJoin::Round: return Qt::RoundJoin;
    case DrawContext::LineJoin::Bevel: return Qt::BevelJoin;
    case DrawContext::LineJoin::Miter: break;
    }
    return Qt::MiterJoin;
}

QGradientStops toQt(const std::vector<DrawContext::GradientStop>& stops, double alpha)
{
    QGradientStops q;
    for (const auto& s : stops)
        q.append({s.location, s.color.withAlpha(s.color.alpha() * alpha).toQColor()});
    return q;
}

} // namespace

DrawContext::DrawContext(QPainter& painter)
    : m_painter(painter)
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

DrawContext::~DrawContext()
{
    while (m_painterSaves-- > 0)
        m_painter.restore();
    m_painter.restore();
}

void DrawContext::saveState()
{
    m_saved.push_back(m_state);
    m_painter.save();
    ++m_painterSaves;
}

void DrawContext::restoreState()
{
    if (m_saved.empty())
        return;
    m_state = m_saved.back();
    m_saved.pop_back();
    m_painter.restore();
    --m_painterSaves;
}

void DrawContext::translate(double tx, double ty) { m_painter.translate(tx, ty); }
void DrawContext::scale(double sx, double sy) { m_painter.scale(sx, sy); }
void DrawContext::rotate(double angle) { m_painter.rotate(angle * 180.0 / std::numbers::pi); }
void DrawContext::concat(const Transform& t) { m_painter.setWorldTransform(t.toQTransform(), true); }

Transform DrawContext::currentTransform() const
{
    return Transform::fromQTransform(m_painter.worldTransform());
}

void DrawContext::clipToRect(const Rect& r) { m_painter.setClipRect(r.toQRectF(), Qt::IntersectClip); }
void DrawContext::clipToPath(const Path& p) { m_painter.setClipPath(p.qpainterPath(), Qt::IntersectClip); }

void DrawContext::beginPath() { m_path = Path(); }
void DrawContext::moveTo(Point p) { m_path.moveTo(p); }
void DrawContext::addLineTo(Point p) { m_path.lineTo(p); }
void DrawContext::addCurveTo(Point c1, Point c2, Point end) { m_path.curveTo(c1, c2, end); }
void DrawContext::addQuadCurveTo(Point control, Point end) { m_path.quadCurveTo(control, end); }
void DrawContext::addArc(Point center, double radius, double startAngle, double endAngle, Path::ArcDirection dir)
{
    m_path.addArc(center, radius, startAngle, endAngle, dir);
}
void DrawContext::addArcToPoint(Point p1, Point p2, double radius) { m_path.addArcToPoint(p1, p2, radius); }
void DrawContext::addRect(const Rect& r) { m_path.addRect(r); }
void DrawContext::addEllipse(const Rect& r) { m_path.addEllipse(r); }
void DrawContext::addPath(const Path& p) { m_path.addPath(p); }
void DrawContext::closePath() { m_path.closeSubpath(); }

void DrawContext::fillPath()
{
    fill(m_path);
    m_path = Path();
}

void DrawContext::strokePath()
{
    stroke(m_path);
    m_path = Path();
}

void DrawContext::applyPen()
{
    QPen pen(m_state.stroke.withAlpha(m_state.stroke.alpha() * m_state.alpha).toQColor());
    pen.setWidthF(m_state.lineWidth);
    pen.setCapStyle(toQt(m_state.cap));
    pen.setJoinStyle(toQt(m_state.join));
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
}

void DrawContext::fill(const Path& p)
{
    if (p.isEmpty())
        return;
    QPainterPath q = p.qpainterPath();
    q.setFillRule(Qt::WindingFill);
    m_painter.fillPath(q, m_state.fill.withAlpha(m_state.fill.alpha() * m_state.alpha).toQColor());
}

void DrawContext::stroke(const Path& p)
{
    if (p.isEmpty() || m_state.lineWidth <= 0)
        return;
    applyPen();
    m_painter.drawPath(p.qpainterPath());
}

void DrawContext::fillRect(const Rect& r) { fill(Path::rect(r)); }
void DrawContext::strokeRect(const Rect& r) { stroke(Path::rect(r)); }
void DrawContext::fillEllipse(const Rect& r) { fill(Path::ellipse(r)); }
void DrawContext::strokeEllipse(const Rect& r) { stroke(Path::ellipse(r)); }

void DrawContext::clearRect(const Rect& r)
{
    m_painter.save();
    m_painter.setCompositionMode(QPainter::CompositionMode_Clear);
    m_painter.fillRect(r.toQRectF(), Qt::transparent);
    m_painter.restore();
}

void DrawContext::strokeLine(Point from, Point to)
{
    Path p;
    p.moveTo(from);
    p.lineTo(to);
    stroke(p);
}

void DrawContext::drawRadialGradient(const std::vector<GradientStop>& stops, Point startCenter, double startRadius,
                                     Point endCenter, double endRadius, bool extendAfterEnd)
{
    if (stops.empty())
        return;
    QRadialGradient gradient(endCenter.toQPointF(), endRadius, startCenter.toQPointF(), startRadius);
    gradient.setStops(toQt(stops, m_state.alpha));
    gradient.setSpread(QGradient::PadSpread);
    Path area;
    if (extendAfterEnd) {
        // Everything the device shows, in user space.
        const QRectF device(0, 0, m_painter.device()->width(), m_painter.device()->height());
        area.addRect(Rect::fromQRectF(m_painter.worldTransform().inverted().mapRect(device)));
    } else {
        area.addEllipse(Rect(endCenter.x - endRadius, endCenter.y - endRadius, 2 * endRadius, 2 * endRadius));
    }
    m_painter.fillPath(area.qpainterPath(), QBrush(gradient));
}

void DrawContext::drawLinearGradient(const std::vector<GradientStop>& stops, Point start, Point end)
{
    if (stops.empty())
        return;
    QLinearGradient gradient(start.toQPointF(), end.toQPointF());
    gradient.setStops(toQt(stops, m_state.alpha));
    const QRectF device(0, 0, m_painter.device()->width(), m_painter.device()->height());
    m_painter.fillRect(m_painter.worldTransform().inverted().mapRect(device), QBrush(gradient));
}

void DrawContext::drawImage(const Image& image, const Rect& r)
{
    if (image.isNull() || r.isEmpty())
        return;
    m_painter.save();
    m_painter.setOpacity(m_painter.opacity() * m_state.alpha);
    m_painter.drawImage(r.toQRectF(), image.qimage());
    m_painter.restore();
}

void DrawContext::drawText(const QString& text, const Rect& rect, const Font& font, const Color& color,
                           TextAlignment align, int lines)
{
    if (text.isEmpty() || color.isClear())
        return;
    QString shown = text;
    if (lines == 1) {
        // One line wider than the rect ends in an ellipsis, as the phone's labels do.
        QFontMetricsF metrics(font.qfont(), TextLayout::measuringDevice());
        if (metrics.horizontalAdvance(text) > rect.width() + 0.01)
            shown = metrics.elidedText(text, Qt::ElideRight, rect.width());
    }
    TextLayout layout(shown, font, rect.width(), lines);
    m_painter.save();
    m_painter.setPen(color.withAlpha(color.alpha() * m_state.alpha).toQColor());
    QTextLayout& q = layout.layout();
    for (int i = 0; i < q.lineCount(); ++i) {
        QTextLine line = q.lineAt(i);
        // Lines that do not fit the rect's height are cut, except the first.
        if (i > 0 && line.y() + line.height() > rect.height() + 0.5)
            break;
        double x = rect.x();
        if (align == TextAlignment::Center)
            x += (rect.width() - line.naturalTextWidth()) / 2;
        else if (align == TextAlignment::Right)
            x += rect.width() - line.naturalTextWidth();
        line.draw(&m_painter, QPointF(x - line.x(), rect.y()));
    }
    m_painter.restore();
}

void DrawContext::drawText(const QString& text, Point p, const Font& font, const Color& color)
{
    const Size s = font.sizeOfText(text);
    drawText(text, Rect(p, Size(s.width + 1, s.height)), font, color);
}

} // namespace ui
