#include "platform/ui/Layer.h"

#include "platform/core/Clock.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/LayerTreeObserver.h"
#include "platform/ui/Transaction.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace ui {

// A running animation: the copy that was added, its key, its start and end tasks on the run
// loop, and the tokens of the transactions that were open when it was added (released when
// it stops, which lets their completions run).
struct Layer::Running {
    QString key;
    std::shared_ptr<Animation> animation;
    quint64 serial = 0;
    core::RunLoop::TaskId startTask = 0;
    core::RunLoop::TaskId endTask = 0;
    bool ended = false;   // finished but kept (not removed on completion)
    std::vector<std::shared_ptr<TransactionGroup>> tokens;
};

std::shared_ptr<Layer> Layer::create()
{
    return std::shared_ptr<Layer>(new Layer);
}

Layer::Layer() = default;

Layer::~Layer()
{
    for (auto& sub : m_sublayers)
        sub->m_superlayer.reset();
    for (auto& r : m_animations) {
        auto& loop = core::RunLoop::main();
        loop.cancel(r->startTask);
        loop.cancel(r->endTask);
        if (r->ended)
            continue;
        // The layer is gone, so the animation did not finish; its transactions may complete.
        loop.post([animation = r->animation, tokens = std::move(r->tokens)] {
            if (animation->onStop)
                animation->onStop(false);
        });
    }
}

// --- Geometry -------------------------------------------------------------------------------

