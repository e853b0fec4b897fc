#include "platform/ui/Renderer.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/ShapeLayer.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <functional>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace ui {

namespace {

// Layer drawing in a few steps:
//  - a layer is drawn in its presentation values (the model itself when nothing animates);
//  - the painter's world transform maps the layer's bounds space to device pixels;
//  - a layer that needs its result as a whole (opacity over sublayers, a mask, a shadow cast
//    by its own alpha) is drawn into an offscreen image of device pixels first, then
//    composited; everything else is drawn straight onto the device.

constexpr int kDotsPerMeter72 = 2835;   // fonts are measured at 72 dpi (see Font)

QImage newCanvas(QSize size, const QColor& fill = Qt::transparent)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(kDotsPerMeter72);
    image.setDotsPerMeterY(kDotsPerMeter72);
    image.fill(fill);
    return image;
}

double scaleOf(const QTransform& t)
{
    return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
}

QRect deviceRect(const QPainter& p)
{
    return QRect(0, 0, p.device()->width(), p.device()->height());
}

// Where a layer's border is stroked (the rectangle the pen's centre runs along) and how wide.
struct BorderStroke {
    Rect rect;
    double width;
};

// Under a plain scale the border lies on whole device pixels, its width rounded to whole
// pixels (a hairline thinner than one pixel keeps its width): at a fractional frame it would
// otherwise fall across two pixels, faint on some sides and solid on others.
BorderStroke borderStroke(const QTransform& world, const Rect& bounds, double width)
{
    const double scale = world.m11();
    if (world.type() > QTransform::TxScale || scale <= 0 || !qFuzzyCompare(scale, world.m22()))
        return {bounds.insetBy(width / 2, width / 2), width};
    const double pixels = width * scale >= 1 ? std::round(width * scale) : width * scale;
    const QRectF device = world.mapRect(bounds.toQRectF());
    const QRectF snapped(QPointF(std::round(device.left()), std::round(device.top())),
                         QPointF(std::round(device.right()), std::round(device.bottom())));
    if (snapped.width() < pixels || snapped.height() < pixels)
        return {bounds.insetBy(width / 2, width / 2), width};
    const double half = pixels / 2;
    const QRectF centre = world.inverted().mapRect(snapped.adjusted(half, half, -half, -half));
    return {Rect(centre.x(), centre.y(), centre.width(), centre.height()), pixels / scale};
}

// Three box blurs approximate a Gaussian of the given sigma (pixels). Works on one byte
// per pixel (the shadow's coverage); outside the image counts as transparent.
void boxBlurPass(std::vector<int>& a, int w, int h, int radius, bool horizontal)
{
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    const int step = horizontal ? 1 : w;
    const int window = 2 * radius + 1;
    std::vector<int> src(static_cast<std::size_t>(length));
    for (int line = 0; line < lines; ++line) {
        int* base = a.data() + (horizontal ? line * w : line);
        for (int i = 0; i < length; ++i)
            src[static_cast<std::size_t>(i)] = base[i * step];
        int sum = 0;
        for (int i = 0; i <= std::min(radius, length - 1); ++i)
            sum += src[static_cast<std::size_t>(i)];
        for (int i = 0; i < length; ++i) {
            base[i * step] = sum / window;
            if (i - radius >= 0)
                sum -= src[static_cast<std::size_t>(i - radius)];
            if (i + radius + 1 < length)
                sum += src[static_cast<std::size_t>(i + radius + 1)];
        }
    }
}

int boxRadiusFor(double sigma)
{
    return std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
}

