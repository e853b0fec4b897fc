#include "platform/ui/Touch.h"

#include "platform/ui/View.h"
#include "platform/ui/Window.h"

namespace ui {

std::shared_ptr<Touch> Touch::create(const std::shared_ptr<Window>& window, const Point& location, double timestamp)
{
    auto touch = std::make_shared<Touch>();
    touch->m_window = window;
    touch->m_location = location;
    touch->m_previous = location;
    touch->m_timestamp = timestamp;
    return touch;
}

Point Touch::locationInView(const View* view) const
{
    return view ? view->convertPointFrom(m_location, nullptr) : m_location;
}

Point Touch::previousLocationInView(const View* view) const
{
    return view ? view->convertPointFrom(m_previous, nullptr) : m_previous;
}

void Touch::update(Phase phase, const Point& windowLocation, double timestamp)
{
    m_previous = m_location;
    m_location = windowLocation;
    m_timestamp = timestamp;
    m_phase = phase;
}

} // namespace ui
