#include "platform/ui/FrameScheduler.h"

#include "platform/core/Clock.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <cmath>
#include <limits>

namespace ui {

namespace {

// Room around a changed area: rounding a transformed rectangle out to device pixels must
// never leave a sliver of the old picture, whatever the scale.
constexpr double kDamageMargin = 1;
// Past this share of the window, one whole frame costs less than clipping to many pieces.
constexpr double kWholeFrameShare = 0.5;

QSize framePixels(const Window& window, double scale)
{
    const Size size = window.bounds().size;
    return QSize(int(std::ceil(size.width * scale - 1e-9)), int(std::ceil(size.height * scale - 1e-9)));
}

long long areaOf(const QRegion& region)
{
    long long area = 0;
    for (const QRect& r : region)
        area += (long long)r.width() * r.height();
    return area;
}

} // namespace

FrameScheduler::FrameScheduler(std::shared_ptr<Window> window, std::function<void(const QRect&)> show,
                               std::function<double()> scale)
    : m_window(std::move(window))
    , m_show(std::move(show))
    , m_scale(std::move(scale))
    , m_lastFrame(-std::numeric_limits<double>::infinity())
{
    m_window->layer()->setTreeObserver(this);
}

FrameScheduler::~FrameScheduler()
{
    core::RunLoop::main().cancel(m_task);
    if (m_window->layer()->treeObserver() == this)
        m_window->layer()->setTreeObserver(nullptr);
}

void FrameScheduler::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    if (visible && (m_wholeDamaged || !m_damage.isEmpty()))
        requestFrame(core::Clock::now());
}

void FrameScheduler::ensureFrame()
{
    if (!m_image.isNull() && m_image.devicePixelRatio() == frameScale())
        return;
    core::RunLoop::main().cancel(m_task);
    m_task = 0;
    m_wholeDamaged = true;
    drawFrame();
}

double FrameScheduler::frameScale() const
{
    return m_scale ? m_scale() : Screen::main().scale();
}

void FrameScheduler::layerTreeChanged(const std::optional<Rect>& area)
{
    if (area && !m_wholeDamaged) {
        const Rect r = area->insetBy(-kDamageMargin, -kDamageMargin);
        const QRect points(QPoint(int(std::floor(r.minX())), int(std::floor(r.minY()))),
                           QPoint(int(std::ceil(r.maxX())) - 1, int(std::ceil(r.maxY())) - 1));
        m_damage += points;
    } else {
        m_wholeDamaged = true;
    }
    if (!m_collecting)
        requestFrame(m_lastFrame + kFrameInterval);
}

void FrameScheduler::requestFrame(double notBefore)
{
    auto& loop = core::RunLoop::main();
    if (!m_visible || loop.isScheduled(m_task))
        return;
    m_task = loop.scheduleAt(std::max(core::Clock::now(), notBefore), [this] { drawFrame(); });
}

QRegion FrameScheduler::takeDamage(const QSize& pixels, double scale)
{
    const QRect whole(QPoint(0, 0), pixels);
    QRegion damage;
    for (const QRect& r : m_damage)
        damage += QRectF(r.x() * scale, r.y() * scale, r.width() * scale, r.height() * scale).toAlignedRect();
    damage &= whole;
    const bool wholeFrame = m_wholeDamaged || m_image.size() != pixels || m_image.devicePixelRatio() != scale
        || areaOf(damage) > kWholeFrameShare * pixels.width() * pixels.height();
    m_damage = QRegion();
    m_wholeDamaged = false;
    return wholeFrame ? QRegion(whole) : damage;
}

void FrameScheduler::drawFrame()
{
    m_task = 0;
    if (!m_visible)
        return;
    // A layout due now belongs to this frame: what it moves is drawn here, not in the next.
    m_collecting = true;
    m_window->layoutIfNeeded();
    m_collecting = false;

    const double scale = frameScale();
    const QSize pixels = framePixels(*m_window, scale);
    const QRegion damage = takeDamage(pixels, scale);
    const double now = core::Clock::now();
    if (!damage.isEmpty()) {
        if (damage == QRegion(QRect(QPoint(0, 0), pixels)))
            m_image = Renderer::render(*m_window->layer(), m_window->bounds().size, scale);
        else
            Renderer::renderArea(m_image, *m_window->layer(), scale, damage);
        drawPartialEdges(scale, damage);
        ++m_frames;
        m_lastFrame = now;
        const QRect drawn = damage.boundingRect();
        m_show(QRectF(drawn.x() / scale, drawn.y() / scale, drawn.width() / scale, drawn.height() / scale).toAlignedRect());
    }
    followAnimations(now);
}

// At a fractional ratio the frame's last column and row of pixels lie partly beyond the
// window's points: the drawing covered only that part of them, and over the window's black
// they made a dark line along two edges. They are drawn again with the picture moved by that
// part, so that they show the last pixel's width of the screen at full strength.
void FrameScheduler::drawPartialEdges(double scale, const QRegion& damage)
{
    const Size size = m_window->bounds().size;
    const double dx = m_image.width() - size.width * scale;
    const double dy = m_image.height() - size.height * scale;
    const bool column = dx > 1e-6, row = dy > 1e-6;
    const int right = m_image.width() - 1, bottom = m_image.height() - 1;
    struct Edge {
        bool partial;
        QRect pixels;
        QPointF shift;
    };
    const Edge edges[] = {
        {column, QRect(right, 0, 1, row ? bottom : bottom + 1), QPointF(dx, 0)},
        {row, QRect(0, bottom, column ? right : right + 1, 1), QPointF(0, dy)},
        {column && row, QRect(right, bottom, 1, 1), QPointF(dx, dy)},
    };
    for (const Edge& edge : edges) {
        if (edge.partial && damage.intersects(edge.pixels))
            Renderer::renderArea(m_image, *m_window->layer(), scale, QRegion(edge.pixels), Color::clear(), edge.shift);
    }
}

// While an animation that can be seen runs, the next display frame shows it further on.
void FrameScheduler::followAnimations(double now)
{
    const double wake = Renderer::nextAnimationFrame(*m_window->layer(), m_window->bounds().size, now);
    if (!std::isfinite(wake))
        return;
    m_wholeDamaged = true;
    requestFrame(std::max(wake, m_lastFrame + kFrameInterval));
}

} // namespace ui