// Three box radii whose passes together spread as far as the full-resolution blur of `sigma`
// does at 1/reduction of its resolution. One radius for all three is too coarse there: the
// boxes are a few pixels wide, so two neighbouring widths are mixed to match the variance.
std::array<int, 3> reducedBoxRadii(double sigma, int reduction)
{
    // A box of width w spreads by (w² - 1) / 12; three passes add up.
    const int full = 2 * boxRadiusFor(sigma) + 1;
    const double variance = 3.0 * (full * full - 1) / 12 / (reduction * reduction);
    int lower = std::max(1, static_cast<int>(std::sqrt(4 * variance + 1)));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const int atLower = std::clamp(static_cast<int>(std::lround((3.0 * (upper * upper - 1) - 12 * variance) / (upper * upper - lower * lower))), 0, 3);
    std::array<int, 3> radii{};
    for (int pass = 0; pass < 3; ++pass)
        radii[static_cast<std::size_t>(pass)] = ((pass < atLower ? lower : upper) - 1) / 2;
    return radii;
}

// The shadow of `coverage` (premultiplied ARGB, only alpha read): its alpha blurred by three
// box passes of the given radii (0 for none), then painted in `color`.
QImage shadowImage(const QImage& coverage, const std::array<int, 3>& radii, const QColor& color)
{
    const int w = coverage.width(), h = coverage.height();
    std::vector<int> a(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
        for (int x = 0; x < w; ++x)
            a[static_cast<std::size_t>(y * w + x)] = qAlpha(line[x]);
    }
    for (const int radius : radii) {
        if (radius <= 0)
            continue;
        boxBlurPass(a, w, h, radius, true);
        boxBlurPass(a, w, h, radius, false);
    }
    QImage out = newCanvas(coverage.size());
    const QRgb premultiplied = qPremultiply(color.rgba());
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int cover = a[static_cast<std::size_t>(y * w + x)];
            line[x] = cover == 0 ? 0
                                 : qRgba(qRed(premultiplied) * cover / 255, qGreen(premultiplied) * cover / 255,
                                         qBlue(premultiplied) * cover / 255, qAlpha(premultiplied) * cover / 255);
        }
    }
    return out;
}

Path roundedBounds(const Layer& l)
{
    return l.cornerRadius() > 0 ? Path::roundedRect(l.bounds(), l.cornerRadius()) : Path::rect(l.bounds());
}

bool castsShadow(const Layer& l)
{
    // A layer that masks to its bounds clips its own shadow away, as on the phone.
    return l.shadowOpacity() > 0 && l.shadowColor().alpha() > 0 && !l.masksToBounds();
}

Color shadowFill(const Layer& l)
{
    return l.shadowColor().withAlpha(l.shadowColor().alpha() * std::min(1.0, l.shadowOpacity()));
}

// A mask that is nothing but an opaque filled rectangle landing on whole device pixels cuts
// exactly what a clip to that rectangle cuts, so its layer needs no offscreen pass. The side
// panel masks its sliding view, the whole screen, this way: two screen-sized offscreen images
// were most of the first frame's memory. Returns the rectangle in the masked layer's space.
std::optional<QRectF> maskAsClip(const Layer& mask, const QTransform& world)
{
    const auto* shape = dynamic_cast<const ShapeLayer*>(&mask);
    if (!shape || mask.hasAnimations() || !mask.sublayers().empty() || mask.isHidden() || mask.opacity() < 1 || mask.mask()
        || !mask.backgroundColor().isClear() || !mask.contents().isNull() || mask.hasDrawCallback()
        || mask.borderWidth() > 0 || castsShadow(mask))
        return std::nullopt;
    if (shape->fillColor().alpha() < 1 || (!shape->strokeColor().isClear() && shape->lineWidth() > 0) || !shape->path())
        return std::nullopt;
    const QPainterPath path = shape->path()->qpainterPath();
    QPainterPath asRect;
    asRect.addRect(path.boundingRect());
    if (path.isEmpty() || path != asRect)
        return std::nullopt;
    const QTransform inLayer = mask.transformToSuperlayer().toQTransform();
    const QTransform toDevice = inLayer * world;
    if (toDevice.type() > QTransform::TxScale)
        return std::nullopt;
    const QRectF device = toDevice.mapRect(path.boundingRect());
    const QRectF whole = QRectF(device.toRect());
    constexpr double kTolerance = 1e-6;
    if (std::abs(device.left() - whole.left()) > kTolerance || std::abs(device.top() - whole.top()) > kTolerance
        || std::abs(device.right() - whole.right()) > kTolerance || std::abs(device.bottom() - whole.bottom()) > kTolerance)
        return std::nullopt;
    return inLayer.mapRect(path.boundingRect());
}

