#include "platform/ui/Accessibility.h"

#include <algorithm>

namespace ui {

namespace {

std::vector<Accessibility::Posted>& sink()
{
    static std::vector<Accessibility::Posted> posted;
    return posted;
}

} // namespace

void Accessibility::post(Notification notification, const QString& argument)
{
    sink().push_back({notification, argument});
}

const std::vector<Accessibility::Posted>& Accessibility::posted()
{
    return sink();
}

std::size_t Accessibility::count(Notification notification)
{
    const auto& all = sink();
    return std::size_t(std::count_if(all.begin(), all.end(), [notification](const Posted& p) {
        return p.notification == notification;
    }));
}

void Accessibility::clear()
{
    sink().clear();
}

} // namespace ui