namespace {

// Sets `field` and says whether that changed it: setting a value a layer already has (every
// layout pass does) must not cost a frame.
template<class T>
bool assign(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

void Layer::setBounds(const Rect& r)
{
    if (assign(m_bounds, r))
        changed(Change::Anything);
}

void Layer::setPosition(const Point& p)
{
    if (assign(m_position, p))
        changed(Change::Anything);
}

void Layer::setAnchorPoint(const Point& p)
{
    if (assign(m_anchorPoint, p))
        changed(Change::Anything);
}

void Layer::setTransform(const Transform& t)
{
    if (assign(m_transform, t))
        changed(Change::Anything);
}

Transform Layer::transformToSuperlayer() const
{
    const double ax = m_bounds.origin.x + m_anchorPoint.x * m_bounds.size.width;
    const double ay = m_bounds.origin.y + m_anchorPoint.y * m_bounds.size.height;
    return Transform::concat(Transform::concat(Transform::translation(-ax, -ay), m_transform),
                             Transform::translation(m_position.x, m_position.y));
}

Rect Layer::frame() const
{
    return transformToSuperlayer().apply(m_bounds);
}

void Layer::setFrame(const Rect& r)
{
    const Rect s = r.standardized();
    const bool resized = assign(m_bounds.size, s.size);
    const bool moved = assign(m_position, Point(s.origin.x + m_anchorPoint.x * s.size.width, s.origin.y + m_anchorPoint.y * s.size.height));
    if (resized || moved)
        changed(Change::Anything);
}

// --- Appearance -----------------------------------------------------------------------------

void Layer::setOpacity(double o)
{
    if (assign(m_opacity, o))
        changed(Change::Anything, true);
}

void Layer::setHidden(bool h)
{
    if (assign(m_hidden, h))
        changed(Change::Anything, true);
}

void Layer::setBackgroundColor(const Color& c)
{
    if (assign(m_backgroundColor, c))
        changed(Change::InsideBounds);
}

void Layer::setCornerRadius(double r)
{
    if (assign(m_cornerRadius, r))
        changed(Change::InsideBounds);
}

void Layer::setMasksToBounds(bool m)
{
    // Clipping may cut sublayers and the shadow beyond the bounds.
    if (assign(m_masksToBounds, m))
        changed(Change::Anything);
}

void Layer::setBorderWidth(double w)
{
    if (assign(m_borderWidth, w))
        changed(Change::InsideBounds);
}

void Layer::setBorderColor(const Color& c)
{
    if (assign(m_borderColor, c))
        changed(Change::InsideBounds);
}

void Layer::setContents(const Image& image)
{
    // Compared by identity: an image is immutable, and comparing pixels costs more than a frame.
    if (image.qimage().cacheKey() == m_contents.qimage().cacheKey() && image.size() == m_contents.size())
        return;
    m_contents = image;
    // A centred or filling image may reach past unclipped bounds.
    const bool confined = m_masksToBounds || m_contentsGravity == ContentsGravity::Resize
        || m_contentsGravity == ContentsGravity::ResizeAspect;
    changed(confined ? Change::InsideBounds : Change::Anything);
}

void Layer::setContentsGravity(ContentsGravity g)
{
    if (assign(m_contentsGravity, g))
        changed(Change::Anything);
}

void Layer::setShadowColor(const Color& c)
{
    if (assign(m_shadowColor, c))
        changed(Change::Anything);
}

void Layer::setShadowOpacity(double o)
{
    if (assign(m_shadowOpacity, o))
        changed(Change::Anything);
}

void Layer::setShadowRadius(double r)
{
    if (assign(m_shadowRadius, r))
        changed(Change::Anything);
}

void Layer::setShadowOffset(const Size& s)
{
    if (assign(m_shadowOffset, s))
        changed(Change::Anything);
}

void Layer::setShadowPath(std::optional<Path> p)
{
    if (assign(m_shadowPath, p))
        changed(Change::Anything);
}

// --- Change notices -------------------------------------------------------------------------

// Climbs to the root, through a mask to the layer it masks, and tells the root's observer.
// Nothing is reported from inside a layer that is not drawn: hidden, or faded out entirely
// with no animation that could bring it back.
void Layer::changed(Change change, bool ownVisibility, const std::optional<Rect>& area) const
{
    bool inside = change == Change::InsideBounds;
    Transform toRoot;
    std::shared_ptr<const Layer> hold;
    for (const Layer* layer = this;;) {
        const bool judged = layer != this || !ownVisibility;
        if (judged && (layer->m_hidden || (layer->m_opacity <= 0 && !layer->hasAnimations())))
            return;
        // An animated layer is drawn elsewhere than its model says, and a shadow cast by what
        // a layer draws falls outside it.
        if (layer->hasAnimations() || (layer->m_shadowOpacity > 0 && !layer->m_shadowPath))
            inside = false;
        if (inside)
            toRoot = Transform::concat(toRoot, layer->transformToSuperlayer());
        if (auto up = layer->m_superlayer.lock()) {
            hold = up;
        } else if (auto masked = layer->m_maskedLayer.lock()) {
            hold = masked;
            inside = false;
        } else {
            if (layer->m_treeObserver)
                layer->m_treeObserver->layerTreeChanged(inside ? std::optional<Rect>(toRoot.apply(area ? *area : m_bounds)) : std::nullopt);
            return;
        }
        layer = hold.get();
    }
}

namespace {

// From a layer's bounds space to the space its topmost ancestor lies in.
Transform toRoot(const Layer* layer)
{
    Transform t;
    for (const Layer* l = layer; l; ) {
        t = Transform::concat(t, l->transformToSuperlayer());
        auto super = l->superlayer();
        l = super.get();
    }
    return t;
}

} // namespace

Point Layer::convertPointTo(const Point& p, const Layer* other) const
{
    const Point inRoot = toRoot(this).apply(p);
    return other ? toRoot(other).inverted().apply(inRoot) : inRoot;
}

Point Layer::convertPointFrom(const Point& p, const Layer* other) const
{
    const Point inRoot = other ? toRoot(other).apply(p) : p;
    return toRoot(this).inverted().apply(inRoot);
}

Rect Layer::convertRectTo(const Rect& r, const Layer* other) const
{
    const Transform t = other ? Transform::concat(toRoot(this), toRoot(other).inverted()) : toRoot(this);
    return t.apply(r);
}

Rect Layer::convertRectFrom(const Rect& r, const Layer* other) const
{
    const Transform t = other ? Transform::concat(toRoot(other), toRoot(this).inverted()) : toRoot(this).inverted();
    return t.apply(r);
}

// --- Mask and drawing -----------------------------------------------------------------------

void Layer::setMask(std::shared_ptr<Layer> mask)
{
    if (mask == m_mask)
        return;
    if (mask)
        mask->removeFromSuperlayer();
    if (m_mask)
        m_mask->m_maskedLayer.reset();
    m_mask = std::move(mask);
    if (m_mask)
        m_mask->m_maskedLayer = weak_from_this();
    changed(Change::Anything);
}

void Layer::setDrawCallback(std::function<void(DrawContext&)> draw)
{
    m_draw = std::move(draw);
    m_needsDisplay = true;
    m_drawCache.reset();
    changed(Change::InsideBounds);
}

void Layer::setNeedsDisplay()
{
    m_needsDisplay = true;
    m_dirtyRect.reset();
    if (m_draw)
        changed(Change::InsideBounds);
}

void Layer::setNeedsDisplayInRect(const Rect& rect)
{
    const Rect inside = rect.intersected(m_bounds);
    if (m_needsDisplay || inside.isEmpty())
        return;
    m_dirtyRect = m_dirtyRect ? m_dirtyRect->united(inside) : inside;
    if (m_draw)
        changed(Change::InsideBounds, false, inside);
}

const QImage* Layer::cachedDrawing(double scale) const
{
    if (!m_draw)
        return nullptr;
    const int w = static_cast<int>(std::ceil(m_bounds.size.width * scale - 1e-9));
    const int h = static_cast<int>(std::ceil(m_bounds.size.height * scale - 1e-9));
    if (w <= 0 || h <= 0)
        return nullptr;
    const bool kept = m_drawCache && !m_needsDisplay && m_drawCacheScale == scale && m_drawCacheSize == m_bounds.size;
    if (kept) {
        if (m_dirtyRect)
            redrawDirtyRect(scale);
        return m_drawCache.get();
    }
    m_dirtyRect.reset();

    auto image = std::make_unique<QImage>(w, h, QImage::Format_ARGB32_Premultiplied);
    image->setDotsPerMeterX(2835);   // 72 dpi: a font's point is one unit (see Font)
    image->setDotsPerMeterY(2835);
    image->fill(Qt::transparent);
    m_needsDisplay = false;   // drawing code may ask again
    {
        auto self = shared_from_this();
        QPainter painter(image.get());
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        painter.translate(-m_bounds.origin.x, -m_bounds.origin.y);
        DrawContext context(painter);
        auto draw = m_draw;   // the callback may replace itself
        draw(context);
    }
    m_drawCache = std::move(image);
    m_drawCacheScale = scale;
    m_drawCacheSize = m_bounds.size;
    return m_drawCache.get();
}

// The dirty part is taken out to whole pixels, cleared and drawn again with the callback
// clipped there: inside it the pixels come out as a whole drawing would make them (a caret's
// blink costs its own few pixels, not the text around it).
void Layer::redrawDirtyRect(double scale) const
{
    const Rect dirty = *m_dirtyRect;
    m_dirtyRect.reset();
    const QRect pixels = QRectF((dirty.x() - m_bounds.x()) * scale, (dirty.y() - m_bounds.y()) * scale,
                                dirty.width() * scale, dirty.height() * scale)
                             .toAlignedRect()
                             .intersected(m_drawCache->rect());
    if (pixels.isEmpty())
        return;
    auto self = shared_from_this();
    QPainter painter(m_drawCache.get());
    painter.setClipRect(pixels);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(pixels, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(-m_bounds.origin.x, -m_bounds.origin.y);
    DrawContext context(painter);
    auto draw = m_draw;
    draw(context);
}

// --- Tree -----------------------------------------------------------------------------------

bool Layer::isDescendantOf(const Layer* ancestor) const
{
    for (auto l = superlayer(); l; l = l->superlayer()) {
        if (l.get() == ancestor)
            return true;
    }
    return false;
}

void Layer::attach(const std::shared_ptr<Layer>& layer)
{
    layer->removeFromSuperlayer();
    layer->m_superlayer = weak_from_this();
}

void Layer::addSublayer(const std::shared_ptr<Layer>& layer)
{
    insertSublayerAt(layer, m_sublayers.size() + 1);
}

void Layer::insertSublayerAt(const std::shared_ptr<Layer>& layer, std::size_t index)
{
    if (!layer || layer.get() == this || isDescendantOf(layer.get()))
        return;
    attach(layer);
    index = std::min(index, m_sublayers.size());
    m_sublayers.insert(m_sublayers.begin() + static_cast<std::ptrdiff_t>(index), layer);
    changed(Change::Anything);
}

void Layer::insertSublayerBelow(const std::shared_ptr<Layer>& layer, const Layer* sibling)
{
    if (!layer || layer.get() == sibling)
        return;
    if (!sibling) {
        insertSublayerAt(layer, 0);
        return;
    }
    // Take the layer out first: the sibling's index may shift when both are sublayers here.
    auto keep = layer;
    keep->removeFromSuperlayer();
    auto it = std::find_if(m_sublayers.begin(), m_sublayers.end(), [&](const auto& l) { return l.get() == sibling; });
    insertSublayerAt(layer, it == m_sublayers.end() ? m_sublayers.size() : static_cast<std::size_t>(it - m_sublayers.begin()));
}

void Layer::insertSublayerAbove(const std::shared_ptr<Layer>& layer, const Layer* sibling)
{
    if (!layer || layer.get() == sibling)
        return;
    auto keep = layer;
    keep->removeFromSuperlayer();
    auto it = std::find_if(m_sublayers.begin(), m_sublayers.end(), [&](const auto& l) { return l.get() == sibling; });
    insertSublayerAt(layer, it == m_sublayers.end() ? m_sublayers.size() : static_cast<std::size_t>(it - m_sublayers.begin()) + 1);
}

void Layer::replaceSublayer(const Layer* old, const std::shared_ptr<Layer>& with)
{
    auto it = std::find_if(m_sublayers.begin(), m_sublayers.end(), [&](const auto& l) { return l.get() == old; });
    if (it == m_sublayers.end() || !with || with.get() == old)
        return;
    auto keepOld = *it;
    const auto index = static_cast<std::size_t>(it - m_sublayers.begin());
    keepOld->removeFromSuperlayer();
    with->removeFromSuperlayer();
    insertSublayerAt(with, std::min(index, m_sublayers.size()));
}

void Layer::removeFromSuperlayer()
{
    auto super = m_superlayer.lock();
    m_superlayer.reset();
    if (!super)
        return;
    // The superlayer may hold the last reference: keep this layer alive until we return.
    auto self = shared_from_this();
    auto& subs = super->m_sublayers;
    subs.erase(std::remove(subs.begin(), subs.end(), self), subs.end());
    if (!m_hidden)
        super->changed(Change::Anything);
}

// --- Animations -----------------------------------------------------------------------------

void Layer::addAnimation(const std::shared_ptr<Animation>& animation, const QString& key)
{
    if (!animation)
        return;
    auto r = std::make_unique<Running>();
    r->serial = m_nextSerial++;
    r->key = key.isEmpty() ? QStringLiteral("_animation%1").arg(r->serial) : key;
    r->animation = animation->clone();
    if (r->animation->duration() <= 0)
        r->animation->setDuration(Transaction::animationDuration());
    const double now = core::Clock::now();
    if (r->animation->beginTime() <= 0)
        r->animation->setBeginTime(now);
    r->tokens = Transaction::currentTokens();

    removeAnimationForKey(r->key);

    auto& loop = core::RunLoop::main();
    std::weak_ptr<Layer> weak = weak_from_this();
    const quint64 serial = r->serial;
    if (r->animation->onStart) {
        r->startTask = loop.scheduleAt(std::max(now, r->animation->beginTime()), [weak, serial] {
            if (auto self = weak.lock())
                self->animationStarted(serial);
        });
    }
    const double active = r->animation->activeDuration();
    if (std::isfinite(active)) {
        r->endTask = loop.scheduleAt(r->animation->beginTime() + active, [weak, serial] {
            if (auto self = weak.lock())
                self->animationEnded(serial);
        });
    }
    m_animations.push_back(std::move(r));
    changed(Change::Anything);
}

void Layer::animationStarted(quint64 serial)
{
    auto it = std::find_if(m_animations.begin(), m_animations.end(), [&](const auto& r) { return r->serial == serial; });
    if (it == m_animations.end())
        return;
    (*it)->startTask = 0;
    auto animation = (*it)->animation;
    auto self = shared_from_this();
    if (animation->onStart)
        animation->onStart();
}

void Layer::animationEnded(quint64 serial)
{
    auto it = std::find_if(m_animations.begin(), m_animations.end(), [&](const auto& r) { return r->serial == serial; });
    if (it == m_animations.end())
        return;
    auto self = shared_from_this();
    auto animation = (*it)->animation;
    auto tokens = std::move((*it)->tokens);
    (*it)->endTask = 0;
    (*it)->ended = true;
    // Removed before the delegate hears of it, so a completion can start the next one under
    // the same key.
    if (animation->isRemovedOnCompletion())
        m_animations.erase(it);
    // The last frame drawn was a moment before the end: the end value still has to be shown.
    changed(Change::Anything);
    if (animation->onStop)
        animation->onStop(true);
    // tokens go out of scope last: transaction completions run after the did-stop callbacks.
}

void Layer::stopRunning(std::unique_ptr<Running> r)
{
    auto& loop = core::RunLoop::main();
    loop.cancel(r->startTask);
    loop.cancel(r->endTask);
    if (r->ended)
        return;
    loop.post([animation = r->animation, tokens = std::move(r->tokens)] {
        if (animation->onStop)
            animation->onStop(false);
    });
}

std::shared_ptr<const Animation> Layer::animationForKey(const QString& key) const
{
    for (const auto& r : m_animations) {
        if (r->key == key)
            return r->animation;
    }
    return nullptr;
}

void Layer::removeAnimationForKey(const QString& key)
{
    auto it = std::find_if(m_animations.begin(), m_animations.end(), [&](const auto& r) { return r->key == key; });
    if (it == m_animations.end())
        return;
    auto r = std::move(*it);
    m_animations.erase(it);
    stopRunning(std::move(r));
    changed(Change::Anything);
}

void Layer::removeAllAnimations()
{
    auto all = std::move(m_animations);
    m_animations.clear();
    for (auto& r : all)
        stopRunning(std::move(r));
    if (!all.empty())
        changed(Change::Anything);
}

QStringList Layer::animationKeys() const
{
    QStringList keys;
    for (const auto& r : m_animations)
        keys.append(r->key);
    return keys;
}

// --- Presentation ---------------------------------------------------------------------------

std::shared_ptr<Layer> Layer::makeEmpty() const
{
    return std::shared_ptr<Layer>(new Layer);
}

void Layer::copyValuesTo(Layer& to) const
{
    to.m_bounds = m_bounds;
    to.m_position = m_position;
    to.m_anchorPoint = m_anchorPoint;
    to.m_transform = m_transform;
    to.m_opacity = m_opacity;
    to.m_hidden = m_hidden;
    to.m_backgroundColor = m_backgroundColor;
    to.m_cornerRadius = m_cornerRadius;
    to.m_masksToBounds = m_masksToBounds;
    to.m_borderWidth = m_borderWidth;
    to.m_borderColor = m_borderColor;
    to.m_contents = m_contents;
    to.m_contentsGravity = m_contentsGravity;
    to.m_shadowColor = m_shadowColor;
    to.m_shadowOpacity = m_shadowOpacity;
    to.m_shadowRadius = m_shadowRadius;
    to.m_shadowOffset = m_shadowOffset;
    to.m_shadowPath = m_shadowPath;
    to.m_draw = m_draw;
    to.m_name = m_name;
}

std::shared_ptr<Layer> Layer::presentation() const
{
    return presentationAt(core::Clock::now());
}

std::shared_ptr<Layer> Layer::presentationAt(double clockTime) const
{
    auto copy = makeEmpty();
    copyValuesTo(*copy);
    if (m_mask)
        copy->m_mask = m_mask->presentationAt(clockTime);
    for (const auto& r : m_animations) {
        const auto progress = r->animation->progressAt(clockTime);
        if (!progress)
            continue;
        const QString keyPath = r->animation->keyPath();
        const AnimatableValue value = r->animation->valueAt(*progress, valueForKeyPath(keyPath));
        if (hasValue(value))
            copy->setValueForKeyPath(keyPath, value);
    }
    return copy;
}

// --- Key paths ------------------------------------------------------------------------------

namespace {

template<class T>
const T* as(const AnimatableValue& v)
{
    return std::get_if<T>(&v);
}

// Rotation or scale of a transform replaced, the rest kept.
Transform withRotation(const Transform& t, double angle)
{
    const Transform r = Transform::rotation(angle - t.rotationAngle());
    Transform linear = Transform::concat({t.a, t.b, t.c, t.d, 0, 0}, r);
    linear.tx = t.tx;
    linear.ty = t.ty;
    return linear;
}

Transform withScale(const Transform& t, double scale)
{
    Transform r = Transform::scale(scale, scale);
    r = Transform::concat(r, Transform::rotation(t.rotationAngle()));
    r.tx = t.tx;
    r.ty = t.ty;
    return r;
}

} // namespace

AnimatableValue Layer::valueForKeyPath(const QString& k) const
{
    if (k == u"position") return m_position;
    if (k == u"position.x") return m_position.x;
    if (k == u"position.y") return m_position.y;
    if (k == u"bounds") return m_bounds;
    if (k == u"bounds.size") return m_bounds.size;
    if (k == u"bounds.origin") return m_bounds.origin;
    if (k == u"bounds.size.width") return m_bounds.size.width;
    if (k == u"bounds.size.height") return m_bounds.size.height;
    if (k == u"anchorPoint") return m_anchorPoint;
    if (k == u"transform") return m_transform;
    if (k == u"transform.rotation" || k == u"transform.rotation.z") return m_transform.rotationAngle();
    if (k == u"transform.scale") return std::hypot(m_transform.a, m_transform.b);
    if (k == u"transform.translation.x") return m_transform.tx;
    if (k == u"transform.translation.y") return m_transform.ty;
    if (k == u"opacity") return m_opacity;
    if (k == u"backgroundColor") return m_backgroundColor;
    if (k == u"cornerRadius") return m_cornerRadius;
    if (k == u"borderWidth") return m_borderWidth;
    if (k == u"borderColor") return m_borderColor;
    if (k == u"shadowColor") return m_shadowColor;
    if (k == u"shadowOpacity") return m_shadowOpacity;
    if (k == u"shadowRadius") return m_shadowRadius;
    if (k == u"shadowOffset") return m_shadowOffset;
    if (k == u"shadowPath") return m_shadowPath ? AnimatableValue(*m_shadowPath) : AnimatableValue(Path());
    return {};
}

bool Layer::setValueForKeyPath(const QString& keyPath, const AnimatableValue& value)
{
    if (!assignValueForKeyPath(keyPath, value))
        return false;
    changed(Change::Anything);
    return true;
}

bool Layer::assignValueForKeyPath(const QString& k, const AnimatableValue& v)
{
    if (const double* d = as<double>(v)) {
        if (k == u"position.x") m_position.x = *d;
        else if (k == u"position.y") m_position.y = *d;
        else if (k == u"bounds.size.width") m_bounds.size.width = *d;
        else if (k == u"bounds.size.height") m_bounds.size.height = *d;
        else if (k == u"transform.rotation" || k == u"transform.rotation.z") m_transform = withRotation(m_transform, *d);
        else if (k == u"transform.scale") m_transform = withScale(m_transform, *d);
        else if (k == u"transform.translation.x") m_transform.tx = *d;
        else if (k == u"transform.translation.y") m_transform.ty = *d;
        else if (k == u"opacity") m_opacity = *d;
        else if (k == u"cornerRadius") m_cornerRadius = *d;
        else if (k == u"borderWidth") m_borderWidth = *d;
        else if (k == u"shadowOpacity") m_shadowOpacity = *d;
        else if (k == u"shadowRadius") m_shadowRadius = *d;
        else return false;
        return true;
    }
    if (const Point* p = as<Point>(v)) {
        if (k == u"position") m_position = *p;
        else if (k == u"bounds.origin") m_bounds.origin = *p;
        else if (k == u"anchorPoint") m_anchorPoint = *p;
        else return false;
        return true;
    }
    if (const Size* s = as<Size>(v)) {
        if (k == u"bounds.size") m_bounds.size = *s;
        else if (k == u"shadowOffset") m_shadowOffset = *s;
        else return false;
        return true;
    }
    if (const Rect* r = as<Rect>(v)) {
        if (k != u"bounds")
            return false;
        m_bounds = *r;
        return true;
    }
    if (const Transform* t = as<Transform>(v)) {
        if (k != u"transform")
            return false;
        m_transform = *t;
        return true;
    }
    if (const Color* c = as<Color>(v)) {
        if (k == u"backgroundColor") m_backgroundColor = *c;
        else if (k == u"borderColor") m_borderColor = *c;
        else if (k == u"shadowColor") m_shadowColor = *c;
        else return false;
        return true;
    }
    if (const Path* p = as<Path>(v)) {
        if (k != u"shadowPath")
            return false;
        m_shadowPath = *p;
        return true;
    }
    return false;
}

} // namespace ui