// Whether `l` paints every point of `rect` (in its superlayer's space) opaquely, so that what
// lies below it there cannot be seen. Only the plain cases count: an opaque background or an
// opaque bitmap stretched over the bounds, or a sublayer that covers, all without animation,
// fading or rotation; anything else answers no, which only costs drawing something hidden.
bool coversOpaquely(const Layer& l, const QRectF& rect, int depth = 3)
{
    if (depth == 0 || l.isHidden() || l.hasAnimations() || l.opacity() < 1)
        return false;
    const QTransform toSuper = l.transformToSuperlayer().toQTransform();
    if (toSuper.type() > QTransform::TxScale || !toSuper.isInvertible())
        return false;
    const QRectF bounds = l.bounds().toQRectF();
    // What a layer draws outside its own frame is not counted, which keeps the walk short.
    if (!toSuper.mapRect(bounds).contains(rect))
        return false;
    const QRectF inLayer = toSuper.inverted().mapRect(rect);
    if (const auto mask = l.mask()) {
        const std::optional<QRectF> clip = maskAsClip(*mask, QTransform());
        if (!clip || !clip->contains(inLayer))
            return false;
    }
    const bool square = l.cornerRadius() <= 0;
    if (square && l.backgroundColor().alpha() >= 1)
        return true;
    const QImage contents = l.contents().qimage();   // contents() is a temporary: keep a shared copy
    if ((square || !l.masksToBounds()) && !contents.isNull() && !contents.hasAlphaChannel()
        && l.contentsGravity() == Layer::ContentsGravity::Resize)
        return true;
    if (!square && l.masksToBounds())
        return false;
    const auto subs = l.sublayers();
    return std::any_of(subs.begin(), subs.end(), [&](const auto& sub) { return coversOpaquely(*sub, inLayer, depth - 1); });
}

// The sublayers of `l` that a cover hides where `visible` (in `l`'s bounds space) is drawn:
// all those before the last one that covers it opaquely.
std::vector<std::shared_ptr<Layer>>::const_iterator firstUncovered(const std::vector<std::shared_ptr<Layer>>& subs,
                                                                   const QRectF& visible)
{
    for (auto it = subs.end(); it != subs.begin();) {
        --it;
        if (coversOpaquely(**it, visible))
            return it;
    }
    return subs.begin();
}

double lastAnimationEnd(const Layer& l, double now)
{
    double last = -std::numeric_limits<double>::infinity();
    for (const QString& key : l.animationKeys()) {
        const auto animation = l.animationForKey(key);
        const double end = animation->beginTime() + animation->activeDuration();
        if (std::isfinite(end) && end > now)
            last = std::max(last, end);
    }
    return last;
}

// Calls `visit` with every layer whose animations could change what the canvas shows:
// hidden layers without animations of their own are left out with their sublayers, and so
// is what lies wholly under a later opaque sibling. `drawnOnly` leaves out every hidden layer
// (hidden is not animated, so none is ever drawn) and layers faded out with nothing to fade
// them in. `world` maps `l`'s superlayer space to the canvas, `screen` is the canvas in points
// and `opacity` what the superlayers fade everything below them by.
void visitVisiblyAnimated(const Layer& l, const QTransform& world, const QRectF& screen, double opacity,
                          bool drawnOnly, const std::function<void(const Layer&)>& visit)
{
    if (l.isHidden() && (drawnOnly || !l.hasAnimations()))
        return;
    if (drawnOnly && l.opacity() <= 0 && !l.hasAnimations())
        return;
    if (l.hasAnimations())
        visit(l);
    if (const auto mask = l.mask(); mask && mask->hasAnimations())
        visit(*mask);
    const QTransform inner = l.transformToSuperlayer().toQTransform() * world;
    opacity *= std::clamp(l.opacity(), 0.0, 1.0);
    const auto subs = l.sublayers();
    // Through a faded superlayer what lies below a cover shows, as it does when drawn.
    const auto first = opacity >= 1 && inner.isInvertible() ? firstUncovered(subs, inner.inverted().mapRect(screen))
                                                            : subs.begin();
    for (auto it = first; it != subs.end(); ++it)
        visitVisiblyAnimated(**it, inner, screen, opacity, drawnOnly, visit);
}

