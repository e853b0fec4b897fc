#pragma once

#include "platform/core/RunLoop.h"
#include "platform/ui/LayerTreeObserver.h"

#include <QImage>
#include <QRegion>
#include <functional>
#include <memory>

namespace ui {

class Window;

// Draws a window's frames, and only when something in it changed: it listens to the
// window's layer tree and, on a change, draws one frame on the run loop, no sooner than a
// display frame (1/60 s) after the last. A change whose area is known (a view asked to be
// redrawn, a colour) redraws only that area of the kept frame; any other change redraws the
// whole window. While an animation that can be seen runs, a frame follows every display
// frame until it ends; an animation that begins later wakes it then. While nothing
// changes, nothing runs. Frames run on core::Clock, so a test steps them with a ManualClock.
class FrameScheduler : public LayerTreeObserver {
public:
    static constexpr double kFrameInterval = 1.0 / 60;

    // `show` receives the rectangle of the frame (window points, whole) that a frame drew.
    // `scale` gives the device pixels per point to draw at, asked at each frame (a window
    // moved to another monitor changes it); the main screen's scale when none is given.
    FrameScheduler(std::shared_ptr<Window> window, std::function<void(const QRect& changed)> show,
                   std::function<double()> scale = {});
    ~FrameScheduler() override;
    FrameScheduler(const FrameScheduler&) = delete;
    FrameScheduler& operator=(const FrameScheduler&) = delete;

    // A window that cannot be seen (hidden, minimised) draws nothing; what changed meanwhile
    // is drawn once it can be seen again.
    void setVisible(bool visible);
    // Draws a whole frame at once when none has been drawn yet (a window painted as soon as
    // it is shown) or the latest is at another scale than asked now; later paints show the
    // latest frame.
    void ensureFrame();

    // The latest frame, at the scale asked (device pixel ratio set).
    const QImage& image() const { return m_image; }
    int framesDrawn() const { return m_frames; }

    void layerTreeChanged(const std::optional<Rect>& area) override;

private:
    void requestFrame(double notBefore);
    void drawFrame();
    // The device pixels to draw again; the whole frame when that is simpler.
    QRegion takeDamage(const QSize& pixels, double scale);
    void drawPartialEdges(double scale, const QRegion& damage);
    void followAnimations(double now);
    double frameScale() const;

    std::shared_ptr<Window> m_window;
    std::function<void(const QRect&)> m_show;
    std::function<double()> m_scale;
    QImage m_image;
    QRegion m_damage;   // in points, rounded out
    bool m_wholeDamaged = true;
    bool m_visible = false;
    bool m_collecting = false;   // inside the layout pass that precedes a frame
    core::RunLoop::TaskId m_task = 0;
    double m_lastFrame;
    int m_frames = 0;
};

} // namespace ui
