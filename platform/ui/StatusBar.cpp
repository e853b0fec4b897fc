#include "platform/ui/StatusBar.h"

#include "platform/ui/Screen.h"

namespace ui {

Rect StatusBar::frameFor(InterfaceOrientation orientation, const Size& screen, double height)
{
    switch (orientation) {
    case InterfaceOrientation::PortraitUpsideDown:
        return Rect(0, screen.height - height, screen.width, height);
    case InterfaceOrientation::LandscapeRight:   // the home button on the right: the top is the right edge
        return Rect(screen.width - height, 0, height, screen.height);
    case InterfaceOrientation::LandscapeLeft:
        return Rect(0, 0, height, screen.height);
    default:
        return Rect(0, 0, screen.width, height);
    }
}

Rect StatusBar::frame(InterfaceOrientation orientation) const
{
    if (m_hidden)
        return Rect();
    return frameFor(orientation, Screen::main().size(), m_height);
}

} // namespace ui