// The earliest time from `now` on at which an animation of `l` shows something new: now
// while one runs (an endless one always), its begin for one still to begin, else infinity.
double nextAnimationChange(const Layer& l, double now)
{
    double next = std::numeric_limits<double>::infinity();
    for (const QString& key : l.animationKeys()) {
        const auto animation = l.animationForKey(key);
        const double begin = animation->beginTime();
        if (begin > now)
            next = std::min(next, begin);
        else if (begin + animation->activeDuration() > now)
            return now;
    }
    return next;
}

class Painter {
public:
    void layer(QPainter& p, const Layer& model, bool ownGeometry);

private:
    void content(QPainter& p, const Layer& model, const Layer& l);
    void contents(QPainter& p, const Layer& l);
    void shape(QPainter& p, const ShapeLayer& s);
    void drawShadowImage(QPainter& p, const QImage& alpha, QPoint origin, const Layer& l, const QTransform& parent);
    void drawPathShadow(QPainter& p, const Layer& model, const Layer& l, const QTransform& world, const QTransform& parent);
    QImage blurredShadow(const QImage& alpha, const Layer& l, const QTransform& parent, int& margin);
    void blitShadow(QPainter& p, const QImage& shadow, QPoint origin, int margin, const Layer& l, const QTransform& parent,
                    int reduction = 1);
    QImage offscreen(const QRect& region, const QTransform& world, const std::function<void(QPainter&)>& draw);
};

QImage Painter::offscreen(const QRect& region, const QTransform& world, const std::function<void(QPainter&)>& draw)
{
    QImage image = newCanvas(region.size());
    QPainter q(&image);
    q.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    q.setWorldTransform(world * QTransform::fromTranslate(-region.x(), -region.y()));
    draw(q);
    return image;
}

// Colours the alpha of `alpha` (device pixels at `origin`) with the shadow colour, blurs it
// and draws it at the shadow offset, taken in the superlayer's space.
QImage Painter::blurredShadow(const QImage& alpha, const Layer& l, const QTransform& parent, int& margin)
{
    const double sigma = l.shadowRadius() * scaleOf(parent) / 2;
    margin = static_cast<int>(std::ceil(3 * sigma)) + 1;
    QImage coverage = newCanvas(alpha.size() + QSize(2 * margin, 2 * margin));
    {
        QPainter q(&coverage);
        q.drawImage(margin, margin, alpha);
    }
    const int radius = sigma >= 0.5 ? boxRadiusFor(sigma) : 0;
    return shadowImage(coverage, {radius, radius, radius}, shadowFill(l).toQColor());
}

// `shadow` covers `reduction` device pixels with each of its own; it is stretched back smoothly.
void Painter::blitShadow(QPainter& p, const QImage& shadow, QPoint origin, int margin, const Layer& l, const QTransform& parent,
                         int reduction)
{
    const QPointF offset = parent.map(QPointF(l.shadowOffset().width, l.shadowOffset().height)) - parent.map(QPointF(0, 0));
    p.save();
    p.resetTransform();
    const QPointF at(origin.x() - margin + offset.x(), origin.y() - margin + offset.y());
    if (reduction > 1) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(at, QSizeF(shadow.size() * reduction)), shadow);
    } else {
        p.drawImage(at, shadow);
    }
    p.restore();
}

