#pragma once

#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowHost.h"
#include "tests/support/PixelProbe.h"

#include <QCoreApplication>
#include <QImage>
#include <QScreen>
#include <QRect>

// What one view adds to the picture of its window: the window drawn with the view shown and
// with it hidden, the view's own pixels being where the two differ.
namespace pixels {

struct Drawn {
    QImage with;
    QImage without;
    QRect area;   // where the view's drawing shows; empty when it shows nothing
};

// The pixels of the window's picture that hold a view's frame, the picture drawn at `scale`
// pixels per point (the main screen's when not given).
inline QRect pixelsOf(const ui::View& view, double scale = 0)
{
    const ui::Rect r = view.convertRectTo(view.bounds(), nullptr);
    const double s = scale > 0 ? scale : ui::Screen::main().scale();
    return QRect(int(r.x() * s), int(r.y() * s), int(r.width() * s), int(r.height() * s));
}

// What the desktop window `host` shows: put on the screen, painted and read back.
inline QImage shownOnTheDesktop(ui::WindowHost& host)
{
    host.show();
    QCoreApplication::processEvents();
    return host.screen()->grabWindow(host.winId()).toImage();
}

inline Drawn drawnBy(ui::Window& window, ui::View& view, QRect within = {})
{
    window.layoutIfNeeded();
    Drawn drawn;
    drawn.with = window.renderImage();
    const bool hidden = view.isHidden();
    view.setHidden(true);
    drawn.without = window.renderImage();
    view.setHidden(hidden);
    drawn.area = differingArea(drawn.with, drawn.without, within);
    return drawn;
}

// Whether every pixel of `area` (grown by `margin` on each side) of the picture without the
// view is plain: what the view drew lies on no border, stripe or mark of the picture below.
inline bool liesOnPlainGround(const Drawn& drawn, int margin = 0)
{
    const QRect around = drawn.area.adjusted(-margin, -margin, margin, margin);
    return !drawn.area.isEmpty() && count(drawn.without, isPlain, around) == around.width() * around.height();
}

} // namespace pixels
