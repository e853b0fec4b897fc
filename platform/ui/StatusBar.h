#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/InterfaceOrientation.h"

namespace ui {

// The application's status bar: a strip 20 points thick along the top of the interface, as
// on the phone. Our platform draws none and lays nothing out below it (a window's root view
// keeps the whole screen); what it offers is the bar's frame, for the code that places views
// below it (a navigation bar, the side panel's wrapper).
//
// The frame is in screen coordinates, which do not turn: the bar lies along the edge that is
// the interface's top in the status bar's orientation (portrait: the top; upside down: the
// bottom; landscape right: the right edge; landscape left: the left edge). A hidden bar has
// an empty frame. Application::shared() holds the one in use; tests set it there.
class StatusBar {
public:
    static constexpr double kDefaultHeight = 20;

    // The bar's frame on a screen of `screen` size, `height` thick, in `orientation`
    // (Unknown counts as portrait).
    static Rect frameFor(InterfaceOrientation orientation, const Size& screen, double height);

    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }
    // The thickness when shown.
    double height() const { return m_height; }
    void setHeight(double height) { m_height = height; }

    // On the main screen; empty while hidden.
    Rect frame(InterfaceOrientation orientation) const;

private:
    bool m_hidden = false;
    double m_height = kDefaultHeight;
};

} // namespace ui