// Colours the alpha of `alpha` (device pixels at `origin`) with the shadow colour, blurs it
// and draws it at the shadow offset, taken in the superlayer's space.
void Painter::drawShadowImage(QPainter& p, const QImage& alpha, QPoint origin, const Layer& l, const QTransform& parent)
{
    int margin = 0;
    const QImage shadow = blurredShadow(alpha, l, parent, margin);
    blitShadow(p, shadow, origin, margin, l, parent);
}

// A shadow cast by a path, kept on the model layer: blurring is the costly part of a frame,
// and a shadow that only moves by whole pixels looks the same.
struct PathShadowCache {
    QPainterPath path;
    double radius = 0;
    QRgb color = 0;
    QTransform placement;   // the device transform less its whole-pixel translation
    QImage shadow;
    int margin = 0;
    int reduction = 1;
};

// A wide blur keeps nothing finer than a couple of its sigmas, so it can be made at a fraction
// of the device resolution and stretched back without a visible difference. The side panel's
// shadow spans the screen: at full size its blur was the largest cost and the largest buffer
// of the first frame.
int shadowReduction(double sigma)
{
    constexpr double kSigmaPerReducedPixel = 2;
    return std::clamp(static_cast<int>(sigma / kSigmaPerReducedPixel), 1, 4);
}

void Painter::drawPathShadow(QPainter& p, const Layer& model, const Layer& l, const QTransform& world, const QTransform& parent)
{
    const QPainterPath path = world.map(l.shadowPath()->qpainterPath());
    const QRect region = path.boundingRect().toAlignedRect();
    if (region.isEmpty())
        return;
    // Sub-pixel placement in quarter pixels: finer steps cannot be seen in a blurred shadow.
    const QTransform exact = world * QTransform::fromTranslate(-region.x(), -region.y());
    const QTransform placement(exact.m11(), exact.m12(), exact.m21(), exact.m22(),
                               std::round(exact.dx() * 4) / 4, std::round(exact.dy() * 4) / 4);
    const QRgb color = shadowFill(l).toQColor().rgba();
    auto cache = std::static_pointer_cast<PathShadowCache>(model.rendererCache());
    const bool hit = cache && cache->path == l.shadowPath()->qpainterPath() && cache->radius == l.shadowRadius()
        && cache->color == color && cache->placement == placement;
    if (!hit) {
        const double sigma = l.shadowRadius() * scaleOf(parent) / 2;
        const int reduction = shadowReduction(sigma);
        const int margin = (static_cast<int>(std::ceil(3 * sigma)) + reduction) / reduction * reduction;
        const QRect area = region.adjusted(-margin, -margin, margin, margin);
        // The path is filled straight at the reduced size, so its coverage is exact there.
        QImage coverage = newCanvas(QSize((area.width() + reduction - 1) / reduction, (area.height() + reduction - 1) / reduction));
        {
            QPainter q(&coverage);
            q.setRenderHint(QPainter::Antialiasing);
            q.setWorldTransform(world * QTransform::fromTranslate(-area.x(), -area.y()) * QTransform::fromScale(1.0 / reduction, 1.0 / reduction));
            QPainterPath filled = l.shadowPath()->qpainterPath();
            filled.setFillRule(Qt::WindingFill);
            q.fillPath(filled, Qt::black);
        }
        cache = std::make_shared<PathShadowCache>();
        cache->path = l.shadowPath()->qpainterPath();
        cache->radius = l.shadowRadius();
        cache->color = color;
        cache->placement = placement;
        const std::array<int, 3> radii = sigma < 0.5 ? std::array<int, 3>{} : reducedBoxRadii(sigma, reduction);
        cache->shadow = shadowImage(coverage, radii, QColor::fromRgba(color));
        cache->margin = margin;
        cache->reduction = reduction;
        model.rendererCache() = cache;
    }
    blitShadow(p, cache->shadow, region.topLeft(), cache->margin, l, parent, cache->reduction);
}

