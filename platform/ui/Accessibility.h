#pragma once

#include <QString>
#include <vector>

namespace ui {

// Where accessibility notifications go. Our platform has no screen reader; the sink keeps
// what was posted so that tests can read it.
class Accessibility {
public:
    enum class Notification { ScreenChanged, LayoutChanged, Announcement };

    struct Posted {
        Notification notification;
        QString argument;
    };

    static void post(Notification notification, const QString& argument = QString());
    static const std::vector<Posted>& posted();
    static std::size_t count(Notification notification);
    static void clear();
};

} // namespace ui