void Painter::contents(QPainter& p, const Layer& l)
{
    const Image image = l.contents();
    if (image.isNull())
        return;
    const Rect b = l.bounds();
    const Size s = image.size();
    Rect target = b;
    switch (l.contentsGravity()) {
    case Layer::ContentsGravity::Resize:
        break;
    case Layer::ContentsGravity::ResizeAspect:
    case Layer::ContentsGravity::ResizeAspectFill: {
        if (s.isEmpty())
            return;
        const double fx = b.width() / s.width, fy = b.height() / s.height;
        const double f = l.contentsGravity() == Layer::ContentsGravity::ResizeAspect ? std::min(fx, fy) : std::max(fx, fy);
        const Size fitted = s * f;
        target = Rect(b.midX() - fitted.width / 2, b.midY() - fitted.height / 2, fitted.width, fitted.height);
        break;
    }
    case Layer::ContentsGravity::Center:
        target = Rect(b.midX() - s.width / 2, b.midY() - s.height / 2, s.width, s.height);
        break;
    }
    p.drawImage(target.toQRectF(), image.qimage());
}

void Painter::shape(QPainter& p, const ShapeLayer& s)
{
    const auto path = s.path();
    if (!path || path->isEmpty())
        return;
    QPainterPath q = path->qpainterPath();
    q.setFillRule(Qt::WindingFill);
    if (!s.fillColor().isClear())
        p.fillPath(q, s.fillColor().toQColor());
    if (!s.strokeColor().isClear() && s.lineWidth() > 0) {
        QPen pen(s.strokeColor().toQColor());
        pen.setWidthF(s.lineWidth());
        pen.setCapStyle(s.lineCap() == ShapeLayer::LineCap::Round ? Qt::RoundCap
                        : s.lineCap() == ShapeLayer::LineCap::Square ? Qt::SquareCap : Qt::FlatCap);
        pen.setJoinStyle(s.lineJoin() == ShapeLayer::LineJoin::Round ? Qt::RoundJoin
                         : s.lineJoin() == ShapeLayer::LineJoin::Bevel ? Qt::BevelJoin : Qt::MiterJoin);
        p.strokePath(q, pen);
    }
}

// Background, contents, custom drawing, shape, sublayers, border: in `l`'s bounds space.
// `model` owns the custom drawing's cache; `l` holds the values to draw.
void Painter::content(QPainter& p, const Layer& model, const Layer& l)
{
    const Path outline = roundedBounds(l);
    if (!l.backgroundColor().isClear())
        p.fillPath(outline.qpainterPath(), l.backgroundColor().toQColor());
    p.save();
    if (l.masksToBounds())
        p.setClipPath(outline.qpainterPath(), Qt::IntersectClip);
    contents(p, l);
    if (const QImage* drawing = model.cachedDrawing(scaleOf(p.worldTransform()))) {
        const double scale = model.cachedDrawingScale();
        const Size drawn(drawing->width() / scale, drawing->height() / scale);
        // While the bounds animate, the drawing made for the model's size is stretched.
        const double fx = model.bounds().width() > 0 ? l.bounds().width() / model.bounds().width() : 1;
        const double fy = model.bounds().height() > 0 ? l.bounds().height() / model.bounds().height() : 1;
        p.drawImage(QRectF(l.bounds().x(), l.bounds().y(), drawn.width * fx, drawn.height * fy), *drawing);
    }
    if (auto s = dynamic_cast<const ShapeLayer*>(&l))
        shape(p, *s);
    // Sublayers are drawn from the model tree; each applies its own animations. Those wholly
    // below a later one that covers everything visible here are not drawn at all (the side
    // panel's shadow and closed sides lie under the centre).
    const auto subs = model.sublayers();
    auto first = subs.begin();
    if (p.opacity() >= 1) {
        // Every device pixel the drawing may touch, whole: a cover's soft edge on a pixel it
        // only partly fills would let what lies below show there.
        QRectF touched = QRectF(deviceRect(p));
        if (p.hasClipping())
            touched &= p.worldTransform().mapRect(p.clipBoundingRect());
        const QRectF visible = p.worldTransform().inverted().mapRect(QRectF(touched.toAlignedRect()));
        first = firstUncovered(subs, visible);
    }
    for (auto it = first; it != subs.end(); ++it)
        layer(p, **it, true);
    p.restore();
    if (l.borderWidth() > 0 && !l.borderColor().isClear()) {
        const BorderStroke stroke = borderStroke(p.worldTransform(), l.bounds(), l.borderWidth());
        const double inset = stroke.width / 2;
        const Rect& r = stroke.rect;
        const Path border = l.cornerRadius() > 0 ? Path::roundedRect(r, std::max(0.0, l.cornerRadius() - inset)) : Path::rect(r);
        QPen pen(l.borderColor().toQColor());
        pen.setWidthF(stroke.width);
        p.strokePath(border.qpainterPath(), pen);
    }
}

void Painter::layer(QPainter& p, const Layer& model, bool ownGeometry)
{
    if (model.isHidden() && !model.hasAnimations())
        return;
    const bool animated = model.hasAnimations() || (model.mask() && model.mask()->hasAnimations());
    const std::shared_ptr<Layer> presentation = animated ? model.presentation() : nullptr;
    const Layer& l = presentation ? *presentation : model;
    if (l.isHidden() || (ownGeometry && l.opacity() <= 0))
        return;

    p.save();
    const QTransform parent = p.worldTransform();
    if (ownGeometry)
        p.setWorldTransform(l.transformToSuperlayer().toQTransform(), true);
    const QTransform world = p.worldTransform();
    const double opacity = ownGeometry ? std::clamp(l.opacity(), 0.0, 1.0) : 1.0;
    const std::shared_ptr<Layer> mask = l.mask();
    const bool shadow = castsShadow(l);
    const bool shadowFromAlpha = shadow && !l.shadowPath();
    const std::optional<QRectF> maskClip = model.mask() ? maskAsClip(*model.mask(), world) : std::nullopt;
    const bool group = (mask && !maskClip) || shadowFromAlpha || (opacity < 1 && !model.sublayers().empty());

    // Off-screen rows of a long list cost nothing: a layer whose drawing cannot leave its
    // bounds is skipped when its bounds lie outside what is visible. A shape layer's path may
    // reach anywhere (a chart's line lies in a layer of no size), and so may a centred or
    // filling image.
    const bool imageOverflows = !l.contents().isNull()
        && (l.contentsGravity() == Layer::ContentsGravity::Center || l.contentsGravity() == Layer::ContentsGravity::ResizeAspectFill);
    const bool confined = l.masksToBounds()
        || (model.sublayers().empty() && !imageOverflows && !dynamic_cast<const ShapeLayer*>(&l));
    if (!shadow && confined) {
        const QRectF visible = p.hasClipping() ? p.clipBoundingRect()
                                               : world.inverted().mapRect(QRectF(deviceRect(p)));
        const Rect b = l.bounds().standardized();
        if (!visible.intersects(QRectF(b.x(), b.y(), std::max(b.width(), 1e-6), std::max(b.height(), 1e-6)))) {
            p.restore();
            return;
        }
    }

    if (!group) {
        p.setOpacity(p.opacity() * opacity);
        if (maskClip)
            p.setClipRect(*maskClip, Qt::IntersectClip);
        if (shadow)
            drawPathShadow(p, model, l, world, parent);
        content(p, model, l);
        p.restore();
        return;
    }

    // Drawn whole, then masked, shadowed and faded as one.
    QRect region = deviceRect(p);
    if (l.masksToBounds())
        region &= world.mapRect(l.bounds().toQRectF()).toAlignedRect();
    // A plain mask shows nothing beyond its frame; a shape mask's path may reach further.
    if (mask && !dynamic_cast<const ShapeLayer*>(mask.get()) && model.mask()->sublayers().empty())
        region &= world.mapRect(mask->frame().toQRectF()).toAlignedRect();
    if (region.isEmpty()) {
        p.restore();
        return;
    }
    QImage image = offscreen(region, world, [&](QPainter& q) { content(q, model, l); });
    if (shadow) {
        QImage alpha = image;
        if (!shadowFromAlpha) {
            alpha = offscreen(region, world, [&](QPainter& q) { q.fillPath(l.shadowPath()->qpainterPath(), Qt::black); });
        }
        QImage withShadow = newCanvas(region.size());
        {
            QPainter q(&withShadow);
            drawShadowImage(q, alpha, QPoint(0, 0), l, QTransform::fromTranslate(-region.x(), -region.y()) * parent);
            q.drawImage(0, 0, image);
        }
        image = withShadow;
    }
    if (mask) {
        const Layer& maskModel = *model.mask();
        QImage maskImage = offscreen(region, world, [&](QPainter& q) { layer(q, maskModel, true); });
        QPainter q(&image);
        q.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        q.drawImage(0, 0, maskImage);
    }
    p.resetTransform();
    p.setOpacity(p.opacity() * opacity);
    p.drawImage(region.topLeft(), image);
    p.restore();
}

} // namespace

QImage Renderer::render(const Layer& root, Size sizeInPoints, double scale, const Color& background)
{
    const QSize pixels(static_cast<int>(std::ceil(sizeInPoints.width * scale - 1e-9)),
                       static_cast<int>(std::ceil(sizeInPoints.height * scale - 1e-9)));
    QImage image = newCanvas(pixels, background.toQColor());
    {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        p.scale(scale, scale);
        paint(p, root);
    }
    image.setDevicePixelRatio(scale);
    return image;
}

QImage Renderer::renderLayer(const Layer& layer, double scale)
{
    const Rect b = layer.bounds();
    const QSize pixels(static_cast<int>(std::ceil(b.width() * scale - 1e-9)),
                       static_cast<int>(std::ceil(b.height() * scale - 1e-9)));
    QImage image = newCanvas(pixels);
    {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        p.scale(scale, scale);
        p.translate(-b.x(), -b.y());
        Painter().layer(p, layer, false);
    }
    image.setDevicePixelRatio(scale);
    return image;
}

void Renderer::renderArea(QImage& image, const Layer& root, double scale, const QRegion& pixels, const Color& background,
                          QPointF shift)
{
    // The painter works in device pixels as render() does; the image's ratio is put back after.
    const double ratio = image.devicePixelRatio();
    image.setDevicePixelRatio(1);
    {
        QPainter p(&image);
        p.setClipRegion(pixels);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(pixels.boundingRect(), background.toQColor());
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        p.translate(shift);
        p.scale(scale, scale);
        paint(p, root);
    }
    image.setDevicePixelRatio(ratio);
}

void Renderer::paint(QPainter& painter, const Layer& layer)
{
    Painter().layer(painter, layer, true);
}

double Renderer::lastVisibleAnimationEnd(const Layer& root, Size sizeInPoints, double now)
{
    double last = -std::numeric_limits<double>::infinity();
    visitVisiblyAnimated(root, QTransform(), QRectF(0, 0, sizeInPoints.width, sizeInPoints.height), 1.0, false,
                         [&](const Layer& l) { last = std::max(last, lastAnimationEnd(l, now)); });
    return last;
}

double Renderer::nextAnimationFrame(const Layer& root, Size sizeInPoints, double now)
{
    double next = std::numeric_limits<double>::infinity();
    visitVisiblyAnimated(root, QTransform(), QRectF(0, 0, sizeInPoints.width, sizeInPoints.height), 1.0, true,
                         [&](const Layer& l) { next = std::min(next, nextAnimationChange(l, now)); });
    return next;
}

bool Renderer::writePng(const QImage& image, const QString& path)
{
    const QFileInfo info(path);
    QDir().mkpath(info.absolutePath());
    return image.save(path, "PNG");
}

Color Renderer::colorAt(const QImage& image, Point p)
{
    const double scale = image.devicePixelRatio();
    const int x = static_cast<int>(std::floor(p.x * scale));
    const int y = static_cast<int>(std::floor(p.y * scale));
    if (!image.rect().contains(x, y))
        return Color::clear();
    return Color::fromQColor(image.pixelColor(x, y));
}

} // namespace ui
